#include "lists/PannelloElenco.h"

#include "archive/Testo.h"
#include "platform/Piattaforma.h"
#include "widgets/Controlli.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSvgRenderer>
#include <QVBoxLayout>

#include <algorithm>

namespace {
const QString TestoVuota =
    QStringLiteral("Ricerca non applicabile: la lista non contiene nessuna voce.");

QLabel *Didascalia(const QString &testo, QWidget *parent, bool rosso = false)
{
    auto *l = new QLabel(testo, parent);
    l->setWordWrap(true);
    if (rosso)
        l->setStyleSheet(QStringLiteral("color: crimson; font-weight: bold;"));
    return l;
}

// "Courier New" where installed, otherwise the system's fixed-pitch font.
QFont FontElenco()
{
    QFont f(QStringLiteral("Courier New"), 12);
    f.setStyleHint(QFont::TypeWriter);
    if (!QFontInfo(f).fixedPitch()) {
        f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        f.setPointSize(12);
    }
    return f;
}
} // namespace

TBanner::TBanner(const QString &titolo, QWidget *parent) : QWidget(parent), m_titolo(titolo)
{
    setFixedHeight(64);
}

void TBanner::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    static QSvgRenderer fondo(QStringLiteral(":/lists_elenchi/banner.svg"));
    fondo.render(&p, rect());
    QFont f = font();
    f.setPointSize(16);
    f.setBold(true);
    f.setLetterSpacing(QFont::AbsoluteSpacing, 2);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(rect().adjusted(96, 0, 0, -6), Qt::AlignLeft | Qt::AlignVCenter, m_titolo);
}

TPannelloElenco::TPannelloElenco(const QString &nome, const QString &titolo, bool conConteggio,
                                 QWidget *parent)
    : QWidget(parent)
{
    setObjectName(nome);
    auto *v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(8);

    auto *banner = new TBanner(titolo, this);
    banner->setObjectName(QStringLiteral("imgBanner"));
    v->addWidget(banner);

    auto *corpo = new QVBoxLayout;
    corpo->setContentsMargins(16, 4, 16, 12);
    corpo->setSpacing(6);
    v->addLayout(corpo, 1);
    corpo->addWidget(
        Didascalia(QStringLiteral("Immettere una o più parole consecutive presenti nella "
                                  "scheda in elenco da cercare e premere il pulsante "
                                  "Trova."),
                   this));
    corpo->addWidget(
        Didascalia(QStringLiteral("Per spostarsi sulla voce successiva contenente la "
                                  "stessa chiave di ricerca, fare di nuovo clic su Trova."),
                   this));

    auto *riga = new QHBoxLayout;
    txtTrova = new QLineEdit(this);
    txtTrova->setObjectName(QStringLiteral("txtTrova"));
    btnTrova = new QPushButton(QStringLiteral("Trova"), this);
    btnTrova->setObjectName(QStringLiteral("btnTrova"));
    btnTrova->setMinimumWidth(110);
    riga->addWidget(txtTrova, 1);
    riga->addWidget(btnTrova);
    corpo->addLayout(riga);
    // Enter in the find box moves to the button, so a second Enter presses it.
    Comportamenti::Invio(txtTrova, btnTrova);
    btnTrova->setAutoDefault(true);

    corpo->addWidget(
        Didascalia(QStringLiteral("Per richiamare i dati di una scheda, selezionarla con "
                                  "un doppio clic."),
                   this, true));

    modello = new TModelloElenco(this);
    lstRecords = new QListView(this);
    lstRecords->setObjectName(QStringLiteral("lstRecords"));
    lstRecords->setModel(modello);
    lstRecords->setUniformItemSizes(true);
    // Several lines with Ctrl and Shift, all with Ctrl+A: for printing their cards.
    lstRecords->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstRecords->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstRecords->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    lstRecords->setFont(FontElenco());
    lstRecords->setStyleSheet(QStringLiteral("QListView { color: black; background: white; }"));
    corpo->addWidget(lstRecords, 1);

    auto *fondo = new QHBoxLayout;
    if (conConteggio) {
        lblTrovate = new QLabel(this);
        lblTrovate->setObjectName(QStringLiteral("lblTrovate"));
        QFont f = lblTrovate->font();
        f.setBold(true);
        lblTrovate->setFont(f);
        fondo->addWidget(lblTrovate, 1);
    } else {
        fondo->addStretch(1);
    }
    btnChiudi = new QPushButton(QStringLiteral("Chiudi"), this);
    btnChiudi->setObjectName(QStringLiteral("btnChiudi"));
    btnStampa = new QPushButton(QStringLiteral("Stampa"), this);
    btnStampa->setObjectName(QStringLiteral("btnStampa"));
    cmdTessere = new QPushButton(QStringLiteral("Stampa tessere"), this);
    cmdTessere->setObjectName(QStringLiteral("cmdTessere"));
    cmdRinnova = new QPushButton(QStringLiteral("Rinnova"), this);
    cmdRinnova->setObjectName(QStringLiteral("cmdRinnova"));
    for (QPushButton *b : {btnChiudi, cmdRinnova, cmdTessere, btnStampa}) {
        b->setMinimumWidth(110);
        b->setAutoDefault(false);
        fondo->addWidget(b);
    }
    corpo->addLayout(fondo);
}

void TPannelloElenco::Riempi(Elenco elenco)
{
    modello->Imposta(std::move(elenco));
    // At least 1600 pixels wide, wider when a long note needs it.
    const QFontMetrics fm(lstRecords->font());
    const int larghezza =
        std::max(1600, fm.horizontalAdvance(QLatin1Char('M')) * modello->LunghezzaMassima() + 8);
    modello->setDimensioneRiga(QSize(larghezza, fm.height() + 2));
    lstRecords->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    lstRecords->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

void TPannelloElenco::Svuota()
{
    modello->Svuota();
}

int TPannelloElenco::Selezionata() const
{
    const QModelIndex i = lstRecords->currentIndex();
    return (i.isValid() && lstRecords->selectionModel()->isSelected(i)) ? i.row() : -1;
}

void TPannelloElenco::Seleziona(int riga)
{
    if (riga < 0 || riga >= modello->rowCount())
        return;
    const QModelIndex i = modello->index(riga);
    lstRecords->setCurrentIndex(i);
    lstRecords->scrollTo(i);
}

int TPannelloElenco::PosizioneSelezionata() const
{
    const int r = Selezionata();
    return r < 0 ? 0 : modello->Voci().Posizione(static_cast<size_t>(r));
}

QStringList TPannelloElenco::Righe() const
{
    QStringList r;
    r.reserve(modello->rowCount());
    const Elenco &voci = modello->Voci();
    for (size_t i = 0; i < voci.size(); ++i)
        r.append(voci.Riga(i));
    return r;
}

bool TPannelloElenco::NessunaScelta() const
{
    return lstRecords->selectionModel()->selectedIndexes().isEmpty();
}

QList<int> TPannelloElenco::PosizioniScelte() const
{
    QList<int> righe;
    for (const QModelIndex &i : lstRecords->selectionModel()->selectedIndexes())
        righe.append(i.row());
    std::sort(righe.begin(), righe.end());
    QList<int> posizioni;
    const Elenco &voci = modello->Voci();
    if (righe.isEmpty()) {
        for (size_t i = 0; i < voci.size(); ++i)
            posizioni.append(voci.Posizione(i));
        return posizioni;
    }
    for (int r : righe)
        if (r >= 0 && r < int(voci.size()))
            posizioni.append(voci.Posizione(size_t(r)));
    return posizioni;
}

void TPannelloElenco::Trova(QString &ultimaChiave)
{
    if (modello->rowCount() == 0) {
        Piattaforma::Messaggio(TestoVuota, window());
        return;
    }
    if (Selezionata() < 0)
        Seleziona(0);
    const QString chiave = Testo::MinuscoleAZ(txtTrova->text());
    const int trovata = Elenchi::Trova(modello->Voci(), Selezionata(), chiave, ultimaChiave);
    if (trovata >= 0)
        Seleziona(trovata);
    ultimaChiave = chiave;
}
