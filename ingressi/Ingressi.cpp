#include "ingressi/Ingressi.h"

#include "ingressi/core/LettoreQR.h"
#include "lists/Riepilogo.h"
#include "platform/Finestra.h"
#include "platform/Piattaforma.h"
#include "platform/SorgenteFotogrammi.h"
#include "report/Stampa.h"
#include "storage/Deposito.h"
#include "widgets/Controlli.h"
#include "widgets/Sottofondo.h"
#include "widgets/Tavolozza.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using Verifica::Esito;

void TLettoreIngressi::Leggi(const QImage &fotogramma)
{
    const QStringList testi = LettoreQR::Leggi(fotogramma);
    // Free for the next frame before the answer arrives: the screen drops none it need not.
    *m_occupato = false;
    if (!testi.isEmpty())
        emit Letti(testi);
}

namespace {
const QSize kCamera(640, 360);
const QSize kFoto(210, 250);

QString SuonoDi(Esito e)
{
    switch (e) {
    case Esito::Valida:
        return QStringLiteral("valida");
    case Esito::Scaduta:
        return QStringLiteral("scaduta");
    case Esito::Annullata:
        return QStringLiteral("annullata");
    case Esito::NonRiconosciuta:
        return QStringLiteral("sconosciuta");
    case Esito::Contraffatta:
        return QStringLiteral("contraffatta");
    }
    return {};
}

QLabel *Etichetta(QWidget *parent, const char *nome, int punti, bool grassetto)
{
    auto *l = new QLabel(parent);
    l->setObjectName(QString::fromLatin1(nome));
    // The font is part of the design: read from two metres away.
    l->setStyleSheet(QStringLiteral("QLabel { font-family: Verdana; font-size: %1pt; %2 }")
                         .arg(punti)
                         .arg(grassetto ? QStringLiteral("font-weight: bold;") : QString()));
    l->setWordWrap(true);
    return l;
}
} // namespace

TfrmIngressi::TfrmIngressi(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmIngressi"));
    setWindowTitle(QStringLiteral(" Controllo ingressi"));
    setStyleSheet(Tavolozza::Colora(
        QStringLiteral("TfrmIngressi { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, "
                       "stop:0 @Acciaio, stop:1 @Bianco); }"
                       "QLabel#lblStato { color: @Rubino; font-weight: bold; background: @Bianco; "
                       "border: 1px solid @Cremisi; border-radius: 4px; padding: 4px; }")));

    auto *colonna = new QVBoxLayout(this);
    colonna->setContentsMargins(14, 14, 14, 14);
    colonna->setSpacing(10);

    // The verdict band, across the whole screen.
    lblEsito = new QLabel(QStringLiteral("Mostrare la tessera alla webcam"), this);
    lblEsito->setObjectName(QStringLiteral("lblEsito"));
    lblEsito->setAlignment(Qt::AlignCenter);
    lblEsito->setMinimumHeight(130);
    lblEsito->setWordWrap(true);
    colonna->addWidget(lblEsito);

    auto *centro = new QHBoxLayout;
    centro->setSpacing(20);
    imgCamera = new TImmagine(this);
    imgCamera->setObjectName(QStringLiteral("imgCamera"));
    // The picture takes the room left by the member's column, its proportions kept.
    imgCamera->setMinimumSize(kCamera / 2);
    imgCamera->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    imgCamera->setAdatta(TImmagine::Adatta::Proporzioni);
    imgCamera->setCentrata(true);
    centro->addWidget(imgCamera, 1);

    auto *socio = new QGridLayout;
    socio->setHorizontalSpacing(16);
    socio->setVerticalSpacing(8);
    imgFoto = new TImmagine(this);
    imgFoto->setObjectName(QStringLiteral("imgFoto"));
    imgFoto->setFixedSize(kFoto);
    imgFoto->setAdatta(TImmagine::Adatta::Proporzioni);
    imgFoto->setCentrata(true);
    socio->addWidget(imgFoto, 0, 0, 1, 2, Qt::AlignLeft);
    lblTesserato = Etichetta(this, "lblTesserato", 24, true);
    lblTessera = Etichetta(this, "lblTessera", 16, false);
    lblScadenza = Etichetta(this, "lblScadenza", 16, false);
    socio->addWidget(lblTesserato, 1, 0, 1, 2);
    socio->addWidget(lblTessera, 2, 0, 1, 2);
    socio->addWidget(lblScadenza, 3, 0, 1, 2);
    socio->setRowStretch(4, 1);
    auto *colonnaSocio = new QWidget(this);
    colonnaSocio->setObjectName(QStringLiteral("panSocio"));
    colonnaSocio->setFixedWidth(380);
    colonnaSocio->setLayout(socio);
    socio->setContentsMargins(0, 0, 0, 0);
    centro->addWidget(colonnaSocio);
    colonna->addLayout(centro, 1);

    lblStato = new QLabel(this);
    lblStato->setObjectName(QStringLiteral("lblStato"));
    lblStato->setAlignment(Qt::AlignCenter);
    lblStato->setWordWrap(true);
    lblStato->hide();
    colonna->addWidget(lblStato);

    auto *riga = new QHBoxLayout;
    riga->setSpacing(10);
    auto *titCodice = new QLabel(QStringLiteral("Codice o numero di tessera:"), this);
    titCodice->setObjectName(QStringLiteral("titCodice"));
    txtCodice = new QLineEdit(this);
    txtCodice->setObjectName(QStringLiteral("txtCodice"));
    txtCodice->setMinimumWidth(260);
    lblValidi = Etichetta(this, "lblValidi", 14, true);
    lblValidi->setWordWrap(false);
    cmdStampa = new QPushButton(QStringLiteral("Stampa ingressi del giorno"), this);
    cmdStampa->setObjectName(QStringLiteral("cmdStampa"));
    cmdStampa->setAutoDefault(false);
    cmdEsci = new QPushButton(QStringLiteral("Chiudi"), this);
    cmdEsci->setObjectName(QStringLiteral("cmdEsci"));
    cmdEsci->setAutoDefault(false);
    for (QPushButton *b : {cmdStampa, cmdEsci})
        b->setMinimumHeight(32);
    riga->addWidget(titCodice);
    riga->addWidget(txtCodice, 1);
    riga->addSpacing(20);
    riga->addWidget(lblValidi);
    riga->addStretch();
    riga->addWidget(cmdStampa);
    riga->addWidget(cmdEsci);
    colonna->addLayout(riga);

    repIngressi = new TRiepilogo(this);
    repIngressi->setObjectName(QStringLiteral("repIngressi"));

    connect(txtCodice, &QLineEdit::returnPressed, this, &TfrmIngressi::txtCodiceReturnPressed);
    connect(cmdStampa, &QPushButton::clicked, this, &TfrmIngressi::cmdStampaClick);
    connect(cmdEsci, &QPushButton::clicked, this, &TfrmIngressi::cmdEsciClick);

    Mostra({});
    lblEsito->setText(QStringLiteral("Mostrare la tessera alla webcam"));
    setMinimumSize(1000, 600);
    Finestra::Massimizzata(this);
}

TfrmIngressi::~TfrmIngressi()
{
    Fermati();
}

// The members, the key and the camera are taken when the screen is shown: the archive may
// have changed since the last time.
void TfrmIngressi::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    Prepara();
    txtCodice->setFocus(Qt::OtherFocusReason);
}

void TfrmIngressi::Prepara()
{
    m_ultimo.clear();
    try {
        const auto deposito = ApriDeposito(Piattaforma::CartellaProgramma());
        m_elenco.Carica(*deposito);
        m_soloFirmati = deposito->LeggiOpzioniTessera().Verifica;
        m_chiave = deposito->ChiaveVerifica();
        m_validi = 0;
        for (const TDeposito::TIngresso &i : deposito->IngressiDel(Piattaforma::Oggi()))
            if (i.esito == QLatin1String("VALIDA"))
                ++m_validi;
    } catch (const ErroreFile &e) {
        Piattaforma::Errore(e.testo(), this);
    }
    AggiornaConteggio();

    if (!camCamera) {
        camCamera = Piattaforma::Fotocamera(this);
        camCamera->setObjectName(QStringLiteral("camCamera"));
        connect(camCamera.get(), &SorgenteFotogrammi::Fotogramma, this,
                &TfrmIngressi::camCameraSampleBufferReady);
    }
    if (!camCamera->Disponibile()) {
        lblStato->setText(QStringLiteral("Nessuna webcam disponibile: leggere le tessere con un "
                                         "lettore di codici o scrivere il numero di tessera."));
        lblStato->show();
        return;
    }
    lblStato->hide();
    if (!m_lettore) {
        m_lettore = new TLettoreIngressi(m_occupato);
        connect(m_lettore, &TLettoreIngressi::Letti, this, &TfrmIngressi::CodiciLetti);
        Sottofondo::Avvia(m_lettore, [] {});
    }
    camCamera->Avvia();
}

void TfrmIngressi::Fermati()
{
    if (camCamera)
        camCamera->Ferma();
    // The worker ends alone once its frame is read; the screen never waits for it.
    if (m_lettore) {
        disconnect(m_lettore, nullptr, this, nullptr);
        Sottofondo::Congeda(m_lettore);
        m_lettore = nullptr;
    }
}

void TfrmIngressi::done(int r)
{
    Fermati();
    QDialog::done(r);
}

void TfrmIngressi::camCameraSampleBufferReady(const QImage &fotogramma)
{
    imgCamera->SetPicture(
        fotogramma.scaled(imgCamera->size(), Qt::KeepAspectRatio, Qt::FastTransformation));
    // A frame that comes while the last is still being read is dropped.
    if (!m_lettore || m_occupato->exchange(true))
        return;
    QMetaObject::invokeMethod(
        m_lettore, [l = m_lettore, fotogramma] { l->Leggi(fotogramma); }, Qt::QueuedConnection);
}

void TfrmIngressi::CodiciLetti(const QStringList &testi)
{
    for (const QString &t : testi)
        Controlla(t, Verifica::Origine::Camera);
}

void TfrmIngressi::txtCodiceReturnPressed()
{
    const QString testo = txtCodice->text();
    txtCodice->clear();
    if (!testo.trimmed().isEmpty())
        Controlla(testo, Verifica::Origine::Riga);
}

void TfrmIngressi::Controlla(const QString &testo, Verifica::Origine origine)
{
    // The same card held up for a while is checked once.
    const QString codice = testo.trimmed();
    if (codice == m_ultimo && m_daUltimo.isValid() && m_daUltimo.elapsed() < PausaMs)
        return;
    m_ultimo = codice;
    m_daUltimo.start();

    const Verifica::TVerdetto v =
        Verifica::Giudica(codice, origine, m_elenco, m_chiave, m_soloFirmati, Piattaforma::Oggi());
    Mostra(v);
    Suona(v.esito);
    try {
        const auto deposito = ApriDeposito(Piattaforma::CartellaProgramma());
        if (v.socio.posizione > 0)
            imgFoto->SetPicture(deposito->LeggiFoto(v.socio.posizione));
        deposito->RegistraIngresso({QDateTime(Piattaforma::Oggi(), Piattaforma::Ora()), v.tessera,
                                    v.socio.tesserato, v.socio.posizione, Verifica::Testo(v)});
        if (v.esito == Esito::Valida)
            ++m_validi;
    } catch (const ErroreFile &e) {
        Piattaforma::Errore(e.testo(), this);
    }
    AggiornaConteggio();
}

void TfrmIngressi::Mostra(const Verifica::TVerdetto &v)
{
    const bool nessuno = v.tessera.isEmpty() && v.socio.posizione == 0;
    lblEsito->setText(nessuno ? QString() : Verifica::Testo(v));
    const QRgb fondo = nessuno                    ? Tavolozza::Blu
                       : v.esito == Esito::Valida ? Tavolozza::Verde
                                                  : Tavolozza::Cremisi;
    lblEsito->setStyleSheet(
        QStringLiteral("QLabel { font-family: Verdana; font-size: 48pt; font-weight: bold; "
                       "color: white; background: %1; border-radius: 8px; }")
            .arg(Tavolozza::Nome(fondo)));
    lblTesserato->setText(v.socio.tesserato);
    lblTessera->setText(v.tessera.isEmpty() ? QString()
                                            : QStringLiteral("Tessera n. ") + v.tessera);
    lblScadenza->setText(
        v.socio.scadenza.isEmpty() ? QString() : QStringLiteral("Scadenza: ") + v.socio.scadenza);
    imgFoto->Clear();
}

void TfrmIngressi::Suona(Esito esito)
{
    Piattaforma::Suona(QStringLiteral(":/ingressi/%1.wav").arg(SuonoDi(esito)));
}

void TfrmIngressi::AggiornaConteggio()
{
    lblValidi->setText(QStringLiteral("Ingressi validi oggi: %1").arg(m_validi));
}

void TfrmIngressi::cmdStampaClick()
{
    const QDate oggi = Piattaforma::Oggi();
    QStringList righe;
    try {
        for (const TDeposito::TIngresso &i :
             ApriDeposito(Piattaforma::CartellaProgramma())->IngressiDel(oggi))
            righe << QStringLiteral("%1  %2  %3  %4")
                         .arg(i.quando.time().toString(QStringLiteral("HH:mm:ss")),
                              i.tessera.left(16).leftJustified(16),
                              i.tesserato.left(40).leftJustified(40), i.esito);
    } catch (const ErroreFile &e) {
        Piattaforma::Errore(e.testo(), this);
        return;
    }
    if (righe.isEmpty()) {
        Piattaforma::Messaggio(QStringLiteral("Nessun ingresso registrato oggi."), this);
        return;
    }
    StampaReport::Riferisci(repIngressi->Stampa(QStringLiteral("Ingressi del ") +
                                                    oggi.toString(QStringLiteral("dd/MM/yyyy")) +
                                                    QStringLiteral(" - validi: %1").arg(m_validi),
                                                righe, this),
                            this);
}

void TfrmIngressi::cmdEsciClick()
{
    reject();
}
