#include "cards/Tessera.h"

#include "archive/LetturaImmagine.h"
#include "archive/Testo.h"
#include "cards/AnteprimaTessera.h"
#include "cards/ControlliCarta.h"
#include "cards/DatiEnte.h"
#include "cards/Segnaposto.h"
#include "cards/StampaTessera.h"
#include "lists/TrovaAnagrafica.h"
#include "platform/Finestra.h"
#include "platform/Piattaforma.h"
#include "shell/Guida.h"
#include "storage/DatiEnteFile.h"
#include "storage/Deposito.h"
#include "widgets/ConsiglioArchivio.h"
#include "widgets/Controlli.h"
#include "widgets/Modale.h"
#include "widgets/Navigazione.h"
#include "widgets/Tavolozza.h"

#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QShowEvent>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString kErroreArchivio = QStringLiteral(
    "Attenzione: il sistema non permette di accedere all'archivio.\n\r\n\rAccertarsi di possedere "
    "i privilegi di scrittura nella cartella di installazione del programma.");
const QString kErroreLogo = QStringLiteral(
    "Attenzione: non \u00e8 stato possibile salvare il logo nel file Logo.jpg.\n\r\n\rAccertarsi "
    "di possedere i privilegi di scrittura nella cartella di installazione del programma.");

const QString kDomandaDatiEnte = QStringLiteral(
    "Attenzione: i dati dell'ente sono stati modificati da un'altra postazione, dopo che "
    "questa schermata è stata aperta.\r\n\r\nSalvare comunque le modifiche di questa "
    "postazione? Sì: le modifiche dell'altra postazione andranno perse. No: restano quelle "
    "dell'altra postazione.");

const QString kSegnapostoTesserato = QStringLiteral("Cognome e nome Socio");
const QString kSegnapostoCarica = QStringLiteral("Carica ricoperta");
const QString kSegnapostoNumTessera = QStringLiteral("Tessera n.");
const QString kSegnapostoData = QStringLiteral("GG/MM/AAAA");

constexpr int kLarghezzaCarta = 508;
constexpr int kAltezzaCarta = 319;
constexpr int kOmbra = 7;

using ControlliCarta::Etichetta;
using ControlliCarta::PulsanteImmagine;
using ControlliCarta::Riquadro;
using ControlliCarta::Verdana;

TEtichetta *EtichettaEnte(QWidget *parent, const char *nome, const QRect &r, const QFont &f,
                          Qt::Alignment allineamento = Qt::AlignLeft | Qt::AlignVCenter)
{
    auto *l = new TEtichetta(parent);
    l->setObjectName(QString::fromLatin1(nome));
    l->setGeometry(r);
    l->setFont(f);
    l->setAlignment(allineamento);
    l->setCursor(Qt::PointingHandCursor);
    l->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    return l;
}

} // namespace

TfrmTessera::TfrmTessera(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmTessera"));
    setWindowTitle(QStringLiteral(" Quorvel - Stampa tessera singola"));
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));

    // Hidden placeholders: portrait, logo and the white dot of a cleared picture.
    imgBianco = new TImmagine(this);
    imgBianco->setObjectName(QStringLiteral("imgBianco"));
    Segnaposto::MostraRitratto(imgBianco, Segnaposto::RitrattoGrande);
    imgBianco->hide();
    imgBlank = new TImmagine(this);
    imgBlank->setObjectName(QStringLiteral("imgBlank"));
    Segnaposto::MostraLogo(imgBlank, Segnaposto::LogoGrande);
    imgBlank->hide();
    imgPuntino = new TImmagine(this);
    imgPuntino->setObjectName(QStringLiteral("imgPuntino"));
    imgPuntino->SetPicture(Segnaposto::Puntino());
    imgPuntino->hide();

    auto *colonna = new QVBoxLayout(this);
    colonna->setContentsMargins(16, 10, 16, 0);
    colonna->setSpacing(6);

    // Top row: the four image buttons on the left, the arrows and the position on the right.
    auto *alto = new QHBoxLayout;
    cmdNuovo = PulsanteImmagine(this, "cmdNuovo", QStringLiteral("Nuovo"),
                                QStringLiteral(":/cards/nuovo.svg"));
    cmdTrova = PulsanteImmagine(this, "cmdTrova", QStringLiteral("Trova"),
                                QStringLiteral(":/cards/trova.svg"));
    cmdAnteprima = PulsanteImmagine(this, "cmdAnteprima", QStringLiteral("Anteprima"),
                                    QStringLiteral(":/cards/anteprima.svg"));
    cmdStampa = PulsanteImmagine(this, "cmdStampa", QStringLiteral("Stampa"),
                                 QStringLiteral(":/cards/stampa.svg"));
    for (QToolButton *b : {cmdNuovo, cmdTrova, cmdAnteprima, cmdStampa})
        alto->addWidget(b);
    alto->addStretch(1);
    cmdPrimo =
        PulsanteImmagine(this, "cmdPrimo", QString(), QStringLiteral(":/cards/primo.svg"), 32);
    cmdIndietro = PulsanteImmagine(this, "cmdIndietro", QString(),
                                   QStringLiteral(":/cards/indietro.svg"), 32);
    cmdAvanti =
        PulsanteImmagine(this, "cmdAvanti", QString(), QStringLiteral(":/cards/avanti.svg"), 32);
    cmdUltimo =
        PulsanteImmagine(this, "cmdUltimo", QString(), QStringLiteral(":/cards/ultimo.svg"), 32);
    lblPosizione = new QLabel(this);
    lblPosizione->setObjectName(QStringLiteral("lblPosizione"));
    lblPosizione->setAlignment(Qt::AlignCenter);
    lblPosizione->setFixedSize(70, 30);
    lblPosizione->setFont(Verdana(12));
    lblPosizione->setStyleSheet(Tavolozza::Colora(QStringLiteral(
        "color: @Blu; background: white; border: 1px solid @Blu; border-radius: 4px;")));
    alto->addWidget(cmdPrimo);
    alto->addWidget(cmdIndietro);
    alto->addWidget(lblPosizione);
    alto->addWidget(cmdAvanti);
    alto->addWidget(cmdUltimo);
    colonna->addLayout(alto);

    lblInfo001 = new QLabel(QStringLiteral("Per richiamare i dati di un Socio dall'archivio, "
                                           "utilizzare il pulsante Trova o le frecce di "
                                           "scorrimento delle schede. "),
                            this);
    lblInfo001->setObjectName(QStringLiteral("lblInfo001"));
    lblInfo002 = new QLabel(QStringLiteral("Inserire o modificare il logo e i dati dell'Ente o "
                                           "Associazione facendo clic su di essi."),
                            this);
    lblInfo002->setObjectName(QStringLiteral("lblInfo002"));
    lblInfo003 = new QLabel(QStringLiteral("Il logo e i dati testuali relativi all'Ente o "
                                           "Associazione sono salvati in automatico all'uscita "
                                           "da questo ambiente di lavoro."),
                            this);
    lblInfo003->setObjectName(QStringLiteral("lblInfo003"));
    for (QLabel *l : {lblInfo001, lblInfo002, lblInfo003}) {
        l->setAlignment(Qt::AlignCenter);
        l->setWordWrap(true);
        l->setFont(Verdana(10));
        l->setStyleSheet(Tavolozza::Colora(QStringLiteral("color: @Blu;")));
    }
    colonna->addStretch(1);
    colonna->addWidget(lblInfo001);
    colonna->addSpacing(4);
    colonna->addWidget(lblInfo002);

    // The card, drawn large on its shadow.
    auto *ombra = new QWidget(this);
    ombra->setObjectName(QStringLiteral("sfoTessera"));
    ombra->setFixedSize(kLarghezzaCarta + kOmbra, kAltezzaCarta + kOmbra);
    auto *fondoOmbra =
        Riquadro(ombra, "bkgOmbra", QRect(kOmbra, kOmbra, kLarghezzaCarta, kAltezzaCarta),
                 QStringLiteral("background: rgba(27, 47, 94, 110); "
                                "border-radius: 10px;"));
    auto *carta =
        Riquadro(ombra, "shpSfondo", QRect(0, 0, kLarghezzaCarta, kAltezzaCarta),
                 Tavolozza::Colora(QStringLiteral("background: white; border: 1px solid @Blu; "
                                                  "border-radius: 10px;")));
    CostruisciTessera(carta);
    colonna->addWidget(ombra, 0, Qt::AlignHCenter);
    colonna->addWidget(lblInfo003);
    colonna->addStretch(1);

    // Bottom row: help on the left, exit on the right.
    auto *basso = new QHBoxLayout;
    imgGuida = PulsanteImmagine(this, "imgGuida", QStringLiteral("Guida"),
                                QStringLiteral(":/cards/guida.svg"));
    imgEsci = PulsanteImmagine(this, "imgEsci", QStringLiteral("Esci"),
                               QStringLiteral(":/cards/esci.svg"));
    basso->addWidget(imgGuida);
    basso->addStretch(1);
    basso->addWidget(imgEsci);
    colonna->addLayout(basso);

    panInfo = new QLabel(QStringLiteral("Pronto per stampare una nuova tessera..."), this);
    panInfo->setObjectName(QStringLiteral("panInfo"));
    panInfo->setFixedHeight(26);
    panInfo->setContentsMargins(10, 0, 10, 0);
    panInfo->setStyleSheet(Tavolozza::Colora(
        QStringLiteral("background: @Acciaio; color: white; font-weight: bold;")));
    colonna->addSpacing(4);
    colonna->addWidget(panInfo);
    // The status line spans the whole width.
    colonna->setContentsMargins(0, 10, 0, 0);
    alto->setContentsMargins(16, 0, 16, 0);
    basso->setContentsMargins(16, 0, 16, 0);

    // Hints.
    const std::pair<QWidget *, QString> suggerimenti[] = {
        {cmdNuovo,
         QStringLiteral("Predispone la schermata per la visualizzazione di una nuova scheda.")},
        {cmdTrova, QStringLiteral("Trova una scheda in archivio.")},
        {cmdAnteprima, QStringLiteral("Visualizza l'anteprima di stampa del tesserino corrente.")},
        {cmdStampa, QStringLiteral("Stampa il tesserino corrente.")},
        {cmdPrimo, QStringLiteral("Visualizza la prima scheda in archivio.")},
        {cmdIndietro, QStringLiteral("Visualizza la scheda precedente in archivio.")},
        {cmdAvanti, QStringLiteral("Visualizza la scheda successiva in archivio.")},
        {cmdUltimo, QStringLiteral("Visualizza l'ultima scheda in archivio.")},
        {imgGuida, QStringLiteral("Visualizza la pagina della guida sensibile al contesto.")},
        {imgEsci, QStringLiteral("Esci da questa schermata di lavoro.")},
        {imgLogo,
         QStringLiteral("Fare clic per caricare il logo del proprio Ente o Associazione.")},
        {titAssociazione,
         QStringLiteral("Fare clic per inserire i dati del proprio Ente o Associazione.")},
        {titSottotitolo01,
         QStringLiteral("Fare clic per inserire i dati del proprio Ente o Associazione.")},
        {titSottotitolo02,
         QStringLiteral("Fare clic per inserire i dati del proprio Ente o Associazione.")},
        {titAnnotazioni,
         QStringLiteral("Fare clic per inserire i dati del proprio Ente o Associazione.")},
        {btnCancFoto, QStringLiteral("Cancella la foto corrente.")},
        {btnCancLogo, QStringLiteral("Cancella il logo corrente.")},
    };
    for (const auto &[controllo, testo] : suggerimenti)
        Comportamenti::Suggerimento(controllo, panInfo, testo);
    for (QWidget *area : std::initializer_list<QWidget *>{this, ombra, fondoOmbra, carta})
        Comportamenti::SvuotaSuggerimento(area, panInfo);
    for (QFrame *f : carta->findChildren<QFrame *>(QString(), Qt::FindDirectChildrenOnly))
        Comportamenti::SvuotaSuggerimento(f, panInfo);
    Comportamenti::SvuotaSuggerimento(imgFoto, panInfo);

    connect(cmdNuovo, &QToolButton::clicked, this, &TfrmTessera::cmdNuovoClick);
    connect(cmdTrova, &QToolButton::clicked, this, &TfrmTessera::cmdTrovaClick);
    connect(cmdAnteprima, &QToolButton::clicked, this, &TfrmTessera::cmdAnteprimaClick);
    connect(cmdStampa, &QToolButton::clicked, this, &TfrmTessera::cmdStampaClick);
    connect(cmdPrimo, &QToolButton::clicked, this, &TfrmTessera::cmdPrimoClick);
    connect(cmdIndietro, &QToolButton::clicked, this, &TfrmTessera::cmdIndietroClick);
    connect(cmdAvanti, &QToolButton::clicked, this, &TfrmTessera::cmdAvantiClick);
    connect(cmdUltimo, &QToolButton::clicked, this, &TfrmTessera::cmdUltimoClick);
    connect(btnCancFoto, &QToolButton::clicked, this, &TfrmTessera::btnCancFotoClick);
    connect(btnCancLogo, &QToolButton::clicked, this, &TfrmTessera::btnCancLogoClick);
    connect(imgGuida, &QToolButton::clicked, this, &TfrmTessera::imgGuidaClick);
    connect(imgEsci, &QToolButton::clicked, this, &TfrmTessera::imgEsciClick);
    connect(imgLogo, &TImmagine::clicked, this, &TfrmTessera::imgLogoClick);
    for (TEtichetta *l : {titAssociazione, titSottotitolo01, titSottotitolo02, titAnnotazioni})
        connect(l, &TEtichetta::clicked, this, &TfrmTessera::titAssociazioneClick);

    Reimposta();
    Finestra::Massimizzata(this);
}

void TfrmTessera::CostruisciTessera(QWidget *carta)
{
    const QString nero = QStringLiteral("black");
    const QString fascia =
        Tavolozza::Colora(QStringLiteral("background: @Blu; border-radius: 6px;"));
    Riquadro(carta, "shpHeader", QRect(6, 6, 496, 72), fascia);
    Riquadro(carta, "shpFooter", QRect(6, 278, 496, 35), fascia);

    titAssociazione = EtichettaEnte(carta, "titAssociazione", QRect(14, 9, 480, 26), Verdana(14));
    titSottotitolo01 =
        EtichettaEnte(carta, "titSottotitolo01", QRect(14, 35, 480, 20), Verdana(10));
    titSottotitolo02 =
        EtichettaEnte(carta, "titSottotitolo02", QRect(14, 55, 480, 20), Verdana(10));
    titAnnotazioni = EtichettaEnte(carta, "titAnnotazioni", QRect(14, 282, 480, 27), Verdana(12),
                                   Qt::AlignCenter);

    Riquadro(carta, "bkgFoto", QRect(11, 87, 159, 176),
             Tavolozza::Colora(QStringLiteral("background: white; border: 1px solid @Blu;")));
    imgFoto = new TImmagine(carta);
    imgFoto->setObjectName(QStringLiteral("imgFoto"));
    imgFoto->setGeometry(12, 88, 157, 174);

    txtTesserato = Etichetta(carta, "txtTesserato", QRect(180, 86, 320, 28), Verdana(16), nero);
    txtCarica = Etichetta(carta, "txtCarica", QRect(180, 114, 320, 24), Verdana(14), nero);
    txtNumTessera = Etichetta(carta, "txtNumTessera", QRect(180, 139, 180, 22), Verdana(12),
                              Tavolozza::Colora(QStringLiteral("@Mattone")));

    titDataRil = Etichetta(carta, "titDataRil", QRect(180, 163, 160, 20), Verdana(9, false), nero);
    titDataRil->setText(QStringLiteral("Data rilascio:"));
    Riquadro(carta, "shpDataRil", QRect(180, 183, 150, 27),
             Tavolozza::Colora(QStringLiteral("background: @Beige; border: 1px solid black;")));
    txtDataRil = Etichetta(carta, "txtDataRil", QRect(181, 184, 148, 25), Verdana(11), nero,
                           Qt::AlignCenter);
    titDataScade =
        Etichetta(carta, "titDataScade", QRect(180, 213, 160, 20), Verdana(9, false), nero);
    titDataScade->setText(QStringLiteral("Data scadenza:"));
    Riquadro(carta, "shpDataScade", QRect(180, 233, 150, 27),
             Tavolozza::Colora(QStringLiteral("background: @Beige; border: 1px solid black;")));
    txtDataScade = Etichetta(carta, "txtDataScade", QRect(181, 234, 148, 25), Verdana(11), nero,
                             Qt::AlignCenter);

    Riquadro(carta, "bkgLogo", QRect(366, 139, 121, 120),
             Tavolozza::Colora(QStringLiteral("background: white; border: 1px solid @Blu;")));
    imgLogo = new TImmagine(carta);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    imgLogo->setGeometry(367, 140, 119, 118);
    imgLogo->setCursor(Qt::PointingHandCursor);

    btnCancFoto =
        PulsanteImmagine(carta, "btnCancFoto", QString(), QStringLiteral(":/cards/gomma.svg"), 22);
    btnCancFoto->setGeometry(12 + 157 - 26, 88 + 174 - 26, 26, 26);
    btnCancLogo =
        PulsanteImmagine(carta, "btnCancLogo", QString(), QStringLiteral(":/cards/gomma.svg"), 22);
    btnCancLogo->setGeometry(367 + 119 - 26, 140 + 118 - 26, 26, 26);
    btnCancFoto->raise();
    btnCancLogo->raise();

    // The code's place on paper, 12 mm square at the right end of the top band.
    const int lato = qRound(12.0 * kLarghezzaCarta / LarghezzaTesseraMm);
    imgCodiceQR = new QLabel(carta);
    imgCodiceQR->setObjectName(QStringLiteral("imgCodiceQR"));
    imgCodiceQR->setGeometry(502 - lato, 6, lato, lato);
    imgCodiceQR->hide();
}

void TfrmTessera::MostraCodiceQR()
{
    const TDatiTessera d = Dati();
    const QImage codice =
        d.CodiceQR ? ControlliCarta::ImmagineCodiceQR(TestoQRTessera(d), imgCodiceQR->width())
                   : QImage();
    imgCodiceQR->setPixmap(QPixmap::fromImage(codice));
    imgCodiceQR->setVisible(!codice.isNull());
    imgCodiceQR->raise();
}

void TfrmTessera::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    QLinearGradient g(0, 0, 0, height());
    g.setColorAt(0, QColor::fromRgb(Tavolozza::Acciaio));
    g.setColorAt(0.55, Qt::white);
    g.setColorAt(1, Qt::white);
    p.fillRect(rect(), g);
}

void TfrmTessera::Reimposta()
{
    txtTesserato->setText(kSegnapostoTesserato);
    txtCarica->setText(kSegnapostoCarica);
    txtNumTessera->setText(kSegnapostoNumTessera);
    txtDataRil->setText(kSegnapostoData);
    txtDataScade->setText(kSegnapostoData);
    imgFoto->SetPicture(imgBianco->Picture());
    lblPosizione->clear();
    MostraCodiceQR();
}

void TfrmTessera::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    if (!e->spontaneous())
        FormShow();
}

void TfrmTessera::FormShow()
{
    Reimposta();
    const auto deposito = ApriDeposito(Piattaforma::CartellaProgramma());
    const TDatiEnte d = deposito->LeggiDatiEnte();
    titAssociazione->setText(d.Denominazione);
    titSottotitolo01->setText(d.Sottotitolo1);
    titSottotitolo02->setText(d.Sottotitolo2);
    titAnnotazioni->setText(d.Annotazioni);
    const QImage logo = deposito->LeggiLogo();
    imgLogo->SetPicture(logo.isNull() ? imgBlank->Picture() : logo);
    m_datiLetti = d;
    m_logoLetto = imgLogo->Picture();
}

bool TfrmTessera::SalvaDatiEnte()
{
    const TDatiEnte nuovi{titAssociazione->text(), titSottotitolo01->text(),
                          titSottotitolo02->text(), titAnnotazioni->text()};
    std::unique_ptr<TDeposito> deposito;
    try {
        deposito = ApriDeposito(Piattaforma::CartellaProgramma());
        // Another desk may have changed a text this one changed too: the user chooses
        // whose stays, and is asked again when a third desk comes in between.
        TDatiEnte letti = m_datiLetti;
        TDatiEnte voluti = nuovi;
        while (!deposito->ScriviDatiEnteSeInvariati(letti, voluti)) {
            if (!Piattaforma::Domanda(kDomandaDatiEnte, this))
                break;
            letti = deposito->LeggiDatiEnte();
            voluti = letti;
            for (QString TDatiEnte::*testo : {&TDatiEnte::Denominazione, &TDatiEnte::Sottotitolo1,
                                              &TDatiEnte::Sottotitolo2, &TDatiEnte::Annotazioni})
                if (nuovi.*testo != m_datiLetti.*testo)
                    voluti.*testo = nuovi.*testo;
        }
    } catch (const ErroreFile &e) {
        // The screen stays open: closing would lose the texts typed.
        Piattaforma::ErroreGenerale(e.testo());
        return false;
    }
    m_datiLetti = nuovi;
    if (!deposito->SalvaLogoCambiato(m_logoLetto, imgLogo->Picture())) {
        imgLogo->SetPicture(imgBlank->Picture());
        Piattaforma::Avviso(ConsiglioArchivio::Adatta(kErroreLogo), this);
    }
    m_logoLetto = imgLogo->Picture();
    return true;
}

void TfrmTessera::closeEvent(QCloseEvent *e)
{
    e->ignore();
    if (!SalvaDatiEnte())
        return;
    Navigazione::TornaAllAvvio();
    e->accept();
}

void TfrmTessera::imgEsciClick()
{
    close();
}

void TfrmTessera::cmdNuovoClick()
{
    Reimposta();
}

void TfrmTessera::MostraScheda(TDeposito &deposito, int posizione)
{
    const TScheda s = deposito.LeggiScheda(posizione);
    deposito.ChiudiArchivio();
    RiceviScheda(s, posizione);
}

TRiceventeScheda *TfrmTessera::RiceventeScheda(const QString &modo)
{
    return modo == QLatin1String("tessera") ? this : nullptr;
}

void TfrmTessera::RiceviScheda(const TScheda &scheda, int posizione)
{
    TControlliCarta carta = Carta();
    carta.MostraCampi(scheda);
    lblPosizione->setText(QString::number(posizione));
    carta.MostraFoto(posizione, imgBianco->Picture());
    MostraCodiceQR();
}

void TfrmTessera::RiceviDatiEnte(const TDatiEnte &dati)
{
    titAssociazione->setText(dati.Denominazione);
    titSottotitolo01->setText(dati.Sottotitolo1);
    titSottotitolo02->setText(dati.Sottotitolo2);
    titAnnotazioni->setText(dati.Annotazioni);
}

void TfrmTessera::Scorri(Scorrimento::Freccia freccia)
{
    bool vuoto = false;
    try {
        const auto deposito = ApriDeposito(Piattaforma::CartellaProgramma());
        const auto d = Scorrimento::Decidi(deposito->NumeroSchede(), lblPosizione->text(), freccia);
        if (d.svuotaPosizione)
            lblPosizione->clear();
        if (d.destinazione > 0) {
            MostraScheda(*deposito, d.destinazione);
            return;
        }
        deposito->ChiudiArchivio();
        vuoto = d.archivioVuoto;
    } catch (const ErroreFile &) {
        Piattaforma::Errore(ConsiglioArchivio::Adatta(kErroreArchivio), this);
        return;
    }
    if (vuoto)
        Piattaforma::Informazione(Scorrimento::MessaggioVuoto(), this);
}

void TfrmTessera::cmdPrimoClick()
{
    Scorri(Scorrimento::Freccia::Primo);
}
void TfrmTessera::cmdIndietroClick()
{
    Scorri(Scorrimento::Freccia::Indietro);
}
void TfrmTessera::cmdAvantiClick()
{
    Scorri(Scorrimento::Freccia::Avanti);
}
void TfrmTessera::cmdUltimoClick()
{
    Scorri(Scorrimento::Freccia::Ultimo);
}

void TfrmTessera::cmdTrovaClick()
{
    ApriModale<TfrmTrovaAnagrafica>(
        this, [](TfrmTrovaAnagrafica &f) { f.ImpostaModo(QStringLiteral("tessera")); });
}

void TfrmTessera::titAssociazioneClick()
{
    const TDatiTessera carta = Dati();
    ApriModale<TfrmDatiEnte>(this, [&](TfrmDatiEnte &f) {
        f.Imposta(QStringLiteral("tessera"), {carta.Associazione, carta.Sottotitolo01,
                                              carta.Sottotitolo02, carta.Annotazioni});
    });
    MostraCodiceQR(); // its options may have changed
}

void TfrmTessera::imgLogoClick()
{
    const QString file = Piattaforma::ApriFile(
        this, QStringLiteral("Selezionare un file di immagine in formato Jpeg o Bitmap."),
        {QStringLiteral("Immagine JPEG (*.jpg *.jpeg)"), QStringLiteral("Immagine Bitmap (*.bmp)")},
        QStringLiteral("jpg"));
    if (file.isEmpty())
        return;
    QImage logo = LeggiImmagine(file);
    if (logo.isNull())
        logo = imgBlank->Picture();
    imgLogo->SetPicture(logo);
}

void TfrmTessera::btnCancFotoClick()
{
    imgFoto->SetPicture(imgPuntino->Picture());
}
void TfrmTessera::btnCancLogoClick()
{
    imgLogo->SetPicture(imgPuntino->Picture());
}

void TfrmTessera::cmdAnteprimaClick()
{
    const TDatiTessera carta = Dati();
    ApriModale<TfrmAnteprimaTessera>(this,
                                     [&](TfrmAnteprimaTessera &f) { f.ImpostaTessera(carta); });
}

void TfrmTessera::cmdStampaClick()
{
    const TDatiTessera carta = Dati();
    ApriModale<TfrmStampaTessera>(this, [&](TfrmStampaTessera &f) { f.ImpostaTessera(carta); });
}

QString TfrmTessera::TitoloGuida()
{
    return QStringLiteral("Stampa tessera singola.");
}

QString TfrmTessera::TestoGuida()
{
    const QStringList paragrafi = {
        QStringLiteral(
            "Questa schermata serve sia a stampare le tessere singole sia a inserire i dati e il "
            "logo dell'Ente o Associazione che compaiono su di esse. Per richiamare un Socio "
            "dall'archivio si usano le frecce di scorrimento delle schede oppure il pulsante "
            "Trova. Il logo e i dati dell'Ente si modificano facendo clic su di essi; entrambi "
            "sono salvati in automatico all'uscita da questa schermata."),
        QStringLiteral(
            "Ogni tessera riporta i dati e il logo dell'Ente o Associazione e, del Socio, il "
            "numero di tessera, il cognome e nome, la foto, la carica ricoperta, la data di "
            "rilascio e la data di scadenza. I dati dell'Ente non vanno digitati di nuovo per la "
            "tessera successiva."),
        QStringLiteral(
            "I margini di stampa superiore e sinistro si possono regolare per adattarsi a "
            "qualsiasi stampante: la tessera si pu\u00f2 cos\u00ec stampare su una tessera di "
            "plastica in formato carta di credito (con una stampante adatta), su un foglio A4 o "
            "su un cartoncino di piccolo formato. Prima di stampare si pu\u00f2 visualizzare "
            "l'anteprima della tessera."),
        QStringLiteral(
            "La foto \u00e8 quella salvata in formato Jpeg o Bitmap nella scheda del Socio; "
            "conviene che abbia le proporzioni della cornice della foto sullo schermo (verticale, "
            "non orizzontale). In stampa la foto viene adattata alla cornice."),
    };
    return paragrafi.join(QStringLiteral("\r\n\r\n"));
}

void TfrmTessera::imgGuidaClick()
{
    TfrmGuida::Apri(this, TitoloGuida(), TestoGuida());
}

TControlliCarta TfrmTessera::Carta() const
{
    return {titAssociazione, titSottotitolo01, titSottotitolo02, titAnnotazioni,
            imgLogo,         txtTesserato,     txtCarica,        txtNumTessera,
            txtDataRil,      txtDataScade,     imgFoto,          lblPosizione};
}

TDatiTessera TfrmTessera::Dati() const
{
    return Carta().Dati();
}
