// The door check: cards printed by our own single-card printing, rendered at 300 dpi and
// shown to the screen's camera in 1280 x 720 frames (turned, blurred), give the member and
// the verdict; a barcode scanner's line or a typed number in txtCodice does the same; each
// check is logged once in "Ingressi.csv" (or on the server) and the day's list prints.
#include "archive/Impostazioni.h"
#include "cards/Tessera.h"
#include "cards/core/CodiceQR.h"
#include "cards/core/CodiceVerifica.h"
#include "ingressi/Ingressi.h"
#include "ingressi/core/LettoreQR.h"
#include "platform/SorgenteFotogrammi.h"
#include "shell/Avvio.h"
#include "storage/ConnessioneServer.h"
#include "support/ServerProva.h"
#include "support/Stampati.h"
#include "support/Supporto.h"
#include "widgets/Controlli.h"
#include "widgets/Sottofondo.h"
#include "widgets/Tavolozza.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QtTest>

namespace {

// Oggi in the simulation is 15/06/2025.
struct Socio {
    QByteArray nome, tessera, scade;
};
const Socio kSoci[] = {{"ROSSI MARIO", "2025/001", "31/12/2025"},
                       {"BIANCHI ANNA", "2025/002", "31/05/2025"},
                       {"VERDI LUCA", "2025/003", "31/12/2025"},
                       {"NERI PAOLA", "2025/004", "31/12/2025"}};

// The members, each with a photo; `annullata` marks record 3, `cambiata` gives record 4
// another card number (its printed card then belongs to nobody).
void ScriviSoci(Ambiente &env, bool annullata, bool cambiata)
{
    QList<QByteArray> record;
    for (int i = 0; i < 4; ++i) {
        QVERIFY(Immagine(40, 50, QColor(40 * i, 80, 120))
                    .save(env.Percorso(QString("%1.jpg").arg(i + 1))));
        record << Costruttore::Record(
            {{"Tesserato", kSoci[i].nome},
             {"Carica", "Socio"},
             {"NumTessera", i == 3 && cambiata ? QByteArray("2025/104") : kSoci[i].tessera},
             {"DataRil", "01/01/2025"},
             {"DataScade", kSoci[i].scade},
             {"Preavviso", "0"},
             {"Annullata", i == 2 && annullata ? "S\xEC" : "No"}});
    }
    Costruttore::ScriviArchivio(env.Percorso("Tesserati.pro"), record);
}

void ScriviOpzioni(Ambiente &env, bool verifica)
{
    ScriviIni(env,
              QByteArray("[Dati Ente]\r\nDenominazione=Circolo Aurora\r\nCodiceQR=S\xC3\xAC\r\n"
                         "TestoQR={tessera} {tesserato} {scadenza}\r\nTipoQR=") +
                  (verifica ? "verifica" : "testo") + "\r\n");
}

// The card of record `posizione` printed by the single-card screen to a PDF, rendered at
// 300 dpi and cut to the card with a white border.
QImage StampaTessera(Ambiente &env, int posizione)
{
    const QString pdf = env.Percorso(QStringLiteral("tessera%1.pdf").arg(posizione));
    env->stampaSuPdf = pdf;
    {
        TfrmTessera frm;
        frm.resize(1366, 768);
        frm.show();
        Clic(&frm, "cmdPrimo");
        for (int i = 1; i < posizione; ++i)
            Clic(&frm, "cmdAvanti");
        env->modale = [](QDialog *d) { Clic(d, "btnStampa"); };
        Clic(&frm, "cmdStampa");
        env->modale = nullptr;
    }
    const QImage pagina = Rasterizza(pdf, 1, 300);
    return pagina.isNull() ? pagina : pagina.copy(Pixel(QRectF(6, 6, 94, 62), 300));
}

// A 1280 x 720 camera frame: the card 800 pixels wide at the middle of a grey room, turned
// by `gradi`, then softened by a 3 x 3 blur when `sfoca`.
QImage Fotogramma(const QImage &carta, double gradi, bool sfoca)
{
    QImage f(1280, 720, QImage::Format_RGB32);
    f.fill(QColor(150, 150, 140));
    {
        QPainter p(&f);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.translate(640, 360);
        p.rotate(gradi);
        const QImage piccola = carta.scaledToWidth(800, Qt::SmoothTransformation);
        p.drawImage(QPointF(-piccola.width() / 2.0, -piccola.height() / 2.0), piccola);
    }
    if (!sfoca)
        return f;
    QImage b = f;
    for (int y = 1; y < f.height() - 1; ++y)
        for (int x = 1; x < f.width() - 1; ++x) {
            int r = 0, g = 0, bl = 0;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const QRgb c = f.pixel(x + dx, y + dy);
                    r += qRed(c);
                    g += qGreen(c);
                    bl += qBlue(c);
                }
            b.setPixel(x, y, qRgb(r / 9, g / 9, bl / 9));
        }
    return b;
}

// A card whose code was made by hand: the QR of `testo` pasted over a printed card's code.
QImage CartaConCodice(const QImage &carta, const QString &testo)
{
    QImage c = carta.convertToFormat(QImage::Format_RGB32);
    // The code sits at the right end of the top band, 12 mm square, 6 mm in from our cut.
    const QRect area = Pixel(QRectF(4 + 86 - 12, 4, 12, 12), 300);
    QPainter p(&c);
    p.fillRect(area, Qt::white);
    const CodiceQR::TMatrice m = CodiceQR::Codifica(testo);
    const double modulo = double(area.width()) / (m.lato + 2 * CodiceQR::ZonaMuta);
    for (int y = 0; y < m.lato; ++y)
        for (int x = 0; x < m.lato; ++x)
            if (m.Scuro(x, y))
                p.fillRect(QRectF(area.left() + (x + CodiceQR::ZonaMuta) * modulo,
                                  area.top() + (y + CodiceQR::ZonaMuta) * modulo, modulo, modulo),
                           Qt::black);
    return c;
}

QStringList RigheRegistro(Ambiente &env)
{
    QFile f(env.Percorso("Ingressi.csv"));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
}

} // namespace

class TestIngressi : public QObject {
    Q_OBJECT

    std::unique_ptr<Ambiente> env;
    SorgenteManuale *camera = nullptr;
    // The printed cards: by position, and one printed with the plain-text code.
    QMap<int, QImage> carte;
    QImage cartaTesto;
    QString codice1; // the code of record 1's card, as zbarimg reads it

    // The door screen, shown, its camera fed by hand.
    std::unique_ptr<TfrmIngressi> Apri()
    {
        auto frm = std::make_unique<TfrmIngressi>();
        frm->resize(1280, 720);
        frm->show();
        return frm;
    }
    void Mostra(const QImage &carta, double gradi = 15, bool sfoca = true)
    {
        QVERIFY(camera && camera->Attiva());
        camera->Invia(Fotogramma(carta, gradi, sfoca));
    }
    static QString Esito(TfrmIngressi *f) { return Controllo<QLabel>(f, "lblEsito")->text(); }

private slots:
    void initTestCase()
    {
        // The cards, printed once: signed ones for the four members, then a plain-text one.
        env = std::make_unique<Ambiente>();
        ScriviSoci(*env, false, false);
        ScriviOpzioni(*env, true);
        for (int p = 1; p <= 4; ++p) {
            carte[p] = StampaTessera(*env, p);
            QVERIFY(!carte[p].isNull());
        }
        codice1 = LeggiCodice(carte[1], env->cartella());
        QVERIFY2(codice1.startsWith(QStringLiteral("QV1|2025/001|20251231|")), qPrintable(codice1));
        ScriviOpzioni(*env, false);
        cartaTesto = StampaTessera(*env, 1);
        QCOMPARE(LeggiCodice(cartaTesto, env->cartella()),
                 QStringLiteral("2025/001 ROSSI MARIO 31/12/2025"));
        QVERIFY(QFile::exists(env->Percorso("ChiaveVerifica.bin")));
        QCOMPARE(QFile(env->Percorso("ChiaveVerifica.bin")).permissions() & 0x0077,
                 QFileDevice::Permissions());
    }

    void init()
    {
        // The same folder (its key signed the cards), a new log each time.
        QFile::remove(env->Percorso("Ingressi.csv"));
        ScriviSoci(*env, true, true);
        ScriviOpzioni(*env, true);
        env->sim().messaggi.clear();
        env->sim().modaliMostrati.clear();
        env->sim().suoni.clear();
        env->sim().dialoghiStampa = 0;
        camera = nullptr;
        env->sim().fotocamera = [this](QObject *p) {
            auto s = std::make_unique<SorgenteManuale>(true, p);
            camera = s.get();
            return s;
        };
    }

    // Each card held up to the camera: the member, the verdict in the band, its own sound,
    // one line in the log.
    void verdetto_data()
    {
        QTest::addColumn<QString>("carta");
        QTest::addColumn<double>("gradi");
        QTest::addColumn<QString>("esito");
        QTest::addColumn<QString>("tesserato");
        QTest::addColumn<QString>("suono");
        QTest::newRow("valida, dritta") << "1" << 0.0 << "VALIDA"
                                        << "ROSSI MARIO"
                                        << "valida";
        QTest::newRow("valida, girata") << "1" << 15.0 << "VALIDA"
                                        << "ROSSI MARIO"
                                        << "valida";
        QTest::newRow("scaduta") << "2" << 15.0 << "SCADUTA il 31/05/2025"
                                 << "BIANCHI ANNA"
                                 << "scaduta";
        QTest::newRow("annullata") << "3" << -15.0 << "ANNULLATA"
                                   << "VERDI LUCA"
                                   << "annullata";
        QTest::newRow("sconosciuta") << "4" << 15.0 << "NON RICONOSCIUTA"
                                     << ""
                                     << "sconosciuta";
        QTest::newRow("scadenza cambiata") << "scadenza" << 15.0 << "CONTRAFFATTA"
                                           << ""
                                           << "contraffatta";
        QTest::newRow("senza chiave") << "chiave" << 15.0 << "CONTRAFFATTA"
                                      << ""
                                      << "contraffatta";
        QTest::newRow("senza firma") << "testo" << 15.0 << "CONTRAFFATTA"
                                     << ""
                                     << "contraffatta";
    }
    void verdetto()
    {
        QFETCH(QString, carta);
        QFETCH(double, gradi);
        QFETCH(QString, esito);
        QFETCH(QString, tesserato);
        QFETCH(QString, suono);
        QImage immagine;
        if (carta == QLatin1String("scadenza"))
            immagine =
                CartaConCodice(carte[1], QString(codice1).replace(QStringLiteral("|20251231|"),
                                                                  QStringLiteral("|20261231|")));
        else if (carta == QLatin1String("chiave"))
            immagine =
                CartaConCodice(carte[1], CodiceVerifica::Componi(QStringLiteral("2025/001"),
                                                                 QStringLiteral("31/12/2026"),
                                                                 CodiceVerifica::NuovaChiave()));
        else if (carta == QLatin1String("testo"))
            immagine = cartaTesto;
        else
            immagine = carte[carta.toInt()];

        const auto frm = Apri();
        Mostra(immagine, gradi);
        QTRY_COMPARE_WITH_TIMEOUT(Esito(frm.get()), esito, 10000);
        QCOMPARE(Controllo<QLabel>(frm.get(), "lblTesserato")->text(), tesserato);
        const QString wav = QStringLiteral(":/ingressi/%1.wav").arg(suono);
        QCOMPARE(env->sim().suoni, QStringList{wav});
        QVERIFY(QFile::exists(wav));
        QVERIFY(Controllo<QLabel>(frm.get(), "lblEsito")
                    ->styleSheet()
                    .contains(Tavolozza::Nome(
                        esito == QLatin1String("VALIDA") ? Tavolozza::Verde : Tavolozza::Cremisi)));
        // The member's photo beside the verdict, none for a card of nobody.
        QCOMPARE(Controllo<TImmagine>(frm.get(), "imgFoto")->Picture().size(),
                 tesserato.isEmpty() ? QSize(0, 0) : QSize(40, 50));
        const QStringList righe = RigheRegistro(*env);
        QCOMPARE(righe.size(), 2);
        QVERIFY2(righe[1].startsWith(QStringLiteral("2025-06-15;10:30:00;")), qPrintable(righe[1]));
        QVERIFY2(righe[1].endsWith(u';' + esito), qPrintable(righe[1]));
        QCOMPARE(Controllo<QLabel>(frm.get(), "lblValidi")->text(),
                 QStringLiteral("Ingressi validi oggi: %1").arg(esito == QLatin1String("VALIDA")));
    }

    // A card held up for a while is checked once; another card in between counts anew.
    void stessaTessera()
    {
        const auto frm = Apri();
        Mostra(carte[1]);
        QTRY_COMPARE_WITH_TIMEOUT(Esito(frm.get()), QStringLiteral("VALIDA"), 10000);
        Mostra(carte[1], -10);
        // The frame is read (the worker is free again) and changes nothing.
        Mostra(carte[1], 5);
        Mostra(carte[2]);
        QTRY_COMPARE_WITH_TIMEOUT(Esito(frm.get()), QStringLiteral("SCADUTA il 31/05/2025"), 10000);
        Mostra(carte[1]);
        QTRY_COMPARE_WITH_TIMEOUT(Esito(frm.get()), QStringLiteral("VALIDA"), 10000);
        const QStringList righe = RigheRegistro(*env);
        QCOMPARE(righe.size(), 4);
        QCOMPARE(env->sim().suoni.size(), 3);
        QCOMPARE(Controllo<QLabel>(frm.get(), "lblValidi")->text(),
                 QStringLiteral("Ingressi validi oggi: 2"));
    }

    // A barcode scanner types the code and Enter; a volunteer types the card number.
    void rigaScansionata_data()
    {
        QTest::addColumn<bool>("verifica");
        QTest::addColumn<QString>("riga");
        QTest::addColumn<QString>("esito");
        QTest::newRow("codice firmato") << true << "@1"
                                        << "VALIDA";
        QTest::newRow("numero scritto") << true << "2025/002"
                                        << "SCADUTA il 31/05/2025";
        QTest::newRow("numero con spazi") << true << "  2025/001 "
                                          << "VALIDA";
        QTest::newRow("numero sconosciuto") << true << "2025/999"
                                            << "NON RICONOSCIUTA";
        QTest::newRow("testo senza firma") << true << "2025/001 ROSSI MARIO 31/12/2025"
                                           << "CONTRAFFATTA";
        QTest::newRow("testo, TipoQR=testo") << false << "2025/001 ROSSI MARIO 31/12/2025"
                                             << "VALIDA";
        QTest::newRow("annullata, TipoQR=testo") << false << "2025/003"
                                                 << "ANNULLATA";
        QTest::newRow("sconosciuto, TipoQR=testo") << false << "CIAO"
                                                   << "NON RICONOSCIUTA";
    }
    void rigaScansionata()
    {
        QFETCH(bool, verifica);
        QFETCH(QString, riga);
        QFETCH(QString, esito);
        ScriviOpzioni(*env, verifica);
        if (riga == QLatin1String("@1"))
            riga = codice1;
        // Without a camera the box is the way in, and the screen says so.
        env->sim().fotocamera = [](QObject *p) {
            return std::make_unique<SorgenteManuale>(false, p);
        };
        const auto frm = Apri();
        QVERIFY(Controllo<QLabel>(frm.get(), "lblStato")->isVisible());
        auto *txt = Controllo<QLineEdit>(frm.get(), "txtCodice");
        QTest::keyClicks(txt, riga);
        QTest::keyClick(txt, Qt::Key_Return);
        QCOMPARE(Esito(frm.get()), esito);
        QVERIFY(txt->text().isEmpty());
        QCOMPARE(RigheRegistro(*env).size(), 2);
    }

    // The log: header, byte order mark, ISO dates; the day's valid entries counted again at
    // the next opening, and printed through the report engine.
    void registroEStampa()
    {
        {
            const auto frm = Apri();
            auto *txt = Controllo<QLineEdit>(frm.get(), "txtCodice");
            for (const char *n : {"2025/001", "2025/002", "2025/104"}) {
                QTest::keyClicks(txt, QString::fromLatin1(n));
                QTest::keyClick(txt, Qt::Key_Return);
            }
        }
        QFile f(env->Percorso("Ingressi.csv"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray byte = f.readAll();
        QVERIFY(byte.startsWith("\xEF\xBB\xBF"
                                "Data;Ora;Tessera;Tesserato;Posizione;Esito\r\n"));
        QVERIFY(byte.contains("2025-06-15;10:30:00;2025/001;ROSSI MARIO;1;VALIDA\r\n"));
        QVERIFY(byte.contains("2025-06-15;10:30:00;2025/104;NERI PAOLA;4;VALIDA\r\n"));

        const auto frm = Apri();
        QCOMPARE(Controllo<QLabel>(frm.get(), "lblValidi")->text(),
                 QStringLiteral("Ingressi validi oggi: 2"));
        const QString pdf = env->Percorso("ingressi.pdf");
        env->sim().stampaSuPdf = pdf;
        Clic(frm.get(), "cmdStampa");
        QCOMPARE(env->sim().dialoghiStampa, 1);
        const QString testo = Esegui(QStringLiteral("pdftotext"),
                                     {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        QVERIFY2(testo.contains(QStringLiteral("Ingressi del 15/06/2025 - validi: 2")),
                 qPrintable(testo));
        QVERIFY(testo.contains(QStringLiteral("BIANCHI ANNA")));
        QVERIFY(testo.contains(QStringLiteral("SCADUTA il 31/05/2025")));
    }

    // The log cannot be written: the volunteer is told, and the verdict still shows.
    void registroNonScrivibile()
    {
        QVERIFY(QDir(env->cartella()).mkdir(QStringLiteral("Ingressi.csv")));
        const auto frm = Apri();
        auto *txt = Controllo<QLineEdit>(frm.get(), "txtCodice");
        QTest::keyClicks(txt, QStringLiteral("2025/001"));
        QTest::keyClick(txt, Qt::Key_Return);
        QCOMPARE(Esito(frm.get()), QStringLiteral("VALIDA"));
        QCOMPARE(env->sim().UltimaForma(), Piattaforma::Forma::Errore);
        QVERIFY(env->sim().UltimoMessaggio().contains(QStringLiteral("Ingressi.csv")));
        QVERIFY(QDir(env->cartella()).rmdir(QStringLiteral("Ingressi.csv")));
    }

    // The start screen's button opens the door screen.
    void dallAvvio()
    {
        TfrmAvvio avvio;
        bool accesa = false, spenta = false;
        env->sim().modale = [&](QDialog *d) {
            accesa = camera && camera->Attiva();
            QVERIFY(Controllo<QLineEdit>(d, "txtCodice")->isVisible());
            Clic(d, "cmdEsci");
            spenta = !camera->Attiva();
        };
        Clic(&avvio, "cmdIngressi");
        env->sim().modale = nullptr;
        QCOMPARE(env->sim().modaliMostrati, QStringList{QStringLiteral("TfrmIngressi")});
        QVERIFY(accesa);
        QVERIFY(spenta);
    }

    // The organization data screen chooses the code: "Codice di verifica" keeps TipoQR and
    // the single-card screen shows the signed code at once; unticked, the text again.
    void sceltaNeiDatiEnte()
    {
        ScriviIni(*env, "[Dati Ente]\r\nTestoQR={tessera}\r\n");
        TfrmTessera frm;
        frm.resize(1366, 768);
        frm.show();
        Clic(&frm, "cmdPrimo");
        for (const bool verifica : {true, false}) {
            env->sim().modale = [&](QDialog *d) {
                auto *chk = Controllo<QCheckBox>(d, "chkVerificaQR");
                QCOMPARE(chk->text(), QStringLiteral("Codice di verifica"));
                QCOMPARE(chk->isChecked(), !verifica);
                if (verifica)
                    Clic(d, "chkQR");
                Clic(d, "chkVerificaQR");
                QCOMPARE(Controllo<QLineEdit>(d, "txtQR")->isEnabled(), !verifica);
                Clic(d, "btnApplica");
            };
            QTest::mouseClick(Controllo<QLabel>(&frm, "titAssociazione"), Qt::LeftButton);
            QCOMPARE(TFileIni(env->Percorso("Quorvel.ini")).Leggi("Dati Ente", "TipoQR"),
                     verifica ? QStringLiteral("verifica") : QStringLiteral("testo"));
            const QPixmap codice = Controllo<QLabel>(&frm, "imgCodiceQR")->pixmap();
            const QImage grande = codice.toImage().scaled(codice.size() * 4);
            QCOMPARE(LettoreQR::Leggi(grande).value(0),
                     verifica ? codice1 : QStringLiteral("2025/001"));
        }
        env->sim().modale = nullptr;
        QCOMPARE(env->sim().modaliMostrati.size(), 2);
    }

    // The signed code: an edited card number or expiry, another key or a cut signature fail;
    // a card number holding the separator still reads whole.
    void codiceFirmato_data()
    {
        QTest::addColumn<QString>("codice");
        QTest::addColumn<bool>("valida");
        const QByteArray chiave(32, 'k');
        const QString buono =
            CodiceVerifica::Componi(QStringLiteral("A|7"), QStringLiteral("31/12/2025"), chiave);
        QTest::newRow("buono") << buono << true;
        QTest::newRow("scadenza") << QString(buono).replace(QStringLiteral("|20251231|"),
                                                            QStringLiteral("|20251230|"))
                                  << false;
        QTest::newRow("numero") << QString(buono).replace(QStringLiteral("A|7"),
                                                          QStringLiteral("A|8"))
                                << false;
        QTest::newRow("firma tagliata") << buono.chopped(1) << false;
        QTest::newRow("altra chiave")
            << CodiceVerifica::Componi(QStringLiteral("A|7"), QStringLiteral("31/12/2025"),
                                       QByteArray(32, 'j'))
            << false;
    }
    void codiceFirmato()
    {
        QFETCH(QString, codice);
        QFETCH(bool, valida);
        const auto l = CodiceVerifica::Leggi(codice, QByteArray(32, 'k'));
        QVERIFY(l);
        QCOMPARE(l->firmaValida, valida);
        if (valida) {
            QCOMPARE(l->numTessera, QStringLiteral("A|7"));
            QCOMPARE(l->scadenza, QStringLiteral("20251231"));
        }
        QVERIFY(!CodiceVerifica::Leggi(QStringLiteral("2025/001 ROSSI"), QByteArray(32, 'k')));
    }

    // The server keeps one key for every desk (a desk makes it, none replaces it) and the
    // log, which a desk appends to but cannot change.
    void server()
    {
        SERVER_RICHIESTO();
        const QString db = ServerProva::NuovoDatabase();
        ServerProva::CreaUtente(QStringLiteral("ingressi_porta"),
                                ServerProva::Password(QStringLiteral("ingressi_porta")));
        Ambiente a;
        ServerProva::Sportello(a.cartella(), db, QStringLiteral("ingressi_porta"));
        const auto d = ApriDeposito(a.cartella());
        const QByteArray chiave = d->ChiaveVerifica();
        QCOMPARE(chiave.size(), 32);
        QCOMPARE(ApriDeposito(a.cartella())->ChiaveVerifica(), chiave);
        const QDateTime quando(QDate(2025, 6, 15), QTime(21, 5, 7));
        d->RegistraIngresso({quando, QStringLiteral("2025/001"), QStringLiteral("ROSSI MARIO"), 1,
                             QStringLiteral("VALIDA")});
        d->RegistraIngresso({quando.addDays(1), QStringLiteral("2025/002"), QString(), 0,
                             QStringLiteral("NON RICONOSCIUTA")});
        const auto giorno = d->IngressiDel(QDate(2025, 6, 15));
        QCOMPARE(giorno.size(), size_t(1));
        QCOMPARE(giorno[0].quando, quando);
        QCOMPARE(giorno[0].tesserato, QStringLiteral("ROSSI MARIO"));
        QCOMPARE(giorno[0].esito, QStringLiteral("VALIDA"));
        // The desk made the key and appended to the log above; it may change or delete neither.
        const auto puo = [&](const char *tabella, const char *diritto) {
            return !ServerProva::Amministra(
                db, QStringLiteral("DO $$ BEGIN IF has_table_privilege('ingressi_porta', "
                                   "'quorvel.%1', '%2') THEN RAISE EXCEPTION 'si'; END IF; "
                                   "END $$")
                        .arg(QLatin1String(tabella), QLatin1String(diritto)));
        };
        for (const char *tabella : {"chiave_verifica", "ingressi"})
            for (const char *diritto : {"UPDATE", "DELETE", "TRUNCATE"})
                QVERIFY2(!puo(tabella, diritto), diritto);
        ConnessioneServer::Dimentica();
    }

    // The screen's reading thread ends once the screen is gone.
    void cleanup() { QTRY_COMPARE_WITH_TIMEOUT(Sottofondo::InCorso(), 0, 10000); }

    void cleanupTestCase() { env.reset(); }
};

QTEST_MAIN(TestIngressi)
#include "tst_ingressi.moc"
