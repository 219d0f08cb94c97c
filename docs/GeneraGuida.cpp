// Build-time tool: writes the user guide "Guida.pdf". Its chapters are the help topics
// of the screens, taken from the screens themselves (each help button is pressed and the
// help screen it opens is read), with pictures of the screens, each shown whole at the
// size it is designed for, and practical chapters of our own (docs/CapitoliGuida.cpp).
#include "cards/DatiEnte.h"
#include "cards/Tessera.h"
#include "cards/Tessere.h"
#include "docs/CapitoliGuida.h"
#include "import/Importa.h"
#include "lists/ExpAnagrafica.h"
#include "lists/Sospesi.h"
#include "mail/Posta.h"
#include "platform/Applicazione.h"
#include "platform/Simulazione.h"
#include "registry/Anagrafica.h"
#include "shell/Avvio.h"
#include "shell/Password.h"
#include "shell/Schermate.h"
#include "storage/DatiEnteFile.h"
#include "widgets/Controlli.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QBuffer>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPageLayout>
#include <QPdfWriter>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <stdexcept>

namespace {

struct Argomento {
    QString titolo;
    QString testo;
};

// Presses a screen's help control and reads the topic the help screen shows.
Argomento LeggiGuida(Simulazione &sim, QWidget *schermata, const char *gestore)
{
    Argomento a;
    sim.modale = [&a](QDialog *d) {
        if (auto *t = d->findChild<QLabel *>(QStringLiteral("lblTitolo")))
            a.titolo = t->text();
        if (auto *g = d->findChild<QPlainTextEdit *>(QStringLiteral("txtGuida")))
            a.testo = g->toPlainText();
    };
    QMetaObject::invokeMethod(schermata, gestore);
    sim.modale = nullptr;
    return a;
}

// The screen size the main screens are designed for; the guide shows them at that size.
constexpr QSize kSchermo(1280, 720);

// Buttons and clickable pictures of a shown screen that are cut by the window or by a
// parent, and buttons that overlap one another: a picture with any of them is not fit for the
// guide.
QStringList Difetti(QWidget *finestra)
{
    QList<QWidget *> controlli;
    for (QAbstractButton *b : finestra->findChildren<QAbstractButton *>())
        controlli << b;
    for (TImmagine *i : finestra->findChildren<TImmagine *>())
        controlli << i;
    QStringList difetti;
    QList<QPair<QWidget *, QRect>> visti;
    for (QWidget *w : controlli) {
        // A table's own corner button is part of the table, not a control of the screen.
        if (!w->isVisibleTo(finestra) || qobject_cast<QAbstractItemView *>(w->parentWidget()))
            continue;
        const QString nome = w->objectName().isEmpty()
                                 ? QString::fromLatin1(w->metaObject()->className())
                                 : w->objectName();
        QRect r(QPoint(0, 0), w->size());
        QWidget *figlio = w;
        for (QWidget *p = w->parentWidget(); p; figlio = p, p = p->parentWidget()) {
            r.translate(figlio->pos());
            if (!p->rect().contains(r)) {
                difetti << QStringLiteral("%1 tagliato da %2").arg(nome, p->objectName());
                break;
            }
            if (p == finestra)
                break;
        }
        // Pictures may carry a button drawn over them (the photo's eraser); buttons
        // never lie on one another.
        if (!qobject_cast<QAbstractButton *>(w))
            continue;
        const QRect suFinestra(w->mapTo(finestra, QPoint(0, 0)), w->size());
        for (const auto &[altro, rettangolo] : std::as_const(visti))
            if (!w->isAncestorOf(altro) && !altro->isAncestorOf(w) &&
                suFinestra.intersects(rettangolo))
                difetti << QStringLiteral("%1 sopra %2").arg(nome, altro->objectName());
        visti.append({w, suFinestra});
    }
    return difetti;
}

// The screen as it is designed to be seen: a main screen maximized on a 1280 x 720
// desktop, any other at its own fixed size. Returns its picture, or the defects that
// make it unfit.
QImage Fotografa(QWidget *w, QStringList &difetti)
{
    const bool principale = w->windowState() & Qt::WindowMaximized;
    const QSize attesa = principale ? w->screen()->availableSize() : QSize();
    if (principale)
        w->showMaximized();
    else
        w->show();
    QElapsedTimer t;
    t.start();
    do
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    while (principale && w->size() != attesa && t.elapsed() < 5000);
    const bool fissa = w->minimumSize() == w->maximumSize();
    const QSize progettata = principale ? attesa
                             : fissa    ? w->minimumSize()
                                        : w->sizeHint().expandedTo(w->minimumSize());
    if (w->size() != progettata)
        difetti << QStringLiteral("%1 mostrata a %2 x %3 invece di %4 x %5")
                       .arg(w->objectName())
                       .arg(w->width())
                       .arg(w->height())
                       .arg(progettata.width())
                       .arg(progettata.height());
    for (const QString &d : Difetti(w))
        difetti << w->objectName() + QStringLiteral(": ") + d;
    const QImage img = w->grab().toImage();
    w->hide();
    return img;
}

// A picture of the screen at its full size; the page scales it to fit the text.
QString Foto(QTextDocument &doc, QWidget *w, const QString &nome)
{
    QStringList difetti;
    const QImage img = Fotografa(w, difetti);
    if (!difetti.isEmpty())
        throw std::runtime_error(difetti.join(QLatin1Char('\n')).toStdString());
    const QUrl url(QStringLiteral("immagine://") + nome);
    doc.addResource(QTextDocument::ImageResource, url, img);
    // 500 points is the text's width on the page (A4 less the page's and the printed
    // document's margins); smaller screens are shown a little larger than to scale.
    const int larghezza = std::min(500, img.width() * 800 / kSchermo.width());
    return QStringLiteral("<p align=\"center\"><img src=\"%1\" width=\"%2\"></p>")
        .arg(url.toString())
        .arg(larghezza);
}

QString Paragrafi(const QString &testo)
{
    QString html;
    const QStringList parti = QString(testo)
                                  .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
                                  .split(QStringLiteral("\n\n"), Qt::SkipEmptyParts);
    for (const QString &p : parti)
        html += QStringLiteral("<p>") + p.toHtmlEscaped() + QStringLiteral("</p>");
    return html;
}

QString Capitolo(int n, const QString &titolo, const QString &corpo)
{
    return QStringLiteral("<h2>%1. %2</h2>").arg(n).arg(titolo.toHtmlEscaped()) + corpo;
}

} // namespace

static int ScriviGuida(const QString &uscita, const QString &dati);

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: quorvel_guida OUTPUT.pdf\n");
        return 2;
    }
    // One offscreen desktop of the size the main screens are designed for.
    QTemporaryDir cartella;
    const QString config = cartella.filePath(QStringLiteral("schermo.json"));
    {
        QFile f(config);
        if (!f.open(QIODevice::WriteOnly) ||
            f.write(QStringLiteral(R"({"synchronousWindowSystemEvents": false,
                "windowFrameMargins": false, "screens": [{"name": "guida", "x": 0, "y": 0,
                "width": %1, "height": %2, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})")
                        .arg(kSchermo.width())
                        .arg(kSchermo.height())
                        .toUtf8()) < 0)
            return 1;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(config));
    TApplicazione app(argc, argv);
    try {
        return ScriviGuida(QString::fromLocal8Bit(argv[1]),
                           cartella.filePath(QStringLiteral("dati")));
    } catch (const std::exception &e) {
        std::fprintf(stderr, "quorvel_guida: %s\n", e.what());
        Schermate::Distruggi();
        return 1;
    }
}

static int ScriviGuida(const QString &uscita, const QString &dati)
{
    QDir().mkpath(dati);
    Simulazione sim(dati);
    Schermate::Crea();

    QTextDocument doc;
    doc.setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 10));
    doc.setDefaultStyleSheet(QStringLiteral(
        "h1 { color: #1B2F5E; font-size: 26pt; } h2 { color: #1B2F5E; font-size: 16pt; }"
        "p { margin-bottom: 6px; } .nota { color: #4682B4; }"));

    QString html = QStringLiteral(
        "<h1>Quorvel</h1><p class=\"nota\"><b>Guida all'utilizzo del programma</b></p>"
        "<p>Quorvel tiene l'archivio dei tesserati di un'associazione, di un circolo, di una "
        "scuola o di un'azienda e stampa le loro tessere di riconoscimento nel formato delle "
        "carte di credito (86 x 54 mm). Questa guida raccoglie, capitolo per capitolo, gli "
        "aiuti che il programma mostra nelle sue finestre, con le immagini delle finestre "
        "principali e alcuni consigli pratici.</p>");
    int n = 0;
    const auto proprio = [&](const CapitoloGuida &c, const QString &foto = QString()) {
        html += Capitolo(++n, c.titolo, foto + Paragrafi(c.testo));
    };
    const auto dallaSchermata = [&](QWidget *w, const char *gestore, const QString &foto) {
        const Argomento a = LeggiGuida(sim, w, gestore);
        html += Capitolo(++n, a.titolo,
                         (foto.isEmpty() ? QString() : Foto(doc, w, foto)) + Paragrafi(a.testo));
    };

    {
        const CapitoloGuida c = CapitoliGuida::PrimoAccesso();
        html += Capitolo(++n, c.titolo,
                         Paragrafi(c.testo) +
                             Foto(doc, Schermate::Password(), QStringLiteral("accesso")));
    }
    dallaSchermata(Schermate::Avvio(), "imgGuidaClick", QStringLiteral("avvio"));
    dallaSchermata(Schermate::Anagrafica(), "cmdGuidaClick", QStringLiteral("archivio"));
    {
        TfrmImporta importa(Schermate::Anagrafica());
        // A small list of members, chosen and tried: the picture shows the columns
        // matched and an outcome.
        QDir(dati).mkpath(QStringLiteral("esempio"));
        const QString soci = QDir(dati).filePath(QStringLiteral("esempio/Soci.csv"));
        QFile f(soci);
        if (!f.open(QIODevice::WriteOnly) ||
            f.write("Cognome;Nome;Carica;Tessera n.;Data di rilascio;Data di scadenza;E-mail\n"
                    "Rossi;Mario;Presidente;101;01/01/2025;31/12/2025;mario.rossi@esempio.it\n"
                    "Bianchi;Anna;Socia;102;;;anna.bianchi@esempio.it\n"
                    "Verdi;Luca;Socio;103;15/02/2025;14/02/2025;\n") < 0)
            throw std::runtime_error("cannot write the sample list");
        f.close();
        sim.fileDaAprire.enqueue(soci);
        importa.cmdScegliClick();
        importa.cmdProvaClick();
        proprio(CapitoliGuida::Importazione(), Foto(doc, &importa, QStringLiteral("importa")));
    }
    dallaSchermata(Schermate::Tessera(), "imgGuidaClick", QStringLiteral("tessera"));
    proprio(CapitoliGuida::Margini());
    proprio(CapitoliGuida::FoglioDiProva());
    {
        // An organization with the QR code and the back turned on, as the chapters describe.
        DatiEnteFile::ScriviOpzioni(
            dati, {true, TestoQRPredefinito, true,
                   QStringLiteral("Tessera personale, non cedibile.\nIn caso di smarrimento "
                                  "restituire a:\nCircolo Culturale Esempio\nVia Roma 1, "
                                  "Roma - tel. 06 000000")});
        TfrmDatiEnte ente(Schermate::Tessera());
        ente.Imposta(QStringLiteral("tessera"),
                     {QStringLiteral("Circolo Culturale Esempio"),
                      QStringLiteral("Associazione di promozione sociale"),
                      QStringLiteral("Via Roma 1 - Roma"), QStringLiteral("Anno sociale 2025")});
        proprio(CapitoliGuida::CodiceQR(), Foto(doc, &ente, QStringLiteral("ente")));
    }
    proprio(CapitoliGuida::Retro());
    dallaSchermata(Schermate::Tessere(), "imgGuidaClick", QStringLiteral("tessere"));
    proprio(CapitoliGuida::TessereInSerie());
    {
        // The mail screen as the list of members past due opens it.
        TfrmSospesi sospesi;
        TfrmPosta posta(&sospesi);
        proprio(CapitoliGuida::Avvisi(), Foto(doc, &posta, QStringLiteral("posta")));
    }
    {
        TfrmExpAnagrafica esporta(Schermate::Anagrafica());
        dallaSchermata(&esporta, "cmdGuidaClick", QString());
    }
    proprio(CapitoliGuida::CopiaDiSicurezza());

    doc.setHtml(html);
    QPdfWriter pdf(uscita);
    pdf.setTitle(QStringLiteral("Guida all'utilizzo di Quorvel"));
    pdf.setCreator(QStringLiteral("Quorvel"));
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageMargins(QMarginsF(18, 18, 18, 18), QPageLayout::Millimeter);
    pdf.setResolution(300);
    doc.print(&pdf);
    Schermate::Distruggi();
    return 0;
}
