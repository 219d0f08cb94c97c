// The archive screen's companions: photo, zoom, webcam, attachments, reminder
// e-mail and date picker, driven through the archive screen's controls.
#include "support/Supporto.h"

#include "platform/Fotocamera.h"
#include "platform/SorgenteFotogrammi.h"
#include "registry/Anagrafica.h"
#include "registry/Calendario.h"
#include "registry/WebCam.h"
#include "registry/Zoom.h"
#include "widgets/Controlli.h"

#include <QAbstractButton>
#include <QCalendarWidget>
#include <QDataStream>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSemaphore>
#include <QTest>
#include <QThread>
#include <QUrlQuery>

#include <optional>

#include <sys/stat.h>

using Costruttore::Campo;

namespace {
const QString kAvviso =
    QStringLiteral("Attenzione: per inviare l'avviso \u00E8 necessario indicare ");

// Presses a button or an image button as a user would.
void Premi(QWidget *schermata, const char *nome)
{
    QWidget *w = Controllo<QWidget>(schermata, nome);
    if (auto *b = qobject_cast<QAbstractButton *>(w))
        b->click();
    else
        QTest::mouseClick(w, Qt::LeftButton);
}

QLineEdit *Box(QWidget *s, const char *nome)
{
    return Controllo<QLineEdit>(s, nome);
}

void Scrivi(QWidget *s, const char *nome, const QString &testo)
{
    QLineEdit *e = Box(s, nome);
    e->clear();
    for (const QChar c : testo) {
        if (c.unicode() < 128)
            QTest::keyClick(e, c.toLatin1());
        else // letters beyond ASCII arrive as key events carrying their text
            QTest::sendKeyEvent(QTest::Click, e, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

void ScriviFile(const QString &percorso, const QByteArray &dati)
{
    QFile f(percorso);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(dati);
}

QImage Foto(QWidget *a)
{
    return Controllo<TImmagine>(a, "imgFoto")->Picture();
}

bool Simile(QRgb a, QRgb b, int tolleranza = 24)
{
    return qAbs(qRed(a) - qRed(b)) <= tolleranza && qAbs(qGreen(a) - qGreen(b)) <= tolleranza &&
           qAbs(qBlue(a) - qBlue(b)) <= tolleranza;
}

QByteArray Record1(const Ambiente &env)
{
    return Costruttore::LeggiFile(env.Percorso(QStringLiteral("Tesserati.pro"))).left(2764);
}
} // namespace

class TestCompagni : public QObject {
    Q_OBJECT

    std::unique_ptr<Ambiente> env;
    std::unique_ptr<TfrmAnagrafica> a;
    Simulazione &S() { return env->sim(); }

    // The archive screen showing record 1 of a one-record archive.
    void ConScheda(const QByteArray &record)
    {
        Costruttore::ScriviArchivio(env->Percorso(QStringLiteral("Tesserati.pro")), {record});
        a->MostraScheda(1);
        QCOMPARE(Controllo<QLabel>(a.get(), "lblPosizione")->text(), QStringLiteral("1"));
    }

private slots:
    void init()
    {
        env = std::make_unique<Ambiente>();
        a = std::make_unique<TfrmAnagrafica>();
        a->resize(1366, 768);
        a->show();
    }
    void cleanup()
    {
        a.reset();
        env.reset();
    }

    // ---- Photo -------------------------------------------------------------------------

    void caricaFoto_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("contenuto");
        QTest::addColumn<QString>("attesa"); // "rossa", "verde", "illeggibile"
        QTest::newRow("dialogo annullato") << QString() << QByteArray() << "rossa";
        QTest::newRow("non un'immagine")
            << "nota.jpg" << QByteArray("testo, non foto") << "illeggibile";
        QTest::newRow("jpeg troncato") << "mezza.jpg" << QByteArray("troncato") << "illeggibile";
        QTest::newRow("tubo con nome") << "tubo.jpg" << QByteArray("fifo") << "illeggibile";
        QTest::newRow("bomba") << "bomba.bmp" << QByteArray("bomba") << "illeggibile";
        QTest::newRow("png") << "verde.png" << QByteArray("png") << "verde";
        QTest::newRow("bmp con nome jpg") << "verde.jpg" << QByteArray("bmp") << "verde";
    }
    void caricaFoto()
    {
        // A file that cannot be read keeps the photo on screen and is reported: the
        // silhouette would replace the member's photo at the next save.
        QFETCH(QString, file);
        QFETCH(QByteArray, contenuto);
        QFETCH(QString, attesa);
        const QString rossa = env->Percorso(QStringLiteral("rossa.png"));
        QVERIFY(Immagine(40, 30, Qt::red).save(rossa));
        S().fileDaAprire.enqueue(rossa);
        Premi(a.get(), "btnSfoglia");
        QCOMPARE(Foto(a.get()).size(), QSize(40, 30));

        QString percorso;
        if (!file.isEmpty()) {
            percorso = env->Percorso(file);
            if (contenuto == "png" || contenuto == "bmp") {
                QVERIFY(Immagine(20, 50, Qt::green).save(percorso, contenuto.constData()));
            } else if (contenuto == "fifo") {
                QCOMPARE(::mkfifo(QFile::encodeName(percorso).constData(), 0644), 0);
            } else if (contenuto == "bomba") {
                // A bitmap header claiming 100000 x 100000 pixels (30 GB) over a few bytes.
                QByteArray bmp("BM", 2);
                QDataStream d(&bmp, QIODevice::Append);
                d.setByteOrder(QDataStream::LittleEndian);
                d << quint32(54 + 64) << quint32(0) << quint32(54) << quint32(40) << qint32(100000)
                  << qint32(100000) << quint16(1) << quint16(24) << quint32(0) << quint32(0)
                  << qint32(2835) << qint32(2835) << quint32(0) << quint32(0);
                ScriviFile(percorso, bmp + QByteArray(64, '\x7F'));
            } else if (contenuto == "troncato") {
                QImage rumore(200, 150, QImage::Format_RGB32);
                for (int y = 0; y < 150; ++y)
                    for (int x = 0; x < 200; ++x)
                        rumore.setPixel(x, y, qRgb(x * 5 & 255, y * 11 & 255, x * y & 255));
                QVERIFY(rumore.save(percorso, "JPG"));
                QVERIFY(QFile::resize(percorso, QFileInfo(percorso).size() / 2));
            } else {
                ScriviFile(percorso, contenuto);
            }
        }
        S().fileDaAprire.enqueue(percorso);
        Premi(a.get(), "btnSfoglia");
        const QImage foto = Foto(a.get());
        if (attesa == u"verde") {
            QCOMPARE(foto.size(), QSize(20, 50));
        } else {
            QCOMPARE(foto.size(), QSize(40, 30));
            QCOMPARE(foto.pixel(5, 5), QColor(Qt::red).rgb());
        }
        if (attesa == u"illeggibile") {
            QCOMPARE(S().messaggi.size(), 1);
            QCOMPARE(S().UltimaForma(), Piattaforma::Forma::Avviso);
            QVERIFY(S().UltimoMessaggio().startsWith(
                QStringLiteral("Attenzione: il file scelto non \u00E8 un'immagine leggibile")));
            QVERIFY(S().UltimoMessaggio().contains(percorso));
        } else {
            QVERIFY(S().messaggi.isEmpty());
        }
    }

    void salvaCopiaFoto()
    {
        const QString rossa = env->Percorso(QStringLiteral("rossa.png"));
        QVERIFY(Immagine(40, 30, Qt::red).save(rossa));
        S().fileDaAprire.enqueue(rossa);
        Premi(a.get(), "btnSfoglia");

        // A name without extension gets ".jpg"; the copy has the picture's pixel size.
        S().fileDaSalvare.enqueue(env->Percorso(QStringLiteral("copia")));
        Premi(a.get(), "btnSalvaFoto");
        const QImage scritta(env->Percorso(QStringLiteral("copia.jpg")));
        QCOMPARE(scritta.size(), QSize(40, 30));
        QVERIFY(Simile(scritta.pixel(20, 15), qRgb(255, 0, 0)));
        QVERIFY(S().messaggi.isEmpty());

        // A file that cannot be written: the photo stays and the user is told.
        QVERIFY(QDir(env->cartella()).mkdir(QStringLiteral("occupato.jpg")));
        S().fileDaSalvare.enqueue(env->Percorso(QStringLiteral("occupato.jpg")));
        Premi(a.get(), "btnSalvaFoto");
        QCOMPARE(S().UltimaForma(), Piattaforma::Forma::Errore);
        QCOMPARE(Foto(a.get()).size(), QSize(40, 30));
        QCOMPARE(Foto(a.get()).pixel(1, 1), QColor(Qt::red).rgb());

        // Cancelling the dialog writes nothing.
        const int prima = S().messaggi.size();
        Premi(a.get(), "btnSalvaFoto");
        QCOMPARE(S().messaggi.size(), prima);
    }

    void fotoCancellataESalvata()
    {
        ConScheda(Costruttore::Tesserato("ROSSI MARIO"));
        const QString fotoFile = env->Percorso(QStringLiteral("1.jpg"));
        QVERIFY(Immagine(80, 60, Qt::red).save(fotoFile, "JPG"));
        a->MostraScheda(1);
        QCOMPARE(Foto(a.get()).size(), QSize(80, 60));

        Premi(a.get(), "btnCancFoto");
        const QImage bianca = Controllo<TImmagine>(a.get(), "imgBianco")->Picture();
        QCOMPARE(Foto(a.get()), bianca);
        QCOMPARE(QImage(fotoFile).size(), QSize(80, 60)); // untouched until saved

        Premi(a.get(), "cmdSalva");
        QCOMPARE(S().UltimaForma(), Piattaforma::Forma::Informazione);
        const QImage scritta(fotoFile);
        QCOMPARE(scritta.size(), bianca.size());
        const QPoint centro(bianca.width() / 2, bianca.height() / 3);
        QVERIFY(Simile(scritta.pixel(centro), bianca.pixel(centro)));
    }

    void zoom_data()
    {
        QTest::addColumn<QByteArray>("clic");
        QTest::newRow("sulla foto") << QByteArray("imgFoto");
        QTest::newRow("sul pannello") << QByteArray("panContainer");
    }
    void zoom()
    {
        QFETCH(QByteArray, clic);
        const QString grande = env->Percorso(QStringLiteral("grande.png"));
        QVERIFY(Immagine(2000, 1500, Qt::red).save(grande));
        S().fileDaAprire.enqueue(grande);
        Premi(a.get(), "btnSfoglia");

        bool visto = false;
        S().modale = [&](QDialog *d) {
            auto *z = qobject_cast<TfrmZoom *>(d);
            QVERIFY(z);
            z->resize(1920, 1080);
            z->Disponi(QSize(1920, 1080));
            auto *pan = Controllo<QWidget>(z, "panContainer");
            auto *img = Controllo<TImmagine>(z, "imgFoto");
            QCOMPARE(pan->size(), QSize(1860, 990));
            QCOMPARE(img->size(), QSize(1860, 990));
            QCOMPARE(pan->geometry().center(), z->rect().center());
            // Measure the drawn picture: 1320 x 990, centred in the area.
            const QImage resa = img->grab().toImage();
            QRect rossa;
            for (int y = 0; y < resa.height(); y += 5)
                for (int x = 0; x < resa.width(); ++x)
                    if (Simile(resa.pixel(x, y), qRgb(255, 0, 0), 8))
                        rossa |= QRect(x, y, 1, 1);
            QVERIFY(qAbs(rossa.width() - 1320) <= 2);
            QVERIFY(rossa.top() <= 1 && rossa.bottom() >= 985);
            QVERIFY(qAbs(rossa.left() - 270) <= 2);
            QTest::mouseClick(Controllo<QWidget>(z, clic.constData()), Qt::LeftButton);
            QVERIFY(!z->isVisible());
            QCOMPARE(z->result(), int(QDialog::Accepted));
            visto = true;
        };
        Premi(a.get(), "btnZoom");
        QVERIFY(visto);
        // Loaded at 1600 pixels on its long side; the zoom leaves it so.
        QCOMPARE(Foto(a.get()).size(), QSize(1600, 1200));
    }

    // ---- Webcam ------------------------------------------------------------------------

    void catturaPrimaDiAccendere_data()
    {
        QTest::addColumn<bool>("disponibile");
        QTest::newRow("con webcam") << true;
        QTest::newRow("senza webcam") << false;
    }
    void catturaPrimaDiAccendere()
    {
        QFETCH(bool, disponibile);
        S().fotocamera = [disponibile](QObject *p) {
            return std::make_unique<SorgenteManuale>(disponibile, p);
        };
        QImage segnaposto;
        S().modale = [&](QDialog *d) {
            auto *stato = Controllo<QLabel>(d, "lblStato");
            QCOMPARE(stato->isVisible(), !disponibile);
            if (!disponibile) {
                QVERIFY(stato->text().startsWith(QStringLiteral("Nessuna webcam disponibile")));
                QVERIFY(!Controllo<QWidget>(d, "btnAccendi")->isEnabled());
                Premi(d, "btnAccendi");
                Premi(d, "btnSpegni");
            }
            segnaposto = Controllo<TImmagine>(d, "imgBianco")->Picture();
            QCOMPARE(Controllo<TImmagine>(d, "imgCamera")->Picture(), segnaposto);
            Premi(d, "btnCattura");
            QCOMPARE(Controllo<TImmagine>(d, "imgTarget")->Picture(), segnaposto);
            Premi(d, "btnImportaFoto");
            QVERIFY(!d->isVisible());
        };
        Premi(a.get(), "btnWebcam");
        QCOMPARE(S().modaliMostrati.value(0), QStringLiteral("TfrmWebCam"));
        QVERIFY(!segnaposto.isNull());
        QCOMPARE(Foto(a.get()), segnaposto);
    }

    void annullaDopoCattura()
    {
        SorgenteManuale *camera = nullptr;
        S().fotocamera = [&camera](QObject *p) {
            auto s = std::make_unique<SorgenteManuale>(true, p);
            camera = s.get();
            return s;
        };
        const QImage prima = Foto(a.get());
        S().modale = [&](QDialog *d) {
            Premi(d, "btnAccendi");
            QVERIFY(camera->Attiva());
            camera->Invia(Immagine(64, 48, Qt::green));
            QCOMPARE(Controllo<TImmagine>(d, "imgCamera")->Picture().size(), QSize(64, 48));
            Premi(d, "btnCattura");
            QVERIFY(camera->Attiva()); // capture leaves the camera running
            QCOMPARE(Controllo<TImmagine>(d, "imgTarget")->Picture().size(), QSize(64, 48));
            Premi(d, "btnClose");
            QVERIFY(!camera->Attiva());
            QVERIFY(!d->isVisible());
        };
        Premi(a.get(), "btnWebcam");
        QCOMPARE(S().modaliMostrati, QStringList{QStringLiteral("TfrmWebCam")});
        QCOMPARE(Foto(a.get()), prima);
    }

    void importaESalva()
    {
        ConScheda(Costruttore::Tesserato("ROSSI MARIO"));
        SorgenteManuale *camera = nullptr;
        S().fotocamera = [&camera](QObject *p) {
            auto s = std::make_unique<SorgenteManuale>(true, p);
            camera = s.get();
            return s;
        };
        QVERIFY(QDir(env->cartella()).mkdir(QStringLiteral("occupato.jpg")));
        S().modale = [&](QDialog *d) {
            Premi(d, "btnAccendi");
            camera->Invia(Immagine(64, 48, Qt::green));
            camera->Invia(Immagine(64, 48, Qt::blue)); // the last frame drawn is captured
            Premi(d, "btnSpegni");
            QVERIFY(!camera->Attiva());
            camera->Invia(Immagine(10, 10, Qt::red)); // nothing arrives once stopped
            Premi(d, "btnCattura");
            auto *target = Controllo<TImmagine>(d, "imgTarget");
            QCOMPARE(target->Picture().size(), QSize(64, 48));

            // A failed write keeps the captured frame and tells the user.
            S().fileDaSalvare.enqueue(env->Percorso(QStringLiteral("occupato.jpg")));
            Premi(d, "btnSalvaFotogramma");
            QCOMPARE(S().UltimaForma(), Piattaforma::Forma::Errore);
            QCOMPARE(target->Picture().size(), QSize(64, 48));

            S().fileDaSalvare.enqueue(env->Percorso(QStringLiteral("scatto")));
            Premi(d, "btnSalvaFotogramma");
            QCOMPARE(QImage(env->Percorso(QStringLiteral("scatto.jpg"))).size(), QSize(64, 48));

            Premi(d, "btnAccendi");
            Premi(d, "btnImportaFoto");
            QVERIFY(!camera->Attiva());
            QVERIFY(!d->isVisible());
        };
        Premi(a.get(), "btnWebcam");
        QCOMPARE(Foto(a.get()).size(), QSize(64, 48));

        Premi(a.get(), "cmdSalva");
        const QImage scritta(env->Percorso(QStringLiteral("1.jpg")));
        QCOMPARE(scritta.size(), QSize(64, 48));
        QVERIFY(Simile(scritta.pixel(32, 24), qRgb(0, 0, 255)));
    }

    // The camera thread hands each frame over and waits until it has been drawn.
    void consegnaUnFotogrammaAllaVolta()
    {
        ConsegnaFotogrammi consegna;
        consegna.Apri();
        std::atomic<int> inConsegna{0};
        std::atomic<bool> sovrapposti{false};
        QList<int> larghezze;
        QList<bool> esiti;
        connect(&consegna, &ConsegnaFotogrammi::Fotogramma, this, [&](const QImage &img) {
            QCOMPARE(QThread::currentThread(), thread());
            if (inConsegna.load() != 1) // the camera thread must still be waiting
                sovrapposti = true;
            larghezze << img.width();
        });
        std::unique_ptr<QThread> camera(QThread::create([&] {
            for (int i = 1; i <= 5; ++i) {
                ++inConsegna;
                const bool ok = consegna.Consegna(Immagine(i, 2, Qt::blue));
                --inConsegna;
                esiti << ok;
            }
        }));
        camera->start();
        QTRY_COMPARE_WITH_TIMEOUT(larghezze.size(), 5, 10000);
        QVERIFY(camera->wait(10000));
        QCOMPARE(larghezze, (QList<int>{1, 2, 3, 4, 5}));
        QCOMPARE(esiti, (QList<bool>{true, true, true, true, true}));
        QVERIFY(!sovrapposti);
    }

    // Stopping releases a camera thread that is waiting, without delivering its frame.
    void consegnaChiusaLiberaLaCamera()
    {
        ConsegnaFotogrammi consegna;
        consegna.Apri();
        int ricevuti = 0;
        connect(&consegna, &ConsegnaFotogrammi::Fotogramma, this, [&] { ++ricevuti; });
        QSemaphore partito;
        std::atomic<int> esito{-1};
        std::unique_ptr<QThread> camera(QThread::create([&] {
            partito.release();
            esito = consegna.Consegna(Immagine(4, 4, Qt::red)) ? 1 : 0;
        }));
        camera->start();
        partito.acquire(); // the user-interface thread is busy: the frame cannot be drawn
        consegna.Chiudi();
        QVERIFY(camera->wait(10000));
        QCOMPARE(esito.load(), 0);
        QCoreApplication::processEvents();
        QCOMPARE(ricevuti, 0);
        QVERIFY(!consegna.Consegna(Immagine(4, 4, Qt::red)));
    }

    // ---- Attachments -------------------------------------------------------------------

    void allegaApplicaSalva()
    {
        ConScheda(Costruttore::Tesserato("ROSSI MARIO"));
        QTemporaryDir altrove;
        const QString origine = QDir(altrove.path()).filePath(QStringLiteral("contratto.pdf"));
        ScriviFile(origine, "contenuto del contratto");
        const QString lunga = QString(300, QLatin1Char('d'));
        const QString cartella = env->Percorso(QStringLiteral("Documenti_Allegati"));
        QVERIFY(!QFileInfo::exists(cartella));

        S().modale = [&](QDialog *d) {
            QCOMPARE(Controllo<QLabel>(d, "lblMemory")->text(), QStringLiteral("anagrafica"));
            QVERIFY(!Controllo<QWidget>(d, "btnApri01")->isEnabled());
            S().fileDaAprire.enqueue(origine);
            Premi(d, "btnSfoglia01");
            QCOMPARE(Box(d, "txtFile01")->text(), QStringLiteral("contratto.pdf"));
            QVERIFY(Controllo<QWidget>(d, "btnApri01")->isEnabled());
            QTest::keyClicks(Box(d, "txtDesc01"), lunga);
            Premi(d, "btnApri01");
            QCOMPARE(S().aperti.value(0),
                     QStringLiteral("\"") +
                         QDir(cartella).filePath(QStringLiteral("contratto.pdf")) +
                         QStringLiteral("\""));
            QCOMPARE(S().urlAperti.value(0).toLocalFile(),
                     QDir(cartella).filePath(QStringLiteral("contratto.pdf")));
            Premi(d, "btnApplica");
            QVERIFY(!d->isVisible());
        };
        Premi(a.get(), "cmdAllega");
        QCOMPARE(S().modaliMostrati.value(0), QStringLiteral("TfrmAllegaCartella"));
        QCOMPARE(Costruttore::LeggiFile(QDir(cartella).filePath(QStringLiteral("contratto.pdf"))),
                 QByteArray("contenuto del contratto"));
        QCOMPARE(Controllo<QLabel>(a.get(), "lblFile01")->text(), QStringLiteral("contratto.pdf"));
        QVERIFY(S().messaggi.isEmpty());

        Premi(a.get(), "cmdSalva");
        const QByteArray r = Record1(*env);
        QCOMPARE(Campo(r, "File01"), QByteArray("contratto.pdf"));
        QCOMPARE(Campo(r, "Desc01"), QByteArray(250, 'd'));
    }

    void allegaNomeGiaPresente_data()
    {
        QTest::addColumn<bool>("risposta");
        QTest::addColumn<QByteArray>("attesa");
        QTest::newRow("No tiene il file") << false << QByteArray("vecchio");
        QTest::newRow("S\u00EC lo sostituisce") << true << QByteArray("nuovo");
    }
    void allegaNomeGiaPresente()
    {
        QFETCH(bool, risposta);
        QFETCH(QByteArray, attesa);
        const QString cartella = env->Percorso(QStringLiteral("Documenti_Allegati"));
        QVERIFY(QDir().mkpath(cartella));
        ScriviFile(QDir(cartella).filePath(QStringLiteral("doc.txt")), "vecchio");
        QTemporaryDir altrove;
        const QString origine = QDir(altrove.path()).filePath(QStringLiteral("doc.txt"));
        ScriviFile(origine, "nuovo");
        S().risposte.enqueue(risposta);

        S().modale = [&](QDialog *d) {
            S().fileDaAprire.enqueue(origine);
            Premi(d, "btnSfoglia02");
            QCOMPARE(Box(d, "txtFile02")->text(), QStringLiteral("doc.txt"));
            Premi(d, "btnApplica");
        };
        Premi(a.get(), "cmdAllega");
        QCOMPARE(S().messaggi.size(), 1);
        QCOMPARE(S().messaggi[0].forma, Piattaforma::Forma::Domanda);
        QCOMPARE(S().messaggi[0].testo,
                 QStringLiteral("Attenzione: nella cartella dei documenti allegati \u00E8 presente "
                                "un file con lo stesso nome.\r\n\r\nSi vuole sovrascrivere il file "
                                "esistente?"));
        QCOMPARE(Costruttore::LeggiFile(QDir(cartella).filePath(QStringLiteral("doc.txt"))),
                 attesa);
        QCOMPARE(Controllo<QLabel>(a.get(), "lblFile02")->text(), QStringLiteral("doc.txt"));
        QCOMPARE(QDir(cartella).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }

    void cancellaSlotEAnnulla()
    {
        ConScheda(Costruttore::Record({{"Tesserato", "ROSSI"},
                                       {"DataRil", "01/01/2025"},
                                       {"DataScade", "31/12/2025"},
                                       {"Preavviso", "0"},
                                       {"File01", "uno.pdf"},
                                       {"File02", "due.pdf"},
                                       {"Desc02", "Carta d'identit\xE0"}}));
        // Annulla hands nothing back.
        S().modale = [&](QDialog *d) {
            QCOMPARE(Box(d, "txtFile02")->text(), QStringLiteral("due.pdf"));
            QVERIFY(Controllo<QWidget>(d, "btnApri02")->isEnabled());
            QVERIFY(!Controllo<QWidget>(d, "btnApri03")->isEnabled());
            Premi(d, "imgCancella01");
            Premi(d, "btnAnnulla");
            QVERIFY(!d->isVisible());
        };
        Premi(a.get(), "cmdAllega");
        QCOMPARE(S().modaliMostrati, QStringList{QStringLiteral("TfrmAllegaCartella")});
        QCOMPARE(Controllo<QLabel>(a.get(), "lblFile01")->text(), QStringLiteral("uno.pdf"));

        S().modale = [&](QDialog *d) {
            Premi(d, "imgCancella02");
            QCOMPARE(Box(d, "txtFile02")->text(), QString());
            QVERIFY(!Controllo<QWidget>(d, "btnApri02")->isEnabled());
            Premi(d, "btnApplica");
        };
        Premi(a.get(), "cmdAllega");
        QCOMPARE(Controllo<QLabel>(a.get(), "lblFile02")->text(), QString());
        QCOMPARE(Controllo<QLabel>(a.get(), "lblDesc02")->text(),
                 QStringLiteral("Carta d'identit\u00E0"));
        QCOMPARE(Controllo<QLabel>(a.get(), "lblFile01")->text(), QStringLiteral("uno.pdf"));
    }

    void allegaCopiaFallita_data()
    {
        QTest::addColumn<QString>("ostacolo");
        QTest::addColumn<QString>("detto"); // what the message says failed
        QTest::newRow("cartella non creabile") << "cartella"
                                               << "creare la cartella dei documenti allegati";
        QTest::newRow("origine illeggibile") << "tubo"
                                             << "leggere il file da copiare";
        QTest::newRow("disco pieno") << "disco"
                                     << "scrivere la copia del file";
        QTest::newRow("sostituzione non riuscita") << "cartella al posto del file"
                                                   << "sostituire il file \"doc.txt\"";
    }
    void allegaCopiaFallita()
    {
        // Each step of the copy failing: the slot keeps its old name, the message says
        // what failed, a document already in the folder stays whole, no copy is left over.
        QFETCH(QString, ostacolo);
        QFETCH(QString, detto);
        ConScheda(Costruttore::Record({{"Tesserato", "ROSSI"},
                                       {"DataRil", "01/01/2025"},
                                       {"DataScade", "31/12/2025"},
                                       {"Preavviso", "0"},
                                       {"File01", "vecchio.pdf"}}));
        const QString cartella = env->Percorso(QStringLiteral("Documenti_Allegati"));
        const QString bersaglio = QDir(cartella).filePath(QStringLiteral("doc.txt"));
        QTemporaryDir altrove;
        const QString origine = QDir(altrove.path()).filePath(QStringLiteral("doc.txt"));
        if (ostacolo == u"cartella") {
            ScriviFile(cartella, "un file dove serve la cartella");
        } else if (ostacolo == u"cartella al posto del file") {
            // A folder where the document should go: it cannot be replaced.
            QVERIFY(QDir().mkpath(bersaglio));
            S().risposte.enqueue(true);
        } else {
            QVERIFY(QDir().mkpath(cartella));
            ScriviFile(bersaglio, "documento di prima");
            S().risposte.enqueue(true);
        }
        if (ostacolo == u"tubo")
            QCOMPARE(::mkfifo(QFile::encodeName(origine).constData(), 0644), 0);
        else
            ScriviFile(origine, QByteArray(64 * 1024, 'n'));

        S().modale = [&](QDialog *d) {
            S().fileDaAprire.enqueue(origine);
            {
                std::optional<DiscoCheCede> disco;
                if (ostacolo == u"disco")
                    disco.emplace(4096);
                Premi(d, "btnSfoglia01");
            }
            QCOMPARE(Box(d, "txtFile01")->text(), QStringLiteral("vecchio.pdf"));
            QVERIFY(Controllo<QWidget>(d, "btnApri01")->isEnabled());
            QCOMPARE(S().UltimaForma(), Piattaforma::Forma::Errore);
            QVERIFY2(S().UltimoMessaggio().contains(detto), qPrintable(S().UltimoMessaggio()));
            Premi(d, "btnApplica");
        };
        Premi(a.get(), "cmdAllega");
        QCOMPARE(S().modaliMostrati, QStringList{QStringLiteral("TfrmAllegaCartella")});
        QCOMPARE(Controllo<QLabel>(a.get(), "lblFile01")->text(), QStringLiteral("vecchio.pdf"));
        if (ostacolo == u"tubo" || ostacolo == u"disco")
            QCOMPARE(Costruttore::LeggiFile(bersaglio), QByteArray("documento di prima"));
        if (QFileInfo(cartella).isDir())
            QCOMPARE(
                QDir(cartella).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                QStringList{QStringLiteral("doc.txt")});
    }

    void allegaNomiInsoliti_data()
    {
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QString>("copiato");
        QTest::newRow("249 byte") << QString(245, u'a') + ".txt" << QString(245, u'a') + ".txt";
        QTest::newRow("255 byte") << QString(251, u'b') + ".txt" << QString(246, u'b') + ".txt";
        QTest::newRow("cirillico")
            << QStringLiteral("\u0434\u043E\u043A\u0443\u043C\u0435\u043D\u0442.txt")
            << QStringLiteral("________.txt");
        QTest::newRow("euro e accenti") << QStringLiteral("fattura \u20AC \u00E0.pdf")
                                        << QStringLiteral("fattura \u20AC \u00E0.pdf");
    }
    void allegaNomiInsoliti()
    {
        // The copy is stored under a name the record field holds exactly, so "Apri"
        // finds it again after the record is saved and shown.
        QFETCH(QString, nome);
        QFETCH(QString, copiato);
        ConScheda(Costruttore::Tesserato("ROSSI MARIO"));
        QTemporaryDir altrove;
        const QString origine = QDir(altrove.path()).filePath(nome);
        ScriviFile(origine, "contenuto");
        QVERIFY(QFileInfo::exists(origine));
        const QString cartella = env->Percorso(QStringLiteral("Documenti_Allegati"));
        S().modale = [&](QDialog *d) {
            S().fileDaAprire.enqueue(origine);
            Premi(d, "btnSfoglia01");
            QCOMPARE(Box(d, "txtFile01")->text(), copiato);
            Premi(d, "btnApplica");
        };
        Premi(a.get(), "cmdAllega");
        QVERIFY2(S().messaggi.isEmpty(), qPrintable(S().UltimoMessaggio()));
        QCOMPARE(Costruttore::LeggiFile(QDir(cartella).filePath(copiato)), QByteArray("contenuto"));
        QCOMPARE(QDir(cartella).entryList(QDir::Files | QDir::Hidden), QStringList{copiato});

        Premi(a.get(), "cmdSalva");
        a->MostraScheda(1);
        S().modale = [&](QDialog *d) {
            QCOMPARE(Box(d, "txtFile01")->text(), copiato);
            Premi(d, "btnApri01");
        };
        Premi(a.get(), "cmdAllega");
        QCOMPARE(S().urlAperti.value(0).toLocalFile(), QDir(cartella).filePath(copiato));
    }

    void apriSoloNellaCartella_data()
    {
        QTest::addColumn<QByteArray>("campo");
        QTest::newRow("percorso assoluto") << QByteArray("/etc/shadow");
        QTest::newRow("risalita") << QByteArray("../../../x");
        QTest::newRow("risalita alla Windows") << QByteArray("..\\..\\x");
        QTest::newRow("sottocartella") << QByteArray("sotto/doc.txt");
        QTest::newRow("due punti") << QByteArray("..");
        QTest::newRow("collegamento") << QByteArray("collegamento.txt");
    }
    void apriSoloNellaCartella()
    {
        // A record made elsewhere may name any file: only a plain name inside
        // "Documenti_Allegati" is handed to the desktop.
        QFETCH(QByteArray, campo);
        const QString cartella = env->Percorso(QStringLiteral("Documenti_Allegati"));
        QVERIFY(QDir().mkpath(cartella));
        QVERIFY(QFile::link(QStringLiteral("/etc/hostname"),
                            QDir(cartella).filePath(QStringLiteral("collegamento.txt"))));
        ConScheda(Costruttore::Record({{"Tesserato", "ROSSI"},
                                       {"DataRil", "01/01/2025"},
                                       {"DataScade", "31/12/2025"},
                                       {"File02", campo}}));
        S().modale = [&](QDialog *d) { Premi(d, "btnApri02"); };
        Premi(a.get(), "cmdAllega");
        QCOMPARE(S().modaliMostrati.value(0), QStringLiteral("TfrmAllegaCartella"));
        QVERIFY(S().aperti.isEmpty());
        QCOMPARE(S().UltimaForma(), Piattaforma::Forma::Avviso);
        QVERIFY(S().UltimoMessaggio().contains(QStringLiteral("\"Nome 2\u00B0 file allegato\"")));
        QVERIFY(S().UltimoMessaggio().contains(QString::fromLatin1(campo)));
    }

    // ---- E-mail ------------------------------------------------------------------------

    void avvisoScadenza()
    {
        ConScheda(Costruttore::Record({{"Tesserato", "X"},
                                       {"NumTessera", "A12"},
                                       {"DataRil", "01/01/2024"},
                                       {"DataScade", "31/12/2024"},
                                       {"Preavviso", "0"},
                                       {"Email", "tesserato@esempio.it"}}));
        Scrivi(a.get(), "txtTesserato", QStringLiteral("  Tesserato Prova  "));
        Premi(a.get(), "btnEmail");
        const QString corpo = QStringLiteral(
            "Gentilissimo Sig. Tesserato Prova, con la presente le ricordiamo che la sua tessera "
            "n. A12, rilasciata in data 01/01/2024 e con scadenza in data 31/12/2024, ha bisogno "
            "di essere rinnovata. Pertanto, la preghiamo di recarsi con cortese sollecitudine "
            "presso i nostri uffici per provvedere al rinnovo. In attesa di un suo riscontro, le "
            "porgiamo cordiali saluti.");
        QCOMPARE(S().aperti, QStringList{QStringLiteral("\"mailto:tesserato@esempio.it?subject="
                                                        "Rinnovo tessera&body=") +
                                         corpo + QStringLiteral("\"")});
        QVERIFY(S().messaggi.isEmpty());
        const QUrl url = S().urlAperti.value(0);
        QCOMPARE(url.scheme(), QStringLiteral("mailto"));
        QCOMPARE(url.path(), QStringLiteral("tesserato@esempio.it"));
        const QUrlQuery q(url);
        QCOMPARE(q.queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded),
                 QStringLiteral("Rinnovo tessera"));
        QCOMPARE(q.queryItemValue(QStringLiteral("body"), QUrl::FullyDecoded), corpo);
    }

    void avvisoValoriSpeciali_data()
    {
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QString>("email");
        QTest::newRow("e commerciale") << "Rossi & Figli"
                                       << "rossi@esempio.it";
        QTest::newRow("domanda e cancelletto") << "Chi? #1 &body=x"
                                               << "a.b+c@esempio.it";
        QTest::newRow("percento e accenti") << "100% Nicol\u00F2 ="
                                            << "n%20o@esempio.it";
        QTest::newRow("domanda ed e commerciale nell'indirizzo") << "Rossi"
                                                                 << "ro?ssi&cc=x@esempio.it";
    }
    void avvisoValoriSpeciali()
    {
        QFETCH(QString, nome);
        QFETCH(QString, email);
        ConScheda(Costruttore::Record({{"Tesserato", "X"},
                                       {"NumTessera", "7"},
                                       {"DataRil", "01/01/2024"},
                                       {"DataScade", "31/12/2024"},
                                       {"Preavviso", "0"}}));
        Scrivi(a.get(), "txtTesserato", nome);
        Scrivi(a.get(), "txtEmail", email);
        Premi(a.get(), "btnEmail");
        QCOMPARE(S().aperti.size(), 1);
        QVERIFY(S().aperti[0].contains(QStringLiteral("Sig. ") + nome + QStringLiteral(", con")));
        const QUrl url = S().urlAperti.value(0);
        QVERIFY(url.isValid());
        QCOMPARE(url.path(QUrl::FullyDecoded), email);
        const QUrlQuery q(url);
        QCOMPARE(q.queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded),
                 QStringLiteral("Rinnovo tessera"));
        const QString corpo = q.queryItemValue(QStringLiteral("body"), QUrl::FullyDecoded);
        QVERIFY(corpo.startsWith(QStringLiteral("Gentilissimo Sig. ") + nome +
                                 QStringLiteral(", con la presente")));
        QVERIFY(corpo.endsWith(QStringLiteral("cordiali saluti.")));
        QCOMPARE(q.queryItems().size(), 2);

        // The plain link takes the address whole too, encoded like the reminder's.
        Premi(a.get(), "cmdEmail");
        QCOMPARE(S().aperti.value(1), QStringLiteral("\"mailto:") + email + u'"');
        QCOMPARE(S().urlAperti.value(1).path(QUrl::FullyDecoded), email);
        QVERIFY(!S().urlAperti.value(1).hasQuery());
    }

    void avvisoValoreMancante_data()
    {
        QTest::addColumn<QByteArray>("casella");
        QTest::addColumn<QString>("messaggio");
        QTest::newRow("nome") << QByteArray("txtTesserato")
                              << kAvviso + "cognome e nome del tesserato.";
        QTest::newRow("tessera") << QByteArray("txtNumTessera")
                                 << kAvviso + "il numero della tessera.";
        QTest::newRow("rilascio") << QByteArray("txtDataRil")
                                  << kAvviso + "la data di rilascio del tesserino.";
        QTest::newRow("scadenza") << QByteArray("txtDataScade")
                                  << kAvviso + "la data di scadenza del tesserino.";
        QTest::newRow("e-mail") << QByteArray("txtEmail")
                                << kAvviso + "l'indirizzo e-mail del tesserato.";
    }
    void avvisoValoreMancante()
    {
        QFETCH(QByteArray, casella);
        QFETCH(QString, messaggio);
        ConScheda(Costruttore::Record({{"Tesserato", "ROSSI"},
                                       {"NumTessera", "A12"},
                                       {"DataRil", "01/01/2024"},
                                       {"DataScade", "31/12/2024"},
                                       {"Preavviso", "0"},
                                       {"Email", "rossi@esempio.it"}}));
        QLineEdit *box = Box(a.get(), casella.constData());
        if (box->isReadOnly())
            QTest::keyClick(box, Qt::Key_Backspace); // the date boxes empty on Backspace
        else
            Scrivi(a.get(), casella.constData(), QStringLiteral("   "));
        QCOMPARE(box->text().trimmed(), QString());
        Controllo<QWidget>(a.get(), "txtNote")->setFocus();

        Premi(a.get(), "btnEmail");
        QCOMPARE(S().messaggi.size(), 1);
        QCOMPARE(S().messaggi[0].forma, Piattaforma::Forma::Avviso);
        QCOMPARE(S().messaggi[0].testo, messaggio);
        QCOMPARE(a->focusWidget(), box);
        QVERIFY(S().aperti.isEmpty());
    }

    void mailSemplice()
    {
        ConScheda(Costruttore::Tesserato("ROSSI"));
        Scrivi(a.get(), "txtEmail", QStringLiteral("rossi@esempio.it"));
        // The reminder stops at the missing card number; the plain link still works.
        Premi(a.get(), "btnEmail");
        QCOMPARE(S().UltimoMessaggio(), kAvviso + QStringLiteral("il numero della tessera."));
        QCOMPARE(a->focusWidget(), Box(a.get(), "txtNumTessera"));
        Premi(a.get(), "cmdEmail");
        QCOMPARE(S().aperti, QStringList{QStringLiteral("\"mailto:rossi@esempio.it\"")});
        QCOMPARE(S().urlAperti.value(0).toString(), QStringLiteral("mailto:rossi@esempio.it"));

        // Without an address the plain link warns and puts the focus on the box.
        Scrivi(a.get(), "txtEmail", QString());
        Controllo<QWidget>(a.get(), "txtNote")->setFocus();
        Premi(a.get(), "cmdEmail");
        QCOMPARE(S().UltimaForma(), Piattaforma::Forma::Avviso);
        QCOMPARE(S().UltimoMessaggio(),
                 QStringLiteral("Attenzione: indicare l'indirizzo e-mail del tesserato."));
        QCOMPARE(a->focusWidget(), Box(a.get(), "txtEmail"));
        QCOMPARE(S().aperti.size(), 1);
    }

    // ---- Date picker -------------------------------------------------------------------

    void calendarioImporta_data()
    {
        QTest::addColumn<QByteArray>("casella");
        QTest::addColumn<int>("tasto");
        QTest::newRow("Invio in scadenza") << QByteArray("txtDataScade") << int(Qt::Key_Return);
        QTest::newRow("lettera in scadenza") << QByteArray("txtDataScade") << int(Qt::Key_A);
        QTest::newRow("lettera in rilascio") << QByteArray("txtDataRil") << int(Qt::Key_X);
    }
    void calendarioImporta()
    {
        QFETCH(QByteArray, casella);
        QFETCH(int, tasto);
        S().oggi = QDate(2025, 6, 15);
        QLineEdit *box = Box(a.get(), casella.constData());
        QLineEdit *altra = Box(a.get(), casella == "txtDataRil" ? "txtDataScade" : "txtDataRil");
        const QString altraPrima = altra->text();
        box->setText(QStringLiteral("01/01/2020"));
        S().modale = [&](QDialog *d) {
            auto *cal = Controllo<QCalendarWidget>(d, "calAppuntamenti");
            QCOMPARE(cal->selectedDate(), QDate(2025, 6, 15));
            QCOMPARE(Controllo<QLabel>(d, "lblCampo001")->text(),
                     QStringLiteral("Importare una data:"));
            cal->setSelectedDate(QDate(2025, 3, 5));
            Premi(d, "btnImportaData");
            QVERIFY(!d->isVisible());
        };
        QTest::keyClick(box, Qt::Key(tasto));
        QCOMPARE(S().modaliMostrati, QStringList{QStringLiteral("TfrmCalendario")});
        QCOMPARE(box->text(), QStringLiteral("05/03/2025"));
        QCOMPARE(altra->text(), altraPrima);
    }

    void calendarioNonSiApre_data()
    {
        QTest::addColumn<int>("tasto");
        QTest::newRow("Backspace") << int(Qt::Key_Backspace);
        QTest::newRow("Canc") << int(Qt::Key_Delete);
    }
    void calendarioNonSiApre()
    {
        QFETCH(int, tasto);
        QLineEdit *box = Box(a.get(), "txtDataRil");
        QVERIFY(!box->text().isEmpty()); // today, on a new record
        QTest::keyClick(box, Qt::Key(tasto));
        QCOMPARE(box->text(), QString());
        QVERIFY(S().modaliMostrati.isEmpty());
    }

    void calendarioAnnulla()
    {
        QLineEdit *box = Box(a.get(), "txtDataScade");
        box->setText(QStringLiteral("31/12/2025"));
        S().modale = [&](QDialog *d) {
            Controllo<QCalendarWidget>(d, "calAppuntamenti")->setSelectedDate(QDate(2025, 3, 5));
            Premi(d, "btnAnnulla");
            QVERIFY(!d->isVisible());
        };
        QTest::keyClick(box, Qt::Key_Space);
        QCOMPARE(S().modaliMostrati.size(), 1);
        QCOMPARE(box->text(), QStringLiteral("31/12/2025"));

        // An unknown target word imports nothing and leaves the picker open.
        TfrmCalendario c(a.get());
        Controllo<QLabel>(&c, "lblMemory")->setText(QStringLiteral("DataRil"));
        c.show();
        Premi(&c, "btnImportaData");
        QVERIFY(c.isVisible());
        QCOMPARE(Box(a.get(), "txtDataRil")->text(), QStringLiteral("15/06/2025"));
    }
};

QTEST_MAIN(TestCompagni)
#include "tst_compagni.moc"
