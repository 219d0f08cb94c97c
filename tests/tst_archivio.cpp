// Text rules, the member record's byte layout, the archive file, the settings
// file and the password scrambling.
#include "archive/Archivio.h"
#include "archive/Impostazioni.h"
#include "archive/Testo.h"
#include "shell/core/Crypt.h"
#include "support/Supporto.h"

#include <QDir>
#include <QFile>
#include <QtTest>

class TestArchivio : public QObject {
    Q_OBJECT

private slots:
    void trimECasi_data();
    void trimECasi();
    void win1252();
    void dataValida_data();
    void dataValida();
    void soloCifre();

    void offsetCampi();
    void regolaScrittura_data();
    void regolaScrittura();
    void lunghezzaEccessiva();
    void annullata();

    void archivioMancanteCreatoVuoto();
    void conteggioConCoda();
    void accodaESovrascrivi();
    void letturaDaCostruttore();
    void scansioneABlocchi();
    void scritturaFallitaNonLasciaNulla();
    void percorsoFoto();

    void impostazioniRoundTrip();
    void impostazioniCodificheERigheMalformate();
    void impostazioniNonScrivibili();

    void cryptRoundTrip();
    void cryptVuoto();
    void cryptErrori();
};

void TestArchivio::trimECasi_data()
{
    QTest::addColumn<QString>("dato");
    QTest::addColumn<QString>("trim");
    QTest::addColumn<QString>("maiuscolo");
    QTest::addColumn<QString>("minuscolo");
    QTest::newRow("blanks") << "  abc  "
                            << "abc"
                            << "  ABC  "
                            << "  abc  ";
    QTest::newRow("controls") << "\t\r\nAb\x01"
                              << "Ab"
                              << "\t\r\nAB\x01"
                              << "\t\r\nab\x01";
    QTest::newRow("accents kept") << QString::fromUtf8("èÈ z") << QString::fromUtf8("èÈ z")
                                  << QString::fromUtf8("èÈ Z") << QString::fromUtf8("èÈ z");
    QTest::newRow("nbsp is not trimmed")
        << QString::fromUtf8("\u00A0x") << QString::fromUtf8("\u00A0x")
        << QString::fromUtf8("\u00A0X") << QString::fromUtf8("\u00A0x");
    QTest::newRow("empty") << ""
                           << ""
                           << ""
                           << "";
}

void TestArchivio::trimECasi()
{
    QFETCH(QString, dato);
    QFETCH(QString, trim);
    QFETCH(QString, maiuscolo);
    QFETCH(QString, minuscolo);
    QCOMPARE(Testo::Trim32(dato), trim);
    QCOMPARE(Testo::MaiuscoleAZ(dato), maiuscolo);
    QCOMPARE(Testo::MinuscoleAZ(dato), minuscolo);
}

void TestArchivio::win1252()
{
    QCOMPARE(Testo::ToWin1252(QString::fromUtf8("è€Ÿ")), QByteArray("\xE8\x80\x9F"));
    QCOMPARE(Testo::ToWin1252(QString::fromUtf8("a\u4E2Db")), QByteArray("a?b"));
    QCOMPARE(Testo::ToWin1252(QString::fromUtf8("\U0001F600")), QByteArray("?"));
    QCOMPARE(Testo::FromWin1252(QByteArray("\xE8\x80\x9F")), QString::fromUtf8("è€Ÿ"));
    // Every byte survives the round trip.
    QByteArray tutti;
    for (int i = 0; i < 256; ++i)
        tutti.append(char(i));
    QCOMPARE(Testo::ToWin1252(Testo::FromWin1252(tutti)), tutti);
}

void TestArchivio::dataValida_data()
{
    QTest::addColumn<QString>("testo");
    QTest::addColumn<bool>("valida");
    QTest::newRow("leap day") << "29/02/2024" << true;
    QTest::newRow("no leap day") << "29/02/2023" << false;
    QTest::newRow("april 31") << "31/04/2024" << false;
    QTest::newRow("ordinary") << "05/03/2025" << true;
    QTest::newRow("single digits") << "5/3/2025" << true;
    QTest::newRow("month 13") << "01/13/2025" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("letters") << "aa/bb/cccc" << false;
    QTest::newRow("two-digit year") << "01/01/25" << false;
    QTest::newRow("dashes") << "01-01-2025" << false;
}

void TestArchivio::dataValida()
{
    QFETCH(QString, testo);
    QFETCH(bool, valida);
    QCOMPARE(Testo::DataValida(testo), valida);
}

void TestArchivio::soloCifre()
{
    QVERIFY(Testo::SoloCifre("0123456789"));
    QVERIFY(!Testo::SoloCifre(""));
    QVERIFY(!Testo::SoloCifre("12 3"));
    QVERIFY(!Testo::SoloCifre(QString::fromUtf8("１２")));
}

void TestArchivio::offsetCampi()
{
    const auto &formato = Costruttore::Formato();
    QCOMPARE(formato.size(), NumeroCampi);
    for (int i = 0; i < NumeroCampi; ++i) {
        QCOMPARE(QByteArray(CampiScheda[i].nome), formato[i].first);
        QCOMPARE(CampiScheda[i].capacita, formato[i].second);
        QCOMPARE(CampiScheda[i].offset, Costruttore::Offset(formato[i].first));
    }
    QCOMPARE(Definizione(Campo::Note).offset, 1004);
    QCOMPARE(Definizione(Campo::Desc03).offset, 2513);
    QCOMPARE(int(sizeof(TScheda)), 2764);
}

void TestArchivio::regolaScrittura_data()
{
    QTest::addColumn<QString>("testo");
    QTest::addColumn<QByteArray>("byte");
    QTest::newRow("trimmed") << "  ABC  "
                             << QByteArray("\x03"
                                           "ABC");
    QTest::newRow("controls trimmed") << "\tA B\r\n"
                                      << QByteArray("\x03"
                                                    "A B");
    QTest::newRow("e grave") << QString::fromUtf8("è") << QByteArray("\x01\xE8");
    QTest::newRow("outside 1252") << QString::fromUtf8("a\u0416")
                                  << QByteArray("\x02"
                                                "a?");
    QTest::newRow("cut to 50") << QString(60, u'x') << QByteArray("\x32") + QByteArray(50, 'x');
}

void TestArchivio::regolaScrittura()
{
    QFETCH(QString, testo);
    QFETCH(QByteArray, byte);
    TScheda s;
    s.byte.fill(0xAA);
    s.Scrivi(Campo::Tesserato, testo);
    const QByteArray scritto(reinterpret_cast<const char *>(s.byte.data()), byte.size());
    QCOMPARE(scritto, byte);
    QCOMPARE(s.byte[51], 0xAA); // the next field is untouched
    QCOMPARE(s.Leggi(Campo::Tesserato), Testo::FromWin1252(byte.mid(1)));
}

void TestArchivio::lunghezzaEccessiva()
{
    // A length byte beyond the field reads as the capacity: nothing outside is read.
    QByteArray r = Costruttore::Record({{"ProvNasc", "MI"}, {"Sesso", "F"}});
    r[Costruttore::Offset("ProvNasc")] = char(200);
    TScheda s;
    std::memcpy(s.byte.data(), r.constData(), 2764);
    QCOMPARE(s.Leggi(Campo::ProvNasc), QString("MI"));
    r[Costruttore::Offset("Desc03")] = char(255);
    std::memcpy(s.byte.data(), r.constData(), 2764);
    QCOMPARE(s.Leggi(Campo::Desc03).size(), 0); // 250 zero bytes trimmed away
}

void TestArchivio::annullata()
{
    TScheda s;
    s.Scrivi(Campo::Annullata, AnnullataSi);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(s.byte.data()) + 1255, 3),
             QByteArray("\x02\x53\xEC"));
    s.Scrivi(Campo::Annullata, AnnullataNo);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(s.byte.data()) + 1255, 3),
             QByteArray("\x02\x4E\x6F"));
}

void TestArchivio::archivioMancanteCreatoVuoto()
{
    Ambiente env;
    const QString percorso = env.Percorso("Tesserati.pro");
    QVERIFY(!QFile::exists(percorso));
    {
        TArchivio a(env.cartella());
        QCOMPARE(a.NumeroSchede(), 0);
    }
    QVERIFY(QFile::exists(percorso));
    QCOMPARE(QFileInfo(percorso).size(), 0);
}

void TestArchivio::conteggioConCoda()
{
    Ambiente env;
    Costruttore::ScriviArchivio(
        env.Percorso("Tesserati.pro"),
        {Costruttore::Tesserato("A"), Costruttore::Tesserato("B"), Costruttore::Tesserato("C")},
        QByteArray(100, 'z'));
    TArchivio a(env.cartella());
    QCOMPARE(a.NumeroSchede(), 3);
    int visti = 0;
    a.Scorri([&](int p, const TScheda &s) {
        ++visti;
        return p != 3 || s.Leggi(Campo::Tesserato) == "C";
    });
    QCOMPARE(visti, 3);
}

void TestArchivio::accodaESovrascrivi()
{
    Ambiente env;
    const QString percorso = env.Percorso("Tesserati.pro");
    QList<QByteArray> quattro;
    for (const char *n : {"A", "B", "C", "D"})
        quattro << Costruttore::Tesserato(n);
    Costruttore::ScriviArchivio(percorso, quattro);
    TScheda s;
    s.Scrivi(Campo::Tesserato, "E");
    {
        TArchivio a(env.cartella());
        QCOMPARE(a.AccodaScheda(s), 5);
        QCOMPARE(a.NumeroSchede(), 5);
    }
    QCOMPARE(PercorsoFoto(env.cartella(), 5), env.Percorso("5.jpg"));
    const qint64 dimensione = QFileInfo(percorso).size();
    QCOMPARE(dimensione, 5 * 2764);
    s.Scrivi(Campo::Tesserato, "BB");
    {
        TArchivio a(env.cartella());
        a.ScriviScheda(2, s);
    }
    const QByteArray file = Costruttore::LeggiFile(percorso);
    QCOMPARE(file.size(), dimensione);
    QCOMPARE(Costruttore::Campo(file.mid(2764, 2764), "Tesserato"), QByteArray("BB"));
    QCOMPARE(file.mid(0, 2764), quattro[0]);
    QCOMPARE(file.mid(2 * 2764, 2 * 2764), quattro[2] + quattro[3]);
}

void TestArchivio::letturaDaCostruttore()
{
    Ambiente env;
    QMap<QByteArray, QByteArray> campi;
    for (const auto &[nome, n] : Costruttore::Formato())
        campi[nome] = QByteArray(n, 'k');
    campi["Tesserato"] = "  Rossi Niccol\xF2  ";
    campi["Annullata"] = "S\xEC";
    Costruttore::ScriviArchivio(env.Percorso("Tesserati.pro"),
                                {Costruttore::Tesserato("X"), Costruttore::Record(campi)});
    TArchivio a(env.cartella());
    const TScheda s = a.LeggiScheda(2);
    QCOMPARE(s.Leggi(Campo::Tesserato), QString::fromUtf8("Rossi Niccolò"));
    QCOMPARE(s.Leggi(Campo::Annullata), AnnullataSi);
    QCOMPARE(s.Leggi(Campo::Note), QString(250, u'k'));
    QCOMPARE(s.Leggi(Campo::Sesso), QString("k"));
    QVERIFY_THROWS_EXCEPTION(ErroreFile, a.LeggiScheda(3));
}

void TestArchivio::scansioneABlocchi()
{
    // More records than one block, and a change between two scans is seen.
    Ambiente env;
    QList<QByteArray> record;
    for (int i = 1; i <= 1300; ++i)
        record << Costruttore::Tesserato(QByteArray::number(i));
    Costruttore::ScriviArchivio(env.Percorso("Tesserati.pro"), record);
    int ultimo = 0;
    bool ordinati = true;
    {
        TArchivio a(env.cartella());
        a.Scorri([&](int p, const TScheda &s) {
            ordinati = ordinati && p == ultimo + 1 && s.Leggi(Campo::Tesserato).toInt() == p;
            ultimo = p;
            return true;
        });
    }
    QVERIFY(ordinati);
    QCOMPARE(ultimo, 1300);
    {
        TArchivio a(env.cartella());
        TScheda s;
        s.Scrivi(Campo::Tesserato, "cambiato");
        a.ScriviScheda(1000, s);
    }
    QString visto;
    TArchivio a(env.cartella());
    a.Scorri([&](int p, const TScheda &s) {
        if (p == 1000)
            visto = s.Leggi(Campo::Tesserato);
        return p < 1000;
    });
    QCOMPARE(visto, QString("cambiato"));
}

void TestArchivio::scritturaFallitaNonLasciaNulla()
{
    // The archive path is a folder: opening fails and nothing is created.
    Ambiente env;
    QVERIFY(QDir(env.cartella()).mkdir("Tesserati.pro"));
    QVERIFY_THROWS_EXCEPTION(ErroreFile, TArchivio a(env.cartella()));
    // A program folder that does not exist: same.
    QVERIFY_THROWS_EXCEPTION(ErroreFile, TArchivio a(env.Percorso("manca/del/tutto")));
    QVERIFY(!QFile::exists(env.Percorso("manca")));
}

void TestArchivio::percorsoFoto()
{
    QCOMPARE(PercorsoFoto("/x", 1), QString("/x/1.jpg"));
    QCOMPARE(PercorsoFoto("/x", 27), QString("/x/27.jpg"));
}

void TestArchivio::impostazioniRoundTrip()
{
    Ambiente env;
    const QString percorso = env.Percorso("Quorvel.ini");
    QFile f(percorso);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("; commento\r\n[Altro]\r\nchiave=uno\r\n\r\n[Dati Ente]\r\nTitolo=Vecchio\r\n");
    f.close();
    TFileIni ini(percorso);
    QCOMPARE(ini.Leggi("Dati Ente", "Titolo"), QString("Vecchio"));
    QCOMPARE(ini.Leggi("Dati Ente", "Sottotitolo 1", "predef"), QString("predef"));
    QCOMPARE(ini.Leggi("Manca", "x"), QString());
    ini.Scrivi("Dati Ente", "Sottotitolo 1", QString::fromUtf8("Città è bella"));
    ini.Scrivi("Dati Ente", "Titolo", "Nuovo");
    ini.Scrivi("Margini Stampa", "Superiore", "-3");

    const TFileIni riletto(percorso);
    QCOMPARE(riletto.Leggi("Dati Ente", "Sottotitolo 1"), QString::fromUtf8("Città è bella"));
    QCOMPARE(riletto.Leggi("Dati Ente", "Titolo"), QString("Nuovo"));
    QCOMPARE(riletto.Leggi("Margini Stampa", "Superiore"), QString("-3"));
    QCOMPARE(riletto.Leggi("Altro", "chiave"), QString("uno"));
    const QByteArray testo = Costruttore::LeggiFile(percorso);
    QVERIFY(testo.startsWith("; commento\r\n[Altro]\r\nchiave=uno\r\n"));
    QVERIFY(testo.contains("[Dati Ente]\r\nTitolo=Nuovo\r\nSottotitolo 1=Citt\xC3\xA0"));
}

void TestArchivio::impostazioniCodificheERigheMalformate()
{
    Ambiente env;
    const QString percorso = env.Percorso("Quorvel.ini");
    QFile f(percorso);
    QVERIFY(f.open(QIODevice::WriteOnly));
    // Windows-1252 text, a byte-order mark would be UTF-8 only, garbage lines, LF endings.
    f.write("garbage without equals\n[Dati Ente\n=senza chiave\n[Dati Ente]\nTitolo = Citt\xE0 "
            "\n\x01\x02\n");
    f.close();
    TFileIni ini(percorso);
    QCOMPARE(ini.Leggi("Dati Ente", "Titolo"), QString::fromUtf8("Città"));

    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("\xEF\xBB\xBF[Accesso]\r\nValore=ABCD\r\n");
    f.close();
    QCOMPARE(TFileIni(percorso).Leggi("Accesso", "Valore"), QString("ABCD"));
}

void TestArchivio::impostazioniNonScrivibili()
{
    Ambiente env;
    QVERIFY(QDir(env.cartella()).mkdir("Quorvel.ini"));
    TFileIni ini(env.Percorso("Quorvel.ini"));
    try {
        ini.Scrivi("Dati Ente", "Titolo", "x");
        QFAIL("no error");
    } catch (const ErroreFile &e) {
        QCOMPARE(e.testo(), "Unable to write to " + env.Percorso("Quorvel.ini"));
    }
}

void TestArchivio::cryptRoundTrip()
{
    const QString iniziale = Crypt::Encrypt("GIRASOLIDILUNA");
    QCOMPARE(iniziale.size(), 28);
    QCOMPARE(Crypt::Decrypt(iniziale), QString("GIRASOLIDILUNA"));
    QCOMPARE(Crypt::Decrypt(iniziale.toLower()), QString("GIRASOLIDILUNA"));
    QCOMPARE(Crypt::Decrypt(iniziale + "F"), QString("GIRASOLIDILUNA")); // odd last ignored
    QString tutti;
    for (int i = 0; i < 255; ++i)
        tutti.append(QChar(char16_t(i + 1)));
    QCOMPARE(Crypt::Decrypt(Crypt::Encrypt(tutti)), tutti);
    // Two hex digits per character, upper case.
    QVERIFY(QRegularExpression("^[0-9A-F]+$").match(Crypt::Encrypt(tutti)).hasMatch());
    // The first byte: 'G' xor the key's high byte 0xE2.
    QCOMPARE(Crypt::Encrypt("G"), QString("A5"));
}

void TestArchivio::cryptVuoto()
{
    QCOMPARE(Crypt::Encrypt(""), QString(""));
    QCOMPARE(Crypt::Decrypt(""), QString(""));
}

void TestArchivio::cryptErrori()
{
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, Crypt::Decrypt("A5ZZ"));
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, Crypt::Decrypt("+1"));
}

QTEST_GUILESS_MAIN(TestArchivio)
#include "tst_archivio.moc"
