#include "cards/StampaTessera.h"

#include "archive/Errori.h"
#include "archive/Impostazioni.h"
#include "archive/Testo.h"
#include "cards/FinestraStampa.h"
#include "cards/core/FoglioProva.h"
#include "cards/core/ImpostazioniStampa.h"
#include "cards/core/ModelloTessera.h"
#include "platform/Finestra.h"
#include "platform/Piattaforma.h"
#include "report/ReportGui.h"
#include "report/core/Report.h"
#include "storage/DatiEnteFile.h"
#include "widgets/Controlli.h"
#include "widgets/Tavolozza.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>

namespace {

using ImpostazioniStampa::Sezione;
const QString &kSezioneMargini = ImpostazioniStampa::SezioneMargini;
const QString &kSuperiore = ImpostazioniStampa::ChiaveSuperiore;
const QString &kSinistro = ImpostazioniStampa::ChiaveSinistro;
const QString &kSezioneOrientamento = ImpostazioniStampa::SezioneOrientamento;
const QString &kOrientamento = ImpostazioniStampa::ChiaveOrientamento;
const QString kVerticale = QStringLiteral("Verticale");
const QString kOrizzontale = QStringLiteral("Orizzontale");

const QString kStampaFallita = QStringLiteral(
    "Attenzione: la stampa non \u00e8 andata a buon fine.\n\r\n\rAccertarsi che la stampante sia "
    "configurata correttamente.");

QString PercorsoIni()
{
    return QDir(Piattaforma::CartellaProgramma()).filePath(NomeFileIni);
}

// A margin as printed: a real number with the comma as decimal separator.
double Millimetri(const QString &testo)
{
    QLocale italiano(QLocale::Italian, QLocale::Italy);
    italiano.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double v = italiano.toDouble(Testo::Trim32(testo), &ok);
    if (!ok)
        throw ErroreFile(QStringLiteral("'%1' non \u00E8 un numero valido.").arg(testo));
    return v;
}

QLabel *Titolo(QWidget *parent, const char *nome, const QString &testo, const QRect &r)
{
    auto *l = new QLabel(testo, parent);
    l->setObjectName(QString::fromLatin1(nome));
    l->setGeometry(r);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    l->setStyleSheet(Tavolozza::Stile(Tavolozza::Blu));
    return l;
}

QLineEdit *Margine(QWidget *parent, const char *nome, const QRect &r)
{
    auto *t = new QLineEdit(QStringLiteral("0"), parent);
    t->setObjectName(QString::fromLatin1(nome));
    t->setGeometry(r);
    t->setReadOnly(true);
    t->setAlignment(Qt::AlignCenter);
    t->setFocusPolicy(Qt::NoFocus);
    QFont f = t->font();
    f.setBold(true);
    f.setPointSize(11);
    t->setFont(f);
    return t;
}

} // namespace

TfrmStampaTessera::TfrmStampaTessera(QWidget *parent)
    : TFinestraStampa(parent, CreaTesserino(VarianteTessera::Stampa), "frmStampaTessera",
                      QStringLiteral(" Stampa tesserino"), QSize(600, 452))
{
    imgMargini = new TImmagine(this);
    imgMargini->setObjectName(QStringLiteral("imgMargini"));
    imgMargini->setGeometry(14, 14, 320, 300);
    imgMargini->SetSvg(QStringLiteral(":/cards/margini.svg"), QSize(320, 300));

    const int x = 352;
    lblTitOrientamento =
        Titolo(this, "lblTitOrientamento", QStringLiteral("Orientamento:"), QRect(x, 14, 230, 22));
    auto *pannello = new QGroupBox(this);
    pannello->setGeometry(x, 38, 230, 62);
    optVerticale = new QRadioButton(QStringLiteral("Verticale"), pannello);
    optVerticale->setObjectName(QStringLiteral("optVerticale"));
    optVerticale->setGeometry(12, 8, 200, 22);
    optVerticale->setChecked(true);
    optOrizzontale = new QRadioButton(QStringLiteral("Orizzontale"), pannello);
    optOrizzontale->setObjectName(QStringLiteral("optOrizzontale"));
    optOrizzontale->setGeometry(12, 34, 200, 22);

    lblTitTop =
        Titolo(this, "lblTitTop", QStringLiteral("Margine superiore:"), QRect(x, 114, 230, 22));
    btnTopMinus = Pulsante(this, "btnTopMinus", QStringLiteral("-"), QRect(x, 140, 36, 30));
    txtTop = Margine(this, "txtTop", QRect(x + 42, 140, 80, 30));
    btnTopPlus = Pulsante(this, "btnTopPlus", QStringLiteral("+"), QRect(x + 128, 140, 36, 30));
    lblTop = new QLabel(QStringLiteral("mm"), this);
    lblTop->setObjectName(QStringLiteral("lblTop"));
    lblTop->setGeometry(x + 172, 140, 50, 30);

    lblTitLeft =
        Titolo(this, "lblTitLeft", QStringLiteral("Margine sinistro:"), QRect(x, 184, 230, 22));
    btnLeftMinus = Pulsante(this, "btnLeftMinus", QStringLiteral("-"), QRect(x, 210, 36, 30));
    txtLeft = Margine(this, "txtLeft", QRect(x + 42, 210, 80, 30));
    btnLeftPlus = Pulsante(this, "btnLeftPlus", QStringLiteral("+"), QRect(x + 128, 210, 36, 30));
    lblLeft = new QLabel(QStringLiteral("mm"), this);
    lblLeft->setObjectName(QStringLiteral("lblLeft"));
    lblLeft->setGeometry(x + 172, 210, 50, 30);

    lblTitStampante =
        Titolo(this, "lblTitStampante", QStringLiteral("Stampante:"), QRect(x, 252, 230, 22));
    cboStampante = new QComboBox(this);
    cboStampante->setObjectName(QStringLiteral("cboStampante"));
    cboStampante->setGeometry(x, 276, 230, 30);

    chkAdatta = new QCheckBox(QStringLiteral("Riduci il carattere dei testi troppo lunghi"), this);
    chkAdatta->setObjectName(QStringLiteral("chkAdatta"));
    chkAdatta->setGeometry(14, 326, 572, 24);
    chkAdatta->setChecked(ImpostazioniStampa::LeggiScelta(Piattaforma::CartellaProgramma(),
                                                          ImpostazioniStampa::ChiaveAdatta));

    CreaAttesa(QRect(14, 356, 330, 30), Qt::AlignLeft | Qt::AlignVCenter);

    cmdProva =
        Pulsante(this, "cmdProva", QStringLiteral("Foglio di prova"), QRect(14, 404, 170, 34));
    btnAnnulla = Pulsante(this, "btnAnnulla", QStringLiteral("Annulla"), QRect(x, 404, 110, 34));
    btnStampa = Pulsante(this, "btnStampa", QStringLiteral("Stampa"), QRect(x + 120, 404, 110, 34));
    btnApplicaTop = Pulsante(this, "btnApplicaTop", QString(), QRect(0, 0, 10, 10));
    btnApplicaTop->hide();
    btnApplicaLeft = Pulsante(this, "btnApplicaLeft", QString(), QRect(0, 0, 10, 10));
    btnApplicaLeft->hide();

    // Held down, a button keeps stepping: 15 mm without 15 clicks.
    for (QPushButton *b : {btnTopMinus, btnTopPlus, btnLeftMinus, btnLeftPlus}) {
        b->setAutoRepeat(true);
        b->setAutoRepeatDelay(400);
        b->setAutoRepeatInterval(80);
    }
    connect(btnTopMinus, &QPushButton::clicked, this, &TfrmStampaTessera::btnTopMinusClick);
    connect(btnTopPlus, &QPushButton::clicked, this, &TfrmStampaTessera::btnTopPlusClick);
    connect(btnLeftMinus, &QPushButton::clicked, this, &TfrmStampaTessera::btnLeftMinusClick);
    connect(btnLeftPlus, &QPushButton::clicked, this, &TfrmStampaTessera::btnLeftPlusClick);
    connect(btnApplicaTop, &QPushButton::clicked, this, &TfrmStampaTessera::btnApplicaTopClick);
    connect(btnApplicaLeft, &QPushButton::clicked, this, &TfrmStampaTessera::btnApplicaLeftClick);
    Collega();
    connect(cmdProva, &QPushButton::clicked, this, &TfrmStampaTessera::cmdProvaClick);
    connect(cboStampante, &QComboBox::currentTextChanged, this,
            &TfrmStampaTessera::cboStampanteChange);
}

void TfrmStampaTessera::showEvent(QShowEvent *e)
{
    TFinestraStampa::showEvent(e);
    if (!e->spontaneous())
        FormShow();
}

void TfrmStampaTessera::FormShow()
{
    // The printer the print dialog offers first: its values, or the defaults.
    {
        const QSignalBlocker blocco(cboStampante);
        cboStampante->clear();
        cboStampante->addItems(Piattaforma::Stampanti());
        cboStampante->setCurrentText(Piattaforma::StampantePredefinita());
    }
    LeggiValori();
}

void TfrmStampaTessera::cboStampanteChange()
{
    LeggiValori();
}

void TfrmStampaTessera::LeggiValori()
{
    const TFileIni ini(PercorsoIni());
    const QString stampante = cboStampante->currentText();
    auto leggi = [&](const QString &sezione, const QString &chiave) {
        return ini.Leggi(Sezione(sezione, stampante), chiave, ini.Leggi(sezione, chiave));
    };
    txtTop->setText(leggi(kSezioneMargini, kSuperiore));
    txtLeft->setText(leggi(kSezioneMargini, kSinistro));
    optVerticale->setChecked(true);
    const QString orientamento = Testo::Trim32(leggi(kSezioneOrientamento, kOrientamento));
    if (orientamento == kVerticale) {
        optVerticale->setChecked(true);
    } else if (orientamento == kOrizzontale) {
        optOrizzontale->setChecked(true);
    }
    if (Testo::Trim32(txtTop->text()).isEmpty())
        txtTop->setText(QStringLiteral("0"));
    if (Testo::Trim32(txtLeft->text()).isEmpty())
        txtLeft->setText(QStringLiteral("0"));
}

void TfrmStampaTessera::Passo(QLineEdit *margine, int delta)
{
    bool ok = false;
    const int v = Testo::Trim32(margine->text()).toInt(&ok);
    if (!ok) {
        // A hand-edited value that is no whole number: reported, left as it is.
        Piattaforma::ErroreGenerale(
            QStringLiteral("'%1' is not a valid integer value").arg(margine->text()));
        return;
    }
    margine->setText(QString::number(v + delta));
}

void TfrmStampaTessera::btnTopMinusClick()
{
    Passo(txtTop, -1);
}
void TfrmStampaTessera::btnTopPlusClick()
{
    Passo(txtTop, +1);
}
void TfrmStampaTessera::btnLeftMinusClick()
{
    Passo(txtLeft, -1);
}
void TfrmStampaTessera::btnLeftPlusClick()
{
    Passo(txtLeft, +1);
}

void TfrmStampaTessera::SalvaMargine(const QString &chiave, QLineEdit *margine)
{
    // The printer's own sections, and the defaults that a printer without values takes.
    TFileIni ini(PercorsoIni());
    QStringList stampanti{QString()};
    if (!cboStampante->currentText().isEmpty())
        stampanti << cboStampante->currentText();
    for (const QString &stampante : stampanti) {
        ini.Imposta(Sezione(kSezioneMargini, stampante), chiave, Testo::Trim32(margine->text()));
        ini.Imposta(Sezione(kSezioneOrientamento, stampante), kOrientamento,
                    optVerticale->isChecked() ? kVerticale : kOrizzontale);
    }
    ini.Salva();
}

// These throw on a settings file that cannot be written: the print reports it.
void TfrmStampaTessera::btnApplicaTopClick()
{
    SalvaMargine(kSuperiore, txtTop);
}
void TfrmStampaTessera::btnApplicaLeftClick()
{
    SalvaMargine(kSinistro, txtLeft);
}

void TfrmStampaTessera::btnStampaClick()
{
    if (!ConfermaStampa(FinestraStampa::AvvisoTessere({m_tessera}, chkAdatta->isChecked())))
        return;
    bool pronta = false;
    try {
        btnApplicaTopClick();
        btnApplicaLeftClick();
        ImpostazioniStampa::ScriviScelta(Piattaforma::CartellaProgramma(),
                                         ImpostazioniStampa::ChiaveAdatta, chkAdatta->isChecked());
        lblAttendere->show();
        lblAttendere->repaint();
        TImpostazioniStampa imp;
        imp.orientamento = optVerticale->isChecked() ? poPortrait : poLandscape;
        imp.alto = Millimetri(txtTop->text());
        imp.sinistro = Millimetri(txtLeft->text());
        imp.Adatta = chkAdatta->isChecked();
        ComponiTessera(*m_rep, m_tessera, imp);
        pronta = ReportGui::PrepareReport(*m_rep, true);
        if (pronta)
            FinestraStampa::Stampa(*m_rep, this, cboStampante->currentText());
    } catch (const std::exception &) {
        pronta = false;
    }
    if (!pronta) {
        lblAttendere->hide();
        Piattaforma::Avviso(kStampaFallita, this);
        reject();
        return;
    }
    lblAttendere->hide();
    accept();
}

void TfrmStampaTessera::cmdProvaClick()
{
    // The sheet shows the values on screen; nothing is saved, the screen stays open.
    bool pronta = false;
    try {
        lblAttendere->show();
        lblAttendere->repaint();
        m_prova = CreaFoglioProva(optVerticale->isChecked() ? poPortrait : poLandscape,
                                  Millimetri(txtTop->text()), Millimetri(txtLeft->text()));
        pronta = ReportGui::PrepareReport(*m_prova, true);
        if (pronta)
            FinestraStampa::Stampa(*m_prova, this, cboStampante->currentText());
    } catch (const std::exception &) {
        pronta = false;
    }
    if (!pronta) {
        lblAttendere->hide();
        Piattaforma::Avviso(kStampaFallita, this);
        return;
    }
    lblAttendere->hide();
}
