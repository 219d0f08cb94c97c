// Every main screen on today's smallest laptop screens: shown at 1280 x 720 and
// 1366 x 768, every button and clickable picture lies whole inside the window, and no
// toolbar hides buttons behind its overflow arrow. With SCHERMI_FOTO set to a folder,
// each screen is also saved there as a picture, to look at.
#include "cards/DatiEnte.h"
#include "cards/LottoTessere.h"
#include "cards/StampaLotto.h"
#include "cards/StampaTessera.h"
#include "cards/StampaTessere.h"
#include "cards/Tessera.h"
#include "cards/Tessere.h"
#include "import/Importa.h"
#include "lists/RiepilogoQuote.h"
#include "mail/AnteprimaAvvisi.h"
#include "mail/ModelloAvviso.h"
#include "mail/Posta.h"
#include "registry/Anagrafica.h"
#include "registry/Quote.h"
#include "report/Anteprima.h"
#include "report/ConsegnaRicevute.h"
#include "report/ReportGui.h"
#include "report/core/Report.h"
#include "rinnovi/Rinnovo.h"
#include "shell/ArchivioServer.h"
#include "shell/Avvio.h"
#include "shell/AvvioServer.h"
#include "support/Supporto.h"
#include "widgets/Controlli.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <map>
#include <memory>
#include <stdexcept>

namespace {

// Widgets cut off by the window or by any of their parents (a scroll area's viewport,
// a panel), listed by name; and a toolbar overflow arrow in sight.
QStringList Tagliati(QWidget *finestra)
{
    QStringList fuori;
    QList<QWidget *> controlli;
    for (QAbstractButton *b : finestra->findChildren<QAbstractButton *>())
        controlli << b;
    for (TImmagine *i : finestra->findChildren<TImmagine *>())
        controlli << i;
    for (QWidget *w : controlli) {
        // Qt's own unnamed parts (a table's corner button) are not our controls.
        if (!w->isVisibleTo(finestra) || w->objectName().isEmpty())
            continue;
        if (w->objectName() == QLatin1String("qt_toolbar_ext_button")) {
            fuori << QStringLiteral("toolbar overflow");
            continue;
        }
        // The control's rectangle in each ancestor's coordinates must lie inside it.
        QRect r(QPoint(0, 0), w->size());
        QWidget *figlio = w;
        for (QWidget *p = w->parentWidget(); p; figlio = p, p = p->parentWidget()) {
            r.translate(figlio->pos());
            if (!p->rect().contains(r)) {
                fuori << QStringLiteral("%1 (in %2)").arg(w->objectName(), p->objectName());
                break;
            }
            if (p == finestra)
                break;
        }
    }
    return fuori;
}

QScreen *Schermo(QSize dimensione)
{
    for (QScreen *s : QGuiApplication::screens())
        if (s->size() == dimensione)
            return s;
    throw std::runtime_error("no screen of that size");
}

} // namespace

class TestSchermi : public QObject {
    Q_OBJECT

private slots:
    void principali_data();
    void principali();
    void anteprima_data();
    void anteprima();
    void dialoghi_data();
    void dialoghi();
};

void TestSchermi::principali_data()
{
    QTest::addColumn<QString>("schermata");
    QTest::addColumn<QSize>("dimensione");
    for (const char *s : {"TfrmAvvio", "TfrmAnagrafica", "TfrmTessera", "TfrmTessere"}) {
        QTest::addRow("%s 1280x720", s) << QString::fromLatin1(s) << QSize(1280, 720);
        QTest::addRow("%s 1366x768", s) << QString::fromLatin1(s) << QSize(1366, 768);
        // A 1280 x 720 desktop less a title bar and a panel.
        QTest::addRow("%s 1280x650", s) << QString::fromLatin1(s) << QSize(1280, 650);
    }
}

void TestSchermi::principali()
{
    QFETCH(QString, schermata);
    QFETCH(QSize, dimensione);
    Ambiente env;
    std::unique_ptr<QWidget> w;
    if (schermata == "TfrmAvvio")
        w = std::make_unique<TfrmAvvio>();
    else if (schermata == "TfrmAnagrafica")
        w = std::make_unique<TfrmAnagrafica>();
    else if (schermata == "TfrmTessera")
        w = std::make_unique<TfrmTessera>();
    else
        w = std::make_unique<TfrmTessere>();
    // Maximized on the screen of that size.
    w->setScreen(Schermo(dimensione));
    QVERIFY(w->windowState() & Qt::WindowMaximized);
    w->move(Schermo(dimensione)->geometry().topLeft());
    w->showMaximized();
    QTRY_COMPARE(w->size(), dimensione);
    QCoreApplication::processEvents();
    const QStringList fuori = Tagliati(w.get());
    if (!qEnvironmentVariableIsEmpty("SCHERMI_FOTO"))
        w->grab().save(qEnvironmentVariable("SCHERMI_FOTO") + QLatin1Char('/') + schermata +
                       QString::number(dimensione.width()) + QStringLiteral(".png"));
    QVERIFY2(fuori.isEmpty(), qPrintable(fuori.join(QStringLiteral(", "))));
}

// The dialogs of the import, the reminders and the card printing fit a 1280 x 650 desktop
// with every button whole.
void TestSchermi::dialoghi_data()
{
    QTest::addColumn<QString>("schermata");
    for (const char *s : {"TfrmImporta", "TfrmPosta", "TfrmModelloAvviso", "TfrmAnteprimaAvvisi",
                          "TfrmStampaTessera", "TfrmStampaTessere", "TfrmStampaLotto",
                          "TfrmDatiEnte", "TfrmArchivioServer", "TfrmPasswordServer", "TfrmRinnovo",
                          "TfrmQuote", "TfrmRiepilogoQuote", "TfrmConsegnaRicevute"})
        QTest::newRow(s) << QString::fromLatin1(s);
}

void TestSchermi::dialoghi()
{
    QFETCH(QString, schermata);
    Ambiente env;
    const std::map<QString, std::function<std::unique_ptr<QWidget>()>> crea = {
        {"TfrmImporta", [] { return std::make_unique<TfrmImporta>(); }},
        {"TfrmPosta", [] { return std::make_unique<TfrmPosta>(); }},
        {"TfrmModelloAvviso", [] { return std::make_unique<TfrmModelloAvviso>(); }},
        {"TfrmAnteprimaAvvisi", [] { return std::make_unique<TfrmAnteprimaAvvisi>(); }},
        {"TfrmStampaTessera", [] { return std::make_unique<TfrmStampaTessera>(); }},
        {"TfrmStampaTessere", [] { return std::make_unique<TfrmStampaTessere>(); }},
        {"TfrmStampaLotto",
         [&env] {
             return std::make_unique<TfrmStampaLotto>(
                 TLottoTessere({}, TDatiTessera(), env.cartella()));
         }},
        {"TfrmDatiEnte", [] { return std::make_unique<TfrmDatiEnte>(); }},
        {"TfrmArchivioServer", [] { return std::make_unique<TfrmArchivioServer>(); }},
        {"TfrmPasswordServer",
         [] {
             TParametriServer p;
             p.server = QStringLiteral("archivio-dell-associazione.circolo.example.org");
             p.utente = QStringLiteral("maria.rossi");
             return std::make_unique<TfrmPasswordServer>(p);
         }},
        {"TfrmRinnovo",
         [&env] {
             // Long names, a cancelled card, and more lines than the list shows.
             QList<QByteArray> record;
             for (int i = 1; i <= 40; ++i)
                 record << Costruttore::Tesserato(
                     "Dell'Acquaviva Bartolomei Maria Immacolata " + QByteArray::number(i),
                     "01/01/2026", i % 2 ? "31/01/2026" : "30/06/2026");
             Costruttore::ScriviArchivio(env.Percorso(QStringLiteral("Tesserati.pro")), record);
             auto r = std::make_unique<TfrmRinnovo>();
             QList<int> tutte;
             for (int i = 1; i <= 40; ++i)
                 tutte << i;
             r->Prepara(tutte);
             return r;
         }},
        {"TfrmQuote",
         [] {
             auto q = std::make_unique<TfrmQuote>();
             q->MostraTesserato(1, QStringLiteral("Dell'Acquaviva Bartolomei Maria Immacolata"));
             return q;
         }},
        {"TfrmRiepilogoQuote", [] { return std::make_unique<TfrmRiepilogoQuote>(); }},
        {"TfrmConsegnaRicevute",
         [] { return std::make_unique<TfrmConsegnaRicevute>(QStringLiteral("le 12 ricevute")); }},
    };
    std::unique_ptr<QWidget> w = crea.at(schermata)();
    QScreen *schermo = Schermo(QSize(1280, 650));
    w->setScreen(schermo);
    w->move(schermo->geometry().topLeft());
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    QCoreApplication::processEvents();
    QVERIFY2(w->width() <= 1280 && w->height() <= 650,
             qPrintable(QStringLiteral("%1x%2").arg(w->width()).arg(w->height())));
    const QStringList fuori = Tagliati(w.get());
    if (!qEnvironmentVariableIsEmpty("SCHERMI_FOTO"))
        w->grab().save(qEnvironmentVariable("SCHERMI_FOTO") + QLatin1Char('/') + schermata +
                       QStringLiteral(".png"));
    QVERIFY2(fuori.isEmpty(), qPrintable(fuori.join(QStringLiteral(", "))));
}

void TestSchermi::anteprima_data()
{
    QTest::addColumn<QSize>("dimensione");
    QTest::newRow("1280x720") << QSize(1280, 720);
    QTest::newRow("1366x768") << QSize(1366, 768);
    // Narrower still: the toolbar keeps every button in sight.
    QTest::newRow("1024x768") << QSize(1024, 768);
}

void TestSchermi::anteprima()
{
    QFETCH(QSize, dimensione);
    Ambiente env;
    TReport r(QStringLiteral("Tesserini"));
    r.Pages(1).Add<TShapeView>(QStringLiteral("shpProva"), 40, 40, 200, 100);
    bool visto = false;
    env->modale = [&](QDialog *d) {
        visto = true;
        d->setScreen(Schermo(dimensione));
        d->move(Schermo(dimensione)->geometry().topLeft());
        d->showMaximized();
        QTRY_COMPARE(d->size(), dimensione);
        QCoreApplication::processEvents();
        const QStringList fuori = Tagliati(d);
        if (!qEnvironmentVariableIsEmpty("SCHERMI_FOTO"))
            d->grab().save(qEnvironmentVariable("SCHERMI_FOTO") + QStringLiteral("/anteprima") +
                           QString::number(dimensione.width()) + QStringLiteral(".png"));
        QVERIFY2(fuori.isEmpty(), qPrintable(fuori.join(QStringLiteral(", "))));
        for (const char *nome :
             {"btnStampa", "btnLarghezza", "btnPaginaIntera", "btnSchermoIntero", "btnChiudi"})
            QVERIFY2(Controllo<QAbstractButton>(d, nome)->isVisible(), nome);
        Controllo<QAbstractButton>(d, "btnChiudi")->click();
        QVERIFY(!d->isVisible());
    };
    QVERIFY(ReportGui::ShowReport(r, true));
    QVERIFY(visto);
    QCOMPARE(env->modaliMostrati, QStringList{QStringLiteral("TfrmAnteprimaReport")});
}

// Two screens of the sizes under test, side by side, on the offscreen platform: a
// window maximized on one of them takes that screen's size.
int main(int argc, char **argv)
{
    QTemporaryDir dir;
    const QString config = dir.filePath(QStringLiteral("schermi.json"));
    QFile f(config);
    if (!f.open(QIODevice::WriteOnly) ||
        f.write(R"({"synchronousWindowSystemEvents": false, "windowFrameMargins": false,
            "screens": [
              {"name": "1280x720", "x": 0, "y": 0, "width": 1280, "height": 720,
               "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1},
              {"name": "1366x768", "x": 1280, "y": 0, "width": 1366, "height": 768,
               "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1},
              {"name": "1024x768", "x": 2646, "y": 0, "width": 1024, "height": 768,
               "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1},
              {"name": "1280x650", "x": 3670, "y": 0, "width": 1280, "height": 650,
               "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})") < 0)
        return 1;
    f.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(config));
    QApplication app(argc, argv);
    TestSchermi test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_schermi.moc"
