// Build-time tool: writes the user guide "Guida.pdf". Its chapters are the help topics
// of the screens, taken from the screens themselves (each help button is pressed and the
// help screen it opens is read), with pictures of the main screens and a few practical
// chapters of our own.
#include "cards/Tessera.h"
#include "cards/Tessere.h"
#include "lists/ExpAnagrafica.h"
#include "platform/Applicazione.h"
#include "platform/Simulazione.h"
#include "registry/Anagrafica.h"
#include "shell/Avvio.h"
#include "shell/Password.h"
#include "shell/Schermate.h"

#include <QBuffer>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QPageLayout>
#include <QPdfWriter>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QWidget>

#include <cstdio>

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

QString Foto(QTextDocument &doc, QWidget *w, const QString &nome)
{
    w->resize(1366, 768);
    w->show();
    QCoreApplication::processEvents();
    const QImage img = w->grab().toImage().scaledToWidth(900, Qt::SmoothTransformation);
    w->hide();
    const QUrl url(QStringLiteral("immagine://") + nome);
    doc.addResource(QTextDocument::ImageResource, url, img);
    return QStringLiteral("<p align=\"center\"><img src=\"%1\" width=\"600\"></p>")
        .arg(url.toString());
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

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: quorvel_guida OUTPUT.pdf\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplicazione app(argc, argv);
    QTemporaryDir cartella;
    Simulazione sim(cartella.path());
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

    html += Capitolo(
        ++n, QStringLiteral("Il primo accesso"),
        Paragrafi(QStringLiteral(
            "All'avvio Quorvel chiede la password di accesso. Al primo accesso, e al primo "
            "accesso dopo ogni installazione, la password è \"girasolidiluna\": si può scrivere "
            "in lettere minuscole o maiuscole, è lo stesso.\n\n"
            "Per cambiarla, nella finestra di accesso si preme \"Cambia password\", si scrive "
            "la password attuale, poi due volte la nuova, e si preme OK. Conviene scegliere una "
            "password di almeno otto caratteri e annotarla in un luogo sicuro: senza la "
            "password il programma non si apre.")) +
            Foto(doc, Schermate::frmPassword, QStringLiteral("accesso")));

    const Argomento avvio = LeggiGuida(sim, Schermate::frmAvvio, "imgGuidaClick");
    html +=
        Capitolo(++n, avvio.titolo,
                 Foto(doc, Schermate::frmAvvio, QStringLiteral("avvio")) + Paragrafi(avvio.testo));

    const Argomento archivio = LeggiGuida(sim, Schermate::frmAnagrafica, "cmdGuidaClick");
    html += Capitolo(++n, archivio.titolo,
                     Foto(doc, Schermate::frmAnagrafica, QStringLiteral("archivio")) +
                         Paragrafi(archivio.testo));

    const Argomento tessera = LeggiGuida(sim, Schermate::frmTessera, "imgGuidaClick");
    html += Capitolo(++n, tessera.titolo,
                     Foto(doc, Schermate::frmTessera, QStringLiteral("tessera")) +
                         Paragrafi(tessera.testo));

    html += Capitolo(
        ++n, QStringLiteral("Come tarare i margini per il proprio cartoncino"),
        Paragrafi(QStringLiteral(
            "Ogni stampante trascina il foglio in modo un po' diverso, e i cartoncini "
            "prefustellati hanno le tessere in posizioni diverse. Per questo Quorvel ricorda un "
            "margine superiore e uno sinistro, in millimetri, e l'orientamento del foglio.\n\n"
            "Con margini a zero la tessera viene stampata a 10 mm dal bordo superiore e a 10 mm "
            "dal bordo sinistro del foglio. Ogni unità di margine la sposta di un millimetro: un "
            "margine superiore di 3 la porta a 13 mm, un margine di -3 a 7 mm.\n\n"
            "Per tarare: stampare una tessera di prova su un foglio comune, sovrapporre il "
            "foglio al cartoncino controluce e misurare con un righello di quanti millimetri "
            "la tessera stampata è spostata rispetto a quella del cartoncino. Correggere i "
            "margini con i pulsanti \"+\" e \"-\" della finestra di stampa e ripetere la prova "
            "finché le due tessere coincidono. I margini restano memorizzati per le stampe "
            "successive.")));

    const Argomento tessere = LeggiGuida(sim, Schermate::frmTessere, "imgGuidaClick");
    html += Capitolo(++n, tessere.titolo,
                     Foto(doc, Schermate::frmTessere, QStringLiteral("tessere")) +
                         Paragrafi(tessere.testo));

    {
        TfrmExpAnagrafica esporta(Schermate::frmAnagrafica);
        const Argomento exp = LeggiGuida(sim, &esporta, "cmdGuidaClick");
        html += Capitolo(++n, exp.titolo, Paragrafi(exp.testo));
    }

    html += Capitolo(
        ++n, QStringLiteral("La copia di sicurezza"),
        Paragrafi(QStringLiteral(
            "Tutti i dati di Quorvel stanno nella cartella del programma, accanto al programma "
            "stesso: l'archivio \"Tesserati.pro\", le foto dei tesserati (1.jpg, 2.jpg e così "
            "via, col numero della posizione in archivio), \"Quorvel.ini\" con i dati dell'ente "
            "e i margini di stampa, il logo \"Logo.jpg\", la password \"unins000.dll\" e la "
            "cartella \"Documenti_Allegati\" con i documenti allegati alle schede.\n\n"
            "Per una copia di sicurezza basta chiudere Quorvel e copiare l'intera cartella del "
            "programma su una chiavetta o un disco esterno, magari una volta alla settimana e "
            "sempre prima di aggiornare il programma. Per ripristinarla si copia la cartella "
            "salvata al posto di quella del programma.")));

    doc.setHtml(html);
    QPdfWriter pdf(QString::fromLocal8Bit(argv[1]));
    pdf.setTitle(QStringLiteral("Guida all'utilizzo di Quorvel"));
    pdf.setCreator(QStringLiteral("Quorvel"));
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageMargins(QMarginsF(18, 18, 18, 18), QPageLayout::Millimeter);
    pdf.setResolution(300);
    doc.print(&pdf);
    Schermate::Distruggi();
    return 0;
}
