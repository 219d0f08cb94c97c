#include "registry/AllegaCartella.h"

#include "archive/Scheda.h"
#include "archive/Testo.h"
#include "platform/Finestra.h"
#include "platform/Piattaforma.h"
#include "registry/Immagini.h"
#include "storage/Deposito.h"
#include "widgets/Controlli.h"
#include "widgets/OpenURL.h"
#include "widgets/Tavolozza.h"

#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {
const QString kMessaggioSovrascrivi = QStringLiteral(
    "Attenzione: nella cartella dei documenti allegati \u00E8 presente un file con lo stesso "
    "nome.\r\n\r\nSi vuole sovrascrivere il file esistente?");
QString MessaggioNomeNonValido(int i, const QString &nome)
{
    return QStringLiteral("Attenzione: il campo \"Nome %1\u00B0 file allegato\" non contiene il "
                          "nome di un file della cartella dei documenti allegati:\r\n\r\n")
               .arg(i + 1) +
           nome + QStringLiteral("\r\n\r\nIl file non viene aperto.");
}

QString Numero(int i)
{
    return QStringLiteral("%1").arg(i + 1, 2, 10, QLatin1Char('0'));
}
} // namespace

TfrmAllegaCartella::TfrmAllegaCartella(QWidget *parent) : QDialog(parent, Finestra::FlagsFissa)
{
    setObjectName(QStringLiteral("frmAllegaCartella"));
    setWindowTitle(QStringLiteral(" Allega file"));
    setStyleSheet(Tavolozza::Colora(QStringLiteral(
        "TfrmAllegaCartella { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, "
        "stop:0 @Acciaio, stop:0.25 @Bianco, stop:1 @Bianco); }"
        "QFrame#fraBanner { background: transparent; }"
        "QFrame[slot=\"true\"] { border: 1px solid @Acciaio; border-radius: 6px; background: "
        "@Ghiaccio; }"
        "QFrame[slot=\"true\"] QLabel { border: none; background: transparent; color: @Blu; }")));

    auto *colonna = new QVBoxLayout(this);
    colonna->setContentsMargins(16, 14, 16, 14);
    colonna->setSpacing(10);

    // Banner: the paper clip and the instructions.
    auto *banner = new QFrame(this);
    banner->setObjectName(QStringLiteral("fraBanner"));
    auto *rigaBanner = new QHBoxLayout(banner);
    rigaBanner->setContentsMargins(0, 0, 0, 0);
    rigaBanner->setSpacing(14);
    auto *imgGraffetta = new TImmagine(banner);
    imgGraffetta->setObjectName(QStringLiteral("imgGraffetta"));
    imgGraffetta->setFixedSize(72, 72);
    imgGraffetta->SetPicture(Immagini::DaSvg(QStringLiteral(":/compagni/graffetta.svg"), {96, 96}));
    rigaBanner->addWidget(imgGraffetta);
    auto *lblIstruzioni = new QLabel(
        QStringLiteral("1. Scegliere i file da allegare con il pulsante \"Sfoglia...\".\n"
                       "2. Premere \"Applica e chiudi\" e poi \"Salva\" nella scheda "
                       "del tesserato.\n"
                       "3. Premere \"Apri\" per aprire un file allegato."),
        banner);
    lblIstruzioni->setObjectName(QStringLiteral("lblIstruzioni"));
    lblIstruzioni->setStyleSheet(
        Tavolozza::Colora(QStringLiteral("color: @Blu; font-weight: bold;")));
    rigaBanner->addWidget(lblIstruzioni, 1);
    colonna->addWidget(banner);

    using Azione = void (TfrmAllegaCartella::*)();
    const Azione sfoglia[] = {&TfrmAllegaCartella::btnSfoglia01Click,
                              &TfrmAllegaCartella::btnSfoglia02Click,
                              &TfrmAllegaCartella::btnSfoglia03Click};
    const Azione apri[] = {&TfrmAllegaCartella::btnApri01Click, &TfrmAllegaCartella::btnApri02Click,
                           &TfrmAllegaCartella::btnApri03Click};
    const Azione cancella[] = {&TfrmAllegaCartella::imgCancella01Click,
                               &TfrmAllegaCartella::imgCancella02Click,
                               &TfrmAllegaCartella::imgCancella03Click};
    const Azione cambia[] = {&TfrmAllegaCartella::txtFile01Change,
                             &TfrmAllegaCartella::txtFile02Change,
                             &TfrmAllegaCartella::txtFile03Change};
    const QImage gomma = Immagini::DaSvg(QStringLiteral(":/compagni/gomma.svg"), {24, 24});

    for (int i = 0; i < 3; ++i) {
        const QString n = Numero(i);
        const QString ordinale = QString::number(i + 1) + QStringLiteral("\u00B0");
        auto *riquadro = new QFrame(this);
        riquadro->setObjectName(QStringLiteral("fraSlot") + n);
        riquadro->setProperty("slot", true);
        auto *griglia = new QGridLayout(riquadro);
        griglia->setContentsMargins(12, 8, 12, 10);
        griglia->setHorizontalSpacing(8);
        griglia->setVerticalSpacing(4);

        Slot &s = m_slot[i];
        auto *lblNome =
            new QLabel(QStringLiteral("Nome %1 file allegato:").arg(ordinale), riquadro);
        s.txtFile = new QLineEdit(riquadro);
        s.txtFile->setObjectName(QStringLiteral("txtFile") + n);
        s.txtFile->setReadOnly(true);
        s.txtFile->setStyleSheet(
            Tavolozza::Colora(QStringLiteral("color: @Grigio; font-weight: bold;")));
        s.txtFile->setMinimumWidth(360);
        s.imgCancella = new TImmagine(riquadro);
        s.imgCancella->setObjectName(QStringLiteral("imgCancella") + n);
        s.imgCancella->setFixedSize(24, 24);
        s.imgCancella->SetPicture(gomma);
        s.imgCancella->setCursor(Qt::PointingHandCursor);
        s.imgCancella->setToolTip(QStringLiteral("Cancella il nome del file allegato."));
        s.btnSfoglia = new QPushButton(QStringLiteral("Sfoglia..."), riquadro);
        s.btnSfoglia->setObjectName(QStringLiteral("btnSfoglia") + n);
        s.btnSfoglia->setMinimumWidth(90);
        s.btnApri = new QPushButton(QStringLiteral("Apri"), riquadro);
        s.btnApri->setObjectName(QStringLiteral("btnApri") + n);
        s.btnApri->setMinimumWidth(90);
        s.btnApri->setEnabled(false);
        auto *lblDesc =
            new QLabel(QStringLiteral("Descrizione %1 file allegato:").arg(ordinale), riquadro);
        s.txtDesc = new QLineEdit(riquadro);
        s.txtDesc->setObjectName(QStringLiteral("txtDesc") + n);

        griglia->addWidget(lblNome, 0, 0, 1, 4);
        griglia->addWidget(s.txtFile, 1, 0);
        griglia->addWidget(s.imgCancella, 1, 1);
        griglia->addWidget(s.btnSfoglia, 1, 2);
        griglia->addWidget(s.btnApri, 1, 3);
        griglia->addWidget(lblDesc, 2, 0, 1, 4);
        griglia->addWidget(s.txtDesc, 3, 0, 1, 4);
        griglia->setColumnStretch(0, 1);
        colonna->addWidget(riquadro);

        connect(s.btnSfoglia, &QPushButton::clicked, this, sfoglia[i]);
        connect(s.btnApri, &QPushButton::clicked, this, apri[i]);
        connect(s.imgCancella, &TImmagine::clicked, this, cancella[i]);
        connect(s.txtFile, &QLineEdit::textChanged, this, cambia[i]);
    }

    auto *pulsanti = new QHBoxLayout;
    pulsanti->addStretch();
    btnApplica = new QPushButton(QStringLiteral("Applica e chiudi"), this);
    btnApplica->setObjectName(QStringLiteral("btnApplica"));
    btnApplica->setMinimumWidth(130);
    btnAnnulla = new QPushButton(QStringLiteral("Annulla"), this);
    btnAnnulla->setObjectName(QStringLiteral("btnAnnulla"));
    btnAnnulla->setMinimumWidth(130);
    pulsanti->addWidget(btnApplica);
    pulsanti->addWidget(btnAnnulla);
    colonna->addLayout(pulsanti);
    connect(btnApplica, &QPushButton::clicked, this, &TfrmAllegaCartella::btnApplicaClick);
    connect(btnAnnulla, &QPushButton::clicked, this, &TfrmAllegaCartella::btnAnnullaClick);

    lblMemory = new QLabel(this);
    lblMemory->setObjectName(QStringLiteral("lblMemory"));
    lblMemory->hide();

    Finestra::Fissa(this, Finestra::Centro::Schermo);
}

void TfrmAllegaCartella::NomeCambiato(int i)
{
    m_slot[i].btnApri->setEnabled(!Testo::Trim32(m_slot[i].txtFile->text()).isEmpty());
}

QString TfrmAllegaCartella::NomeAllegato(const QString &nome)
{
    // Characters the record field cannot hold, folder separators and control
    // characters become '_': the field then names the copy exactly.
    QString r;
    r.reserve(nome.size());
    for (const QChar c : nome) {
        const bool tenuto = Testo::ToWin1252(c) != '?' || c == u'?';
        r.append(tenuto && c.unicode() >= 32 && c != u'/' && c != u'\\' ? c : QChar(u'_'));
    }
    r = Testo::Trim32(r);
    // Within the field's capacity and the file system's 255 bytes, keeping the extension.
    const qsizetype punto = r.lastIndexOf(u'.');
    const QString estensione = punto > 0 && r.size() - punto <= 16 ? r.mid(punto) : QString();
    QString radice = r.left(r.size() - estensione.size());
    const int capacita = Definizione(Campo::File01).capacita;
    while (!radice.isEmpty() && (radice.size() + estensione.size() > capacita ||
                                 (radice + estensione).toUtf8().size() > 255))
        radice.chop(1);
    r = Testo::Trim32(radice) + estensione;
    return NomeSemplice(r) ? r : QString();
}

bool TfrmAllegaCartella::NomeSemplice(const QString &nome)
{
    return NomeDocumentoSemplice(nome);
}

void TfrmAllegaCartella::Sfoglia(int i)
{
    const QString scelto =
        Piattaforma::ApriFile(this, QStringLiteral("Selezionare il file da allegare:"),
                              {QStringLiteral("Tutti i file (*)")});
    if (scelto.isEmpty())
        return;
    const QString prima = m_slot[i].txtFile->text();
    const QString nome = NomeAllegato(QFileInfo(scelto).fileName());
    m_slot[i].txtFile->setText(nome);
    const QString errore = CopiaNellaCartella(scelto, nome);
    if (!errore.isEmpty()) {
        // Never let the slot name a document that was not stored.
        m_slot[i].txtFile->setText(prima);
        Piattaforma::Errore(errore, this);
    }
}

QString TfrmAllegaCartella::CopiaNellaCartella(const QString &origine, const QString &nome)
{
    try {
        const auto deposito = ApriDeposito(Piattaforma::CartellaProgramma());
        if (deposito->EsisteDocumento(nome)) {
            // The chosen file is the very one stored: nothing to copy, nothing to ask.
            if (deposito->StessoDocumento(nome, origine))
                return QString();
            if (!Piattaforma::Domanda(kMessaggioSovrascrivi, this))
                return QString(); // the slot names the document already stored
        }
        return deposito->SalvaDocumento(nome, origine, true);
    } catch (const ErroreFile &e) {
        return e.testo();
    }
}

void TfrmAllegaCartella::ApriDocumento(int i)
{
    const QString nome = Testo::Trim32(m_slot[i].txtFile->text());
    if (nome.isEmpty())
        return;
    QString percorso;
    try {
        percorso = ApriDeposito(Piattaforma::CartellaProgramma())->DocumentoDaAprire(nome);
    } catch (const ErroreFile &) {
    }
    if (percorso.isEmpty()) {
        Piattaforma::Avviso(MessaggioNomeNonValido(i, nome), this);
        return;
    }
    TMisc::Open(QStringLiteral("\"") + percorso + QStringLiteral("\""));
}

void TfrmAllegaCartella::Cancella(int i)
{
    m_slot[i].txtFile->clear();
}

void TfrmAllegaCartella::Imposta(const QString &modo, const TAllegati &allegati)
{
    lblMemory->setText(modo);
    for (int i = 0; i < 3; ++i) {
        m_slot[i].txtFile->setText(allegati[size_t(i)].file);
        m_slot[i].txtDesc->setText(allegati[size_t(i)].descrizione);
    }
}

void TfrmAllegaCartella::btnApplicaClick()
{
    if (Testo::Trim32(lblMemory->text()) != QLatin1String("anagrafica"))
        return;
    if (auto *ricevente = dynamic_cast<TRiceventeCompagni *>(parentWidget())) {
        TAllegati allegati;
        for (int i = 0; i < 3; ++i)
            allegati[size_t(i)] = {Testo::Trim32(m_slot[i].txtFile->text()),
                                   Testo::Trim32(m_slot[i].txtDesc->text())};
        ricevente->RiceviAllegati(allegati);
    }
    accept();
}

void TfrmAllegaCartella::btnAnnullaClick()
{
    reject();
}

void TfrmAllegaCartella::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    Finestra::Centra(this, Finestra::Centro::Schermo);
}
