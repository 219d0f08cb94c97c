#include "cards/Tessere.h"

#include "archive/Testo.h"
#include "cards/AnteprimaTessere.h"
#include "cards/ControlliCarta.h"
#include "cards/Segnaposto.h"
#include "cards/StampaTessere.h"
#include "cards/core/ModelloTesserini.h"
#include "lists/TrovaAnagrafica.h"
#include "platform/Finestra.h"
#include "platform/Piattaforma.h"
#include "shell/Guida.h"
#include "storage/DatiEnteFile.h"
#include "storage/Deposito.h"
#include "widgets/Controlli.h"
#include "widgets/Modale.h"
#include "widgets/Navigazione.h"
#include "widgets/Tavolozza.h"

#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QShowEvent>
#include <QToolButton>

#include <memory>

namespace {

const QString kSegnapostoTesserato = QStringLiteral("Cognome e nome Socio");
const QString kSegnapostoCarica = QStringLiteral("Carica ricoperta");
const QString kSegnapostoNumTessera = QStringLiteral("Tessera n.");
const QString kSegnapostoData = QStringLiteral("GG/MM/AAAA");
const QString kConfermaGomma =
    QStringLiteral("Si sta per cancellare i dati e le foto presenti nei nove tesserini.\r\n\r\n"
                   "Si conferma l'operazione?");

// Working area: the grid of small cards and the command panel on its right, no taller
// than a 1280 x 720 desktop leaves below the title bar and the panel.
constexpr int kColonne[3] = {36, 288, 540};
constexpr int kRighe[3] = {58, 250, 442};
constexpr int kLarghezzaCarta = 232;
constexpr int kAltezzaCarta = 146;
constexpr int kLarghezzaOmbra = 240;
constexpr int kAltezzaOmbra = 154;
constexpr int kPannelloX = 816;
constexpr int kPannelloLarghezza = 300;
constexpr QSize kArea(1140, 640);

using ControlliCarta::Etichetta;
using ControlliCarta::Riquadro;
using ControlliCarta::Verdana;

QString Nome(const char *base, int indice)
{
    return QString::fromLatin1(base) + SuffissoTessera(indice);
}

QString DueCifre(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

// The panel's picture buttons, all of one size.
QToolButton *PulsanteImmagine(QWidget *parent, const QString &nome, const QString &testo,
                              const QString &icona)
{
    QToolButton *b = ControlliCarta::PulsanteImmagine(parent, nome, testo, icona);
    b->setFixedSize(92, 70);
    return b;
}

} // namespace

TfrmTessere::TfrmTessere(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmTessere"));
    setWindowTitle(QStringLiteral(" Quorvel - Stampa pi\u00F9 tessere"));
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));

    // Hidden placeholders of the small cards.
    imgBianco = new TImmagine(this);
    imgBianco->setObjectName(QStringLiteral("imgBianco"));
    Segnaposto::MostraRitratto(imgBianco, Segnaposto::RitrattoPiccolo);
    imgBianco->hide();
    imgBlank = new TImmagine(this);
    imgBlank->setObjectName(QStringLiteral("imgBlank"));
    Segnaposto::MostraLogo(imgBlank, Segnaposto::LogoPiccolo);
    imgBlank->hide();
    lblPosizione = new QLabel(this);
    lblPosizione->setObjectName(QStringLiteral("lblPosizione"));
    lblPosizione->hide();

    m_area = new QWidget(this);
    m_area->setObjectName(QStringLiteral("panArea"));
    m_area->setFixedSize(kArea);

    lblInfo001 = new QLabel(
        QStringLiteral("Importare i dati delle tessere dall'archivio dei Soci, quindi premere il "
                       "pulsante per l'anteprima o per la stampa su fogli A4."),
        m_area);
    lblInfo001->setObjectName(QStringLiteral("lblInfo001"));
    lblInfo001->setGeometry(kColonne[0], 8, kColonne[2] + kLarghezzaOmbra - kColonne[0], 44);
    lblInfo001->setWordWrap(true);
    lblInfo001->setAlignment(Qt::AlignCenter);
    lblInfo001->setFont(Verdana(10));
    lblInfo001->setStyleSheet(Tavolozza::Stile(Tavolozza::Blu));

    for (int i = 0; i < 9; ++i)
        CostruisciSlot(i, m_area);
    CostruisciPannello(m_area);

    using Gestore = void (TfrmTessere::*)();
    static constexpr Gestore importa[9] = {
        &TfrmTessere::btnImporta01Click, &TfrmTessere::btnImporta02Click,
        &TfrmTessere::btnImporta03Click, &TfrmTessere::btnImporta04Click,
        &TfrmTessere::btnImporta05Click, &TfrmTessere::btnImporta06Click,
        &TfrmTessere::btnImporta07Click, &TfrmTessere::btnImporta08Click,
        &TfrmTessere::btnImporta09Click};
    static constexpr Gestore cancella[9] = {
        &TfrmTessere::cmdCancella01Click, &TfrmTessere::cmdCancella02Click,
        &TfrmTessere::cmdCancella03Click, &TfrmTessere::cmdCancella04Click,
        &TfrmTessere::cmdCancella05Click, &TfrmTessere::cmdCancella06Click,
        &TfrmTessere::cmdCancella07Click, &TfrmTessere::cmdCancella08Click,
        &TfrmTessere::cmdCancella09Click};
    for (size_t i = 0; i < m_slot.size(); ++i) {
        connect(m_slot[i].btnImporta, &QPushButton::clicked, this, importa[i]);
        connect(m_slot[i].cmdCancella, &QToolButton::clicked, this, cancella[i]);
    }
    connect(cmdNuovo, &QToolButton::clicked, this, &TfrmTessere::cmdNuovoClick);
    connect(cmdAnteprima, &QToolButton::clicked, this, &TfrmTessere::cmdAnteprimaClick);
    connect(cmdStampa, &QToolButton::clicked, this, &TfrmTessere::cmdStampaClick);
    connect(cmdRiempi, &QPushButton::clicked, this, &TfrmTessere::cmdRiempiClick);
    connect(icoGomma, &TImmagine::clicked, this, &TfrmTessere::icoGommaClick);
    connect(imgGuida, &QToolButton::clicked, this, &TfrmTessere::imgGuidaClick);
    connect(imgEsci, &QToolButton::clicked, this, &TfrmTessere::imgEsciClick);

    // Until it is shown: placeholder cards, no organization texts yet.
    Reimposta();
    for (Slot &s : m_slot)
        s.imgLogo->SetPicture(imgBlank->Picture());
    Finestra::Massimizzata(this);
}

void TfrmTessere::CostruisciSlot(int i, QWidget *area)
{
    const int x = kColonne[i % 3];
    const int y = kRighe[i / 3];
    Slot &s = m_slot[size_t(i)];
    s.schermata = this;

    auto *ombra = new QWidget(area);
    ombra->setObjectName(Nome("sfoTessera", i));
    ombra->setGeometry(x, y, kLarghezzaOmbra, kAltezzaOmbra);
    Riquadro(ombra, Nome("bkgOmbra", i),
             QRect(kLarghezzaOmbra - kLarghezzaCarta, kAltezzaOmbra - kAltezzaCarta,
                   kLarghezzaCarta, kAltezzaCarta),
             QStringLiteral("background: rgba(27, 47, 94, 100); border-radius: 8px;"));
    QFrame *carta =
        Riquadro(ombra, Nome("shpTessera", i), QRect(0, 0, kLarghezzaCarta, kAltezzaCarta),
                 Tavolozza::Colora(QStringLiteral("background: white; border: 1px solid @Blu; "
                                                  "border-radius: 8px;")));

    const QString bianco = QStringLiteral("white");
    const QString nero = QStringLiteral("black");
    const QString fascia =
        Tavolozza::Colora(QStringLiteral("background: @Blu; border-radius: 5px;"));
    Riquadro(carta, Nome("shpHeader", i), QRect(3, 3, 226, 45), fascia);
    Riquadro(carta, Nome("shpFooter", i), QRect(3, 127, 226, 16), fascia);
    s.titAssociazione =
        Etichetta(carta, Nome("titAssociazione", i), QRect(7, 4, 218, 15), Verdana(9), bianco);
    s.titSottotitolo01 =
        Etichetta(carta, Nome("titSottotitolo01", i), QRect(7, 18, 218, 15), Verdana(9), bianco);
    s.titSottotitolo02 =
        Etichetta(carta, Nome("titSottotitolo02", i), QRect(7, 32, 218, 15), Verdana(9), bianco);
    s.titAnnotazioni = Etichetta(carta, Nome("titAnnotazioni", i), QRect(5, 127, 222, 16),
                                 Verdana(8), bianco, Qt::AlignCenter);

    Riquadro(carta, Nome("bkgFoto", i), QRect(5, 55, 60, 66),
             Tavolozza::Colora(QStringLiteral("background: white; border: 1px solid @Blu;")));
    s.imgFoto = new TImmagine(carta);
    s.imgFoto->setObjectName(Nome("imgFoto", i));
    s.imgFoto->setGeometry(6, 56, 58, 64);

    s.txtTesserato =
        Etichetta(carta, Nome("txtTesserato", i), QRect(70, 51, 158, 15), Verdana(9), nero);
    s.txtCarica = Etichetta(carta, Nome("txtCarica", i), QRect(70, 65, 110, 15), Verdana(9), nero);
    s.txtNumTessera = Etichetta(carta, Nome("txtNumTessera", i), QRect(70, 79, 110, 16),
                                Verdana(10), Tavolozza::Colora(QStringLiteral("@Mattone")));

    const QFont didascalia = Verdana(7, false);
    Etichetta(carta, Nome("titDataRil", i), QRect(70, 96, 28, 14), didascalia, nero)
        ->setText(QStringLiteral("Ril."));
    Etichetta(carta, Nome("titDataScade", i), QRect(70, 111, 28, 14), didascalia, nero)
        ->setText(QStringLiteral("Scad."));
    const QString casella =
        Tavolozza::Colora(QStringLiteral("background: @Beige; border: 1px solid black;"));
    Riquadro(carta, Nome("shpDataRil", i), QRect(98, 96, 80, 14), casella);
    Riquadro(carta, Nome("shpDataScade", i), QRect(98, 111, 80, 14), casella);
    // A date fits its box whatever the width of the font that stands in for Verdana.
    QFont data = Verdana(8);
    data.setStretch(QFont::SemiCondensed);
    s.txtDataRil =
        Etichetta(carta, Nome("txtDataRil", i), QRect(99, 96, 78, 14), data, nero, Qt::AlignCenter);
    s.txtDataScade = Etichetta(carta, Nome("txtDataScade", i), QRect(99, 111, 78, 14), data, nero,
                               Qt::AlignCenter);
    s.lblPosizione = new QLabel(carta);
    s.lblPosizione->setObjectName(Nome("lblPosizione", i));
    s.lblPosizione->hide();

    Riquadro(carta, Nome("bkgLogo", i), QRect(181, 73, 47, 47),
             Tavolozza::Colora(QStringLiteral("background: white; border: 1px solid @Blu;")));
    s.imgLogo = new TImmagine(carta);
    s.imgLogo->setObjectName(Nome("imgLogo", i));
    s.imgLogo->setGeometry(182, 74, 45, 45);

    s.btnImporta = new QPushButton(QStringLiteral("Importa dati tesserino %1").arg(i + 1), area);
    s.btnImporta->setObjectName(QStringLiteral("btnImporta") + DueCifre(i + 1));
    s.btnImporta->setGeometry(x, y + kAltezzaOmbra + 2, kLarghezzaOmbra, 30);
    s.btnImporta->setCursor(Qt::PointingHandCursor);
    s.btnImporta->setAutoDefault(false);
    QFont fb = s.btnImporta->font();
    fb.setBold(true);
    s.btnImporta->setFont(fb);
}

void TfrmTessere::CostruisciPannello(QWidget *area)
{
    const int x = kPannelloX;
    const int w = kPannelloLarghezza;
    const int alto = kRighe[0];
    const int basso = kRighe[2] + kAltezzaOmbra + 32;
    auto *pannello = Riquadro(
        area, QStringLiteral("panComandi"), QRect(x, alto, w, basso - alto),
        Tavolozza::Colora(QStringLiteral("background: rgba(255, 255, 255, 170); "
                                         "border: 1px solid @Acciaio; border-radius: 10px;")));

    cmdNuovo = PulsanteImmagine(pannello, QStringLiteral("cmdNuovo"), QStringLiteral("Nuovo"),
                                QStringLiteral(":/cards/nuovo.svg"));
    cmdAnteprima =
        PulsanteImmagine(pannello, QStringLiteral("cmdAnteprima"), QStringLiteral("Anteprima"),
                         QStringLiteral(":/cards/anteprima.svg"));
    cmdStampa = PulsanteImmagine(pannello, QStringLiteral("cmdStampa"), QStringLiteral("Stampa"),
                                 QStringLiteral(":/cards/stampa.svg"));
    const int passo = (w - 3 * 92) / 4;
    cmdNuovo->move(passo, 14);
    cmdAnteprima->move(2 * passo + 92, 14);
    cmdStampa->move(3 * passo + 184, 14);

    auto *linea = Riquadro(pannello, QStringLiteral("bkgLinea01"), QRect(20, 98, w - 40, 1),
                           Tavolozza::Colora(QStringLiteral("background: @Acciaio;")));
    Q_UNUSED(linea);

    lblInfo003 = new QLabel(QStringLiteral("Cancella tessera n."), pannello);
    lblInfo003->setObjectName(QStringLiteral("lblInfo003"));
    lblInfo003->setGeometry(0, 110, w, 24);
    lblInfo003->setAlignment(Qt::AlignCenter);
    lblInfo003->setFont(Verdana(11));
    lblInfo003->setStyleSheet(
        Tavolozza::Colora(QStringLiteral("color: @Cuoio; background: transparent; border: 0;")));

    // The clear buttons: the digits 1 to 9 in the grid order of the cards.
    constexpr int lato = 44;
    constexpr int spazio = 14;
    const int x0 = (w - (3 * lato + 2 * spazio)) / 2;
    for (int i = 0; i < 9; ++i) {
        auto *b = new QToolButton(pannello);
        b->setObjectName(QStringLiteral("cmdCancella") + DueCifre(i + 1));
        b->setText(QString::number(i + 1));
        b->setGeometry(x0 + (i % 3) * (lato + spazio), 142 + (i / 3) * (lato + spazio), lato, lato);
        b->setCursor(Qt::PointingHandCursor);
        b->setFocusPolicy(Qt::NoFocus);
        b->setToolTip(QStringLiteral("Cancella la tessera n. %1").arg(i + 1));
        b->setStyleSheet(Tavolozza::Colora(QStringLiteral(
            "QToolButton { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 @Acciaio, "
            "stop:1 @Blu); color: @Oro; border: 2px solid @Blu; border-radius: 22px; "
            "font: bold 16pt 'Verdana'; }"
            "QToolButton:hover { background: @Acciaio; border-color: @Oro; }"
            "QToolButton:pressed { background: @Blu; }")));
        m_slot[size_t(i)].cmdCancella = b;
    }

    icoGomma = new TImmagine(pannello);
    icoGomma->setObjectName(QStringLiteral("icoGomma"));
    icoGomma->setGeometry((w - 64) / 2, 324, 64, 64);
    icoGomma->SetPicture(
        Segnaposto::DaSvg(QStringLiteral(":/cards/gomma.svg"), QSize(64, 64), Qt::transparent));
    icoGomma->setCursor(Qt::PointingHandCursor);
    icoGomma->setToolTip(QStringLiteral("Cancella tutte le tessere"));

    cmdRiempi = new QPushButton(QStringLiteral("Riempi dalla ricerca"), pannello);
    cmdRiempi->setObjectName(QStringLiteral("cmdRiempi"));
    cmdRiempi->setGeometry(20, 400, w - 40, 34);
    cmdRiempi->setCursor(Qt::PointingHandCursor);
    cmdRiempi->setAutoDefault(false);
    cmdRiempi->setFont(Verdana(10));
    cmdRiempi->setToolTip(
        QStringLiteral("Cerca in archivio e inserisce le schede scelte nelle tessere libere"));

    imgGuida = PulsanteImmagine(pannello, QStringLiteral("imgGuida"), QStringLiteral("Guida"),
                                QStringLiteral(":/cards/guida.svg"));
    imgEsci = PulsanteImmagine(pannello, QStringLiteral("imgEsci"), QStringLiteral("Esci"),
                               QStringLiteral(":/cards/esci.svg"));
    const int fondo = basso - alto - 70 - 14;
    imgGuida->move(passo, fondo);
    imgEsci->move(w - passo - 92, fondo);
    Riquadro(pannello, QStringLiteral("bkgLinea02"), QRect(20, fondo - 12, w - 40, 1),
             Tavolozza::Colora(QStringLiteral("background: @Acciaio;")));
}

void TfrmTessere::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    QLinearGradient g(0, 0, 0, height());
    g.setColorAt(0, QColor::fromRgb(Tavolozza::Acciaio));
    g.setColorAt(0.6, Qt::white);
    g.setColorAt(1, Qt::white);
    p.fillRect(rect(), g);
}

void TfrmTessere::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    // The working area stays whole and centred; on a small window it keeps to the top left.
    m_area->move(std::max(0, (width() - kArea.width()) / 2),
                 std::max(0, (height() - kArea.height()) / 2));
}

void TfrmTessere::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    if (!e->spontaneous())
        FormShow();
}

void TfrmTessere::Reimposta()
{
    for (Slot &s : m_slot) {
        s.txtTesserato->setText(kSegnapostoTesserato);
        s.txtCarica->setText(kSegnapostoCarica);
        s.txtNumTessera->setText(kSegnapostoNumTessera);
        s.txtDataRil->setText(kSegnapostoData);
        s.txtDataScade->setText(kSegnapostoData);
        s.imgFoto->SetPicture(imgBianco->Picture());
        s.lblPosizione->clear();
    }
    lblPosizione->clear();
}

void TfrmTessere::FormShow()
{
    Reimposta();
    const auto deposito = ApriDeposito(Piattaforma::CartellaProgramma());
    const TDatiEnte d = deposito->LeggiDatiEnte();
    // Each line whole, as on paper, in a smaller font when it is long.
    for (Slot &s : m_slot) {
        ControlliCarta::TestoIntero(s.titAssociazione, d.Denominazione, 9);
        ControlliCarta::TestoIntero(s.titSottotitolo01, d.Sottotitolo1, 9);
        ControlliCarta::TestoIntero(s.titSottotitolo02, d.Sottotitolo2, 9);
        ControlliCarta::TestoIntero(s.titAnnotazioni, d.Annotazioni, 8);
    }
    const QImage logo = deposito->LeggiLogo();
    for (Slot &s : m_slot)
        s.imgLogo->SetPicture(logo.isNull() ? imgBlank->Picture() : logo);
}

void TfrmTessere::Importa(int indice)
{
    ApriModale<TfrmTrovaAnagrafica>(this, [indice](TfrmTrovaAnagrafica &f) {
        f.ImpostaModo(QStringLiteral("tessere_") + DueCifre(indice + 1));
    });
}

void TfrmTessere::cmdRiempiClick()
{
    auto frm = std::make_unique<TfrmTrovaAnagrafica>(this);
    frm->ScegliPiu();
    if (Piattaforma::MostraModale(frm.get()) != QDialog::Accepted)
        return;
    const QList<int> scelte = frm->Scelte();
    frm.reset();
    const int escluse = RiempiVuote(scelte);
    if (escluse > 0)
        Piattaforma::Messaggio(
            QStringLiteral("Non c'è posto per tutte le schede scelte: %1 non sono state "
                           "inserite.")
                .arg(escluse),
            this);
}

int TfrmTessere::RiempiVuote(const QList<int> &posizioni)
{
    int k = 0;
    for (int i = 0; i < 9 && k < posizioni.size(); ++i) {
        const QString nome = Testo::Trim32(m_slot[size_t(i)].txtTesserato->text());
        if (!nome.isEmpty() && nome != kSegnapostoTesserato)
            continue;
        try {
            Consegna::ConsegnaScheda(this, QStringLiteral("tessere_") + DueCifre(i + 1),
                                     posizioni[k]);
        } catch (const std::exception &) {
            // A record that can no longer be read leaves its slot empty.
        }
        ++k;
    }
    return int(posizioni.size()) - k;
}

void TfrmTessere::btnImporta01Click()
{
    Importa(0);
}
void TfrmTessere::btnImporta02Click()
{
    Importa(1);
}
void TfrmTessere::btnImporta03Click()
{
    Importa(2);
}
void TfrmTessere::btnImporta04Click()
{
    Importa(3);
}
void TfrmTessere::btnImporta05Click()
{
    Importa(4);
}
void TfrmTessere::btnImporta06Click()
{
    Importa(5);
}
void TfrmTessere::btnImporta07Click()
{
    Importa(6);
}
void TfrmTessere::btnImporta08Click()
{
    Importa(7);
}
void TfrmTessere::btnImporta09Click()
{
    Importa(8);
}

void TfrmTessere::Cancella(int indice)
{
    Slot &s = m_slot[size_t(indice)];
    for (QLabel *l : {s.txtTesserato, s.txtCarica, s.txtNumTessera, s.txtDataRil, s.txtDataScade})
        l->clear();
    s.imgFoto->SetPicture(imgBianco->Picture());
    s.lblPosizione->clear();
    lblPosizione->clear();
}

void TfrmTessere::cmdCancella01Click()
{
    Cancella(0);
}
void TfrmTessere::cmdCancella02Click()
{
    Cancella(1);
}
void TfrmTessere::cmdCancella03Click()
{
    Cancella(2);
}
void TfrmTessere::cmdCancella04Click()
{
    Cancella(3);
}
void TfrmTessere::cmdCancella05Click()
{
    Cancella(4);
}
void TfrmTessere::cmdCancella06Click()
{
    Cancella(5);
}
void TfrmTessere::cmdCancella07Click()
{
    Cancella(6);
}
void TfrmTessere::cmdCancella08Click()
{
    Cancella(7);
}
void TfrmTessere::cmdCancella09Click()
{
    Cancella(8);
}

void TfrmTessere::CancellaTutte()
{
    for (int i = 0; i < 9; ++i)
        Cancella(i);
    lblPosizione->clear();
}

void TfrmTessere::cmdNuovoClick()
{
    CancellaTutte();
}

void TfrmTessere::icoGommaClick()
{
    if (Piattaforma::Domanda(kConfermaGomma, this))
        CancellaTutte();
}

void TfrmTessere::cmdAnteprimaClick()
{
    const auto tessere = Dati();
    ApriModale<TfrmAnteprimaTessere>(this,
                                     [&](TfrmAnteprimaTessere &f) { f.ImpostaTessere(tessere); });
}

void TfrmTessere::cmdStampaClick()
{
    const auto tessere = Dati();
    ApriModale<TfrmStampaTessere>(this, [&](TfrmStampaTessere &f) { f.ImpostaTessere(tessere); });
}

QString TfrmTessere::TitoloGuida()
{
    return QStringLiteral("Stampa pi\u00f9 tessere.");
}

QString TfrmTessere::TestoGuida()
{
    const QStringList paragrafi = {
        QStringLiteral(
            "Questa schermata serve a stampare fino a nove tessere diverse su un unico foglio "
            "A4. Mostra le nove tessere, ciascuna con un pulsante che importa i dati di un Socio "
            "dall'archivio: si scelgono cos\u00ec le tessere da stampare importandole una alla "
            "volta, oppure con Riempi dalla ricerca, che in una sola ricerca ne fa scegliere "
            "diversi (tenendo premuto Ctrl o Maiusc) e li mette in ordine nelle tessere libere. "
            "Prima della stampa si pu\u00f2 visualizzare l'anteprima dell'intera pagina A4."),
        QStringLiteral(
            "I dati di una tessera, foto compresa, si possono cancellare in qualsiasi momento con "
            "il suo pulsante numerato: la schermata resta pi\u00f9 ordinata e mostra quali "
            "tessere sono libere per l'importazione. Tutte le tessere si cancellano insieme con "
            "il pulsante Nuovo o facendo clic sulla gomma. La cancellazione non elimina le "
            "schede dall'archivio: serve soltanto a non stampare tessere compilate per errore."),
    };
    return paragrafi.join(QStringLiteral("\r\n\r\n"));
}

void TfrmTessere::imgGuidaClick()
{
    TfrmGuida::Apri(this, TitoloGuida(), TestoGuida());
}

void TfrmTessere::imgEsciClick()
{
    close();
}

void TfrmTessere::closeEvent(QCloseEvent *e)
{
    // Nothing is saved: the cards composed here are lost on purpose.
    Navigazione::TornaAllAvvio();
    e->accept();
}

std::array<TDatiTessera, 9> TfrmTessere::Dati() const
{
    std::array<TDatiTessera, 9> d;
    for (size_t i = 0; i < d.size(); ++i)
        d[i] = m_slot[i].Dati();
    return d;
}

TRiceventeScheda *TfrmTessere::RiceventeScheda(const QString &modo)
{
    const int i = Consegna::IndiceSlot(modo);
    return i < 0 ? nullptr : &m_slot[size_t(i)];
}

void TfrmTessere::Slot::RiceviScheda(const TScheda &scheda, int posizione)
{
    MostraCampi(scheda);
    // The sheet has one position label for all its slots, and one per slot.
    schermata->lblPosizione->setText(QString::number(posizione));
    lblPosizione->setText(QString::number(posizione));
    MostraFoto(posizione, schermata->imgBianco->Picture());
}
