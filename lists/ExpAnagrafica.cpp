#include "lists/ExpAnagrafica.h"

#include "lists/core/Esportazione.h"
#include "platform/Finestra.h"
#include "platform/Piattaforma.h"
#include "shell/Guida.h"
#include "widgets/Controlli.h"
#include "widgets/OpenURL.h"
#include "widgets/Tavolozza.h"

#include <QDir>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QShowEvent>
#include <QSvgRenderer>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString TestoInizio = QStringLiteral("Esportazione archivio in Microsoft Excel.");
const QString SuggerimentoEsporta =
    QStringLiteral("Esporta l'archivio in formato Microsoft Excel.");
const QString SuggerimentoGuida =
    QStringLiteral("Visualizza la pagina della guida sensibile al contesto.");
const QString SuggerimentoEsci = QStringLiteral("Esci da questo ambiente di lavoro.");

const QString DomandaEsporta = QStringLiteral(
    "L'esportazione dei dati in Excel può richiedere diversi minuti a seconda del numero di "
    "schede presenti in archivio.\r\n\r\nSi vuole esportare i dati adesso?");
const QString DomandaApri = QStringLiteral(
    "Le schede in archivio sono state esportate con successo.\r\n\r\nSi vuole aprire il file "
    "di Excel?");
const QString ErroreEsporta = QStringLiteral(
    "Attenzione: il sistema non permette di esportare i dati.\n\r\n\rAccertarsi che il file di "
    "Excel non sia già aperto.");

QImage Disegno(const QString &risorsa, QSize dimensione)
{
    return DisegnaSvg(risorsa, dimensione * 2);
}

QToolButton *Pulsante(QWidget *parent, const char *nome, const QString &testo,
                      const QString &risorsa)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(nome));
    b->setText(testo);
    b->setIcon(QIcon(QPixmap::fromImage(Disegno(risorsa, {64, 64}))));
    b->setIconSize({48, 48});
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setAutoRaise(true);
    b->setCursor(Qt::PointingHandCursor);
    b->setFixedSize(96, 80);
    b->setMouseTracking(true);
    return b;
}

} // namespace

TfrmExpAnagrafica::TfrmExpAnagrafica(QWidget *parent) : QDialog(parent, Finestra::FlagsFissa)
{
    setObjectName(QStringLiteral("frmExpAnagrafica"));
    setWindowTitle(QStringLiteral(" Esporta archivio anagrafico dei tesserati in Microsoft Excel"));
    setMouseTracking(true);
    setStyleSheet(Tavolozza::Colora(QStringLiteral(
        "TfrmExpAnagrafica { background: @Bianco; }"
        "QFrame#shpSfondo { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, "
        "stop:0 @Acciaio, stop:1 @Bianco); border: 1px solid @Blu; border-radius: 4px; }"
        "QFrame#shpInfo { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, "
        "stop:0 @Bianco, stop:1 @Nebbia); border: 1px solid @Acciaio; border-radius: 4px; }"
        "QLabel#lblEsporta { color: @Cremisi; font: bold 13pt 'Arial'; }"
        "QLabel#lblDescrizione { color: @Blu; font: 10pt 'Arial'; }"
        "QLabel#panInfo { background: @Blu; color: @Bianco; font: 12pt 'Tahoma'; "
        "padding-left: 10px; }"
        "QToolButton { color: @Blu; font: bold 9pt 'Arial'; }"
        "QTableView#grdRecords { background: @Bianco; alternate-background-color: @Perla; "
        "gridline-color: @Fiordaliso; selection-background-color: @Acciaio; }"
        "QHeaderView::section { background: @Blu; color: @Bianco; font: bold 9pt 'Arial'; "
        "padding: 3px; border: none; border-right: 1px solid @Acciaio; }")));

    auto *colonna = new QVBoxLayout(this);
    colonna->setContentsMargins(0, 0, 0, 0);
    colonna->setSpacing(0);

    imgBanner = new TImmagine(this);
    imgBanner->setObjectName(QStringLiteral("imgBanner"));
    imgBanner->setAdatta(TImmagine::Adatta::Stira);
    imgBanner->SetPicture(Disegno(QStringLiteral(":/lists/banner_esporta.svg"), {1100, 80}));
    imgBanner->setFixedSize(1100, 80);
    colonna->addWidget(imgBanner);

    panContainer = new QWidget(this);
    panContainer->setObjectName(QStringLiteral("panContainer"));
    panContainer->setMouseTracking(true);
    colonna->addWidget(panContainer);
    auto *contenuto = new QVBoxLayout(panContainer);
    contenuto->setContentsMargins(16, 14, 16, 14);
    contenuto->setSpacing(12);

    shpSfondo = new QFrame(panContainer);
    shpSfondo->setObjectName(QStringLiteral("shpSfondo"));
    shpSfondo->setMouseTracking(true);
    contenuto->addWidget(shpSfondo);
    auto *sfondo = new QVBoxLayout(shpSfondo);
    sfondo->setContentsMargins(8, 8, 8, 8);

    m_modello = new TModelloRecords(this);
    grdRecords = new QTableView(shpSfondo);
    grdRecords->setObjectName(QStringLiteral("grdRecords"));
    grdRecords->setModel(m_modello);
    grdRecords->setAlternatingRowColors(true);
    grdRecords->setSelectionMode(QAbstractItemView::SingleSelection);
    grdRecords->setSelectionBehavior(QAbstractItemView::SelectItems);
    grdRecords->setEditTriggers(QAbstractItemView::DoubleClicked |
                                QAbstractItemView::EditKeyPressed |
                                QAbstractItemView::AnyKeyPressed);
    grdRecords->setWordWrap(false);
    grdRecords->setFixedSize(1050, 430);
    grdRecords->verticalHeader()->hide();
    // Fixed row height keeps 100,000 rows cheap to lay out.
    grdRecords->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grdRecords->verticalHeader()->setDefaultSectionSize(21);
    grdRecords->horizontalHeader()->setHighlightSections(false);
    grdRecords->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    for (int c = 0; c < ColonneGriglia; ++c)
        grdRecords->setColumnWidth(c, Griglia[c].larghezza);
    grdRecords->viewport()->setMouseTracking(true);
    sfondo->addWidget(grdRecords);

    shpInfo = new QFrame(panContainer);
    shpInfo->setObjectName(QStringLiteral("shpInfo"));
    shpInfo->setMouseTracking(true);
    contenuto->addWidget(shpInfo);
    auto *riga = new QHBoxLayout(shpInfo);
    riga->setContentsMargins(14, 6, 14, 6);
    riga->setSpacing(12);

    auto *testi = new QVBoxLayout;
    testi->setSpacing(4);
    auto *lblEsporta = new QLabel(QStringLiteral("Esporta in Excel"), shpInfo);
    lblEsporta->setObjectName(QStringLiteral("lblEsporta"));
    auto *lblDescrizione = new QLabel(
        QStringLiteral("Fare clic sull'icona per creare il file \"Tesserati.xls\" con tutte le "
                       "schede mostrate nella griglia."),
        shpInfo);
    lblDescrizione->setObjectName(QStringLiteral("lblDescrizione"));
    testi->addStretch();
    testi->addWidget(lblEsporta);
    testi->addWidget(lblDescrizione);
    testi->addStretch();
    for (QLabel *l : {lblEsporta, lblDescrizione})
        l->setAttribute(Qt::WA_TransparentForMouseEvents);
    riga->addLayout(testi);
    riga->addStretch();

    icoHand = new TImmagine(shpInfo);
    icoHand->setObjectName(QStringLiteral("icoHand"));
    icoHand->SetPicture(Disegno(QStringLiteral(":/lists/mano.svg"), {64, 48}));
    icoHand->setFixedSize(56, 42);
    icoHand->setAttribute(Qt::WA_TransparentForMouseEvents);
    riga->addWidget(icoHand);

    cmdEsporta = Pulsante(shpInfo, "cmdEsporta", QStringLiteral("Esporta"),
                          QStringLiteral(":/lists/foglio.svg"));
    riga->addWidget(cmdEsporta);
    riga->addSpacing(24);
    cmdGuida =
        Pulsante(shpInfo, "cmdGuida", QStringLiteral("Guida"), QStringLiteral(":/lists/guida.svg"));
    riga->addWidget(cmdGuida);
    cmdEsci =
        Pulsante(shpInfo, "cmdEsci", QStringLiteral("Esci"), QStringLiteral(":/lists/esci.svg"));
    riga->addWidget(cmdEsci);

    panInfo = new QLabel(TestoInizio, this);
    panInfo->setObjectName(QStringLiteral("panInfo"));
    panInfo->setFixedHeight(30);
    colonna->addWidget(panInfo);

    connect(cmdEsporta, &QToolButton::clicked, this, &TfrmExpAnagrafica::cmdEsportaClick);
    connect(cmdGuida, &QToolButton::clicked, this, &TfrmExpAnagrafica::cmdGuidaClick);
    connect(cmdEsci, &QToolButton::clicked, this, &TfrmExpAnagrafica::cmdEsciClick);
    for (QObject *o :
         std::initializer_list<QObject *>{this, panContainer, grdRecords->viewport(), shpInfo,
                                          shpSfondo, cmdEsporta, cmdGuida, cmdEsci})
        o->installEventFilter(this);

    Finestra::Fissa(this, Finestra::Centro::Schermo);
}

QString TfrmExpAnagrafica::TitoloGuida()
{
    return QStringLiteral("Esportazione archivio anagrafico dei tesserati in Microsoft Excel.");
}

QString TfrmExpAnagrafica::TestoGuida()
{
    return QStringLiteral(
               "Il pulsante di esportazione consente di trasferire le schede dei tesserati in "
               "un foglio di lavoro di Microsoft Excel, che potrà essere aperto con qualsiasi "
               "programma in grado di gestire i file in formato XLS.") +
           QStringLiteral("\r\n\r\n") +
           QStringLiteral(
               "Dopo aver aperto la finestra con la griglia dei dati è sufficiente fare clic "
               "sull'icona di Excel: il programma crea immediatamente un file XLS con le schede "
               "presenti in archivio, che può essere aperto subito rispondendo sì alla domanda "
               "che segue.") +
           QStringLiteral("\r\n\r\n") +
           QStringLiteral("A questo punto non resta che salvare il file sul disco con il nome "
                          "che si preferisce.");
}

void TfrmExpAnagrafica::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    if (!e->spontaneous())
        FormShow();
    Finestra::Centra(this, Finestra::Centro::Schermo);
}

void TfrmExpAnagrafica::FormShow()
{
    m_modello->Riempi(Piattaforma::CartellaProgramma());
    for (int c = 0; c < ColonneGriglia; ++c)
        grdRecords->setColumnWidth(c, Griglia[c].larghezza);
    panInfo->setText(TestoInizio);
}

void TfrmExpAnagrafica::ConfermaModifica()
{
    // A cell still being typed into counts as the grid's text.
    if (QWidget *editor = grdRecords->indexWidget(grdRecords->currentIndex())) {
        QMetaObject::invokeMethod(grdRecords, "commitData", Q_ARG(QWidget *, editor));
        QMetaObject::invokeMethod(
            grdRecords, "closeEditor", Q_ARG(QWidget *, editor),
            Q_ARG(QAbstractItemDelegate::EndEditHint, QAbstractItemDelegate::NoHint));
    }
}

void TfrmExpAnagrafica::cmdEsportaClick()
{
    ConfermaModifica();
    if (!Piattaforma::Domanda(DomandaEsporta, this))
        return;
    const QString percorso =
        QDir::toNativeSeparators(QDir(Piattaforma::CartellaProgramma()).filePath(NomeEsportazione));
    try {
        ScriviEsportazione(percorso, *m_modello);
        if (Piattaforma::Domanda(DomandaApri, this))
            TMisc::Open(u'"' + percorso + u'"');
    } catch (...) {
        Piattaforma::Messaggio(ErroreEsporta, this);
    }
}

void TfrmExpAnagrafica::cmdGuidaClick()
{
    TfrmGuida::Apri(this, TitoloGuida(), TestoGuida());
}

void TfrmExpAnagrafica::cmdEsciClick()
{
    close();
}

void TfrmExpAnagrafica::cmdEsportaMouseMove()
{
    panInfo->setText(SuggerimentoEsporta);
}

void TfrmExpAnagrafica::cmdGuidaMouseMove()
{
    panInfo->setText(SuggerimentoGuida);
}

void TfrmExpAnagrafica::cmdEsciMouseMove()
{
    panInfo->setText(SuggerimentoEsci);
}

void TfrmExpAnagrafica::FormMouseMove()
{
    panInfo->clear();
}

bool TfrmExpAnagrafica::eventFilter(QObject *o, QEvent *e)
{
    if (e->type() != QEvent::MouseMove && e->type() != QEvent::Enter)
        return QDialog::eventFilter(o, e);
    if (o == cmdEsporta)
        cmdEsportaMouseMove();
    else if (o == cmdGuida)
        cmdGuidaMouseMove();
    else if (o == cmdEsci)
        cmdEsciMouseMove();
    else if (e->type() == QEvent::MouseMove) {
        // The background reacts to moves only, so the opening text stays until then; a
        // move over a child control is that control's business.
        auto *area = qobject_cast<QWidget *>(o);
        if (o == grdRecords->viewport() ||
            (area && !area->childAt(static_cast<QMouseEvent *>(e)->position().toPoint())))
            FormMouseMove();
    }
    return QDialog::eventFilter(o, e);
}
