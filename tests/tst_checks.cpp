// Check tools: the four algorithms and their screens.
#include "checks/ControlliCodici.h"

#include "support/Supporto.h"

#include <QtTest>

class TestChecks : public QObject {
    Q_OBJECT

private slots:
    void codFisc_data();
    void codFisc();
    void codFiscTabelle();
    void partitaIva_data();
    void partitaIva();
    void uffici();
    void tipoCarta_data();
    void tipoCarta();
    void iban_data();
    void iban();
    void residuoIban_data();
    void residuoIban();
    void lettereInNumeri();
};

void TestChecks::codFisc_data()
{
    QTest::addColumn<QString>("codice");
    QTest::addColumn<bool>("valido");
    QTest::newRow("valido") << "RSSMRA85T10A562S" << true;
    QTest::newRow("altro valido") << "BNCGVN70A01F205K" << true;
    QTest::newRow("donna") << "VRDLGU80M41H501L" << true;
    QTest::newRow("lettere al posto delle cifre") << "RSSMRAURTMLARSNL" << true;
    QTest::newRow("carattere di controllo sbagliato") << "RSSMRA85T10A562T" << false;
    QTest::newRow("ultimo carattere cifra") << "RSSMRA85T10A5620" << false;
    QTest::newRow("minuscole non convertite") << "rssmra85t10a562s" << false;
    QTest::newRow("15 caratteri") << "RSSMRA85T10A562" << false;
    QTest::newRow("17 caratteri") << "RSSMRA85T10A562SX" << false;
    QTest::newRow("vuoto") << "" << false;
    // A blank, a hyphen or an accented letter counts 0: in place of the "R" (8) at
    // position 5 the sum drops from 18 (S) to 10 (K).
    QTest::newRow("spazio conta zero") << "RSSM A85T10A562K" << true;
    QTest::newRow("trattino conta zero") << "RSSM-A85T10A562K" << true;
    QTest::newRow("accentata conta zero") << QStringLiteral("RSSM\u00C0A85T10A562K") << true;
    QTest::newRow("spazio con il vecchio controllo") << "RSSM A85T10A562S" << false;
}

void TestChecks::codFisc()
{
    QFETCH(QString, codice);
    QFETCH(bool, valido);
    QCOMPARE(ControllaCodFisc(codice), valido);
}

void TestChecks::codFiscTabelle()
{
    // "0" and "A" count 1 at odd positions, "1" and "B" count 0; the seven
    // characters between "9" and "A" count 0 in both tables.
    const QString base = QStringLiteral("AAAAAAAAAAAAAAA");
    const QChar atteso = QChar(u'A' + (8 * 1) % 26); // eight odd positions of "A" = 1, even "A" = 0
    QVERIFY(ControllaCodFisc(base + atteso));
    QVERIFY(ControllaCodFisc(QStringLiteral("0A0A0A0A0A0A0A0") + atteso));
    QVERIFY(ControllaCodFisc(QStringLiteral("A0A0A0A0A0A0A0A") + atteso));
    QVERIFY(ControllaCodFisc(QStringLiteral("1B1B1B1B1B1B1B1B").left(15) + QChar(u'A' + 7)));
    QVERIFY(ControllaCodFisc(QStringLiteral("B1B1B1B1B1B1B1B") + QChar(u'A' + 7)));
    QVERIFY(ControllaCodFisc(QStringLiteral(":;<=>?@:;<=>?@:") + QChar(u'A')));
    // Z at every position: odd 23 x 8 + even 25 x 7 = 359, 359 mod 26 = 21 -> V.
    QVERIFY(ControllaCodFisc(QStringLiteral("ZZZZZZZZZZZZZZZV")));
}

void TestChecks::partitaIva_data()
{
    QTest::addColumn<QString>("numero");
    QTest::addColumn<bool>("valido");
    QTest::newRow("Napoli 1") << "12345670637" << true;
    QTest::newRow("Bologna 2 da 120") << "09876541203" << true;
    QTest::newRow("ufficio senza voce") << "02468021106" << true;
    QTest::newRow("tutti zeri") << "00000000000" << true;
    QTest::newRow("cifra di controllo sbagliata") << "12345670638" << false;
    QTest::newRow("cifre vicine scambiate") << "21345670637" << false;
    QTest::newRow("10 cifre") << "1234567063" << false;
    QTest::newRow("12 cifre") << "123456706370" << false;
    QTest::newRow("lettera") << "1234567O637" << false;
    QTest::newRow("spazio") << "1234567063 " << false;
    QTest::newRow("vuoto") << "" << false;
}

void TestChecks::partitaIva()
{
    QFETCH(QString, numero);
    QFETCH(bool, valido);
    QCOMPARE(ControllaPartitaIva(numero), valido);
}

void TestChecks::uffici()
{
    QCOMPARE(UfficiIva().size(), 104);
    QCOMPARE(UfficioIva("001"), QStringLiteral("Torino"));
    QCOMPARE(UfficioIva("040"), QStringLiteral("Forl\u00EC"));
    QCOMPARE(UfficioIva("063"), QStringLiteral("Napoli 1"));
    QCOMPARE(UfficioIva("096"), QStringLiteral("Monza (Milano 2)"));
    QCOMPARE(UfficioIva("099"), QStringLiteral("Chiavari (Genova 2)"));
    QCOMPARE(UfficioIva("120"), UfficioIva("101"));
    QCOMPARE(UfficioIva("121"), QStringLiteral("Napoli 2"));
    for (const char *senza : {"000", "103", "110", "119", "122", "999"})
        QVERIFY2(UfficioIva(senza).isEmpty(), senza);
}

void TestChecks::tipoCarta_data()
{
    QTest::addColumn<QString>("numero");
    QTest::addColumn<int>("codice");
    QTest::newRow("Visa") << "4111111111111111" << 2;
    QTest::newRow("Visa ultima cifra cambiata") << "4111111111111112" << 0;
    QTest::newRow("MasterCard") << "5555555555554444" << 3;
    QTest::newRow("American Express") << "378282246310005" << 1;
    QTest::newRow("Diner's Club") << "36227206271667" << 1;
    QTest::newRow("JCB") << "3530111333300000" << 1;
    QTest::newRow("Discover") << "6011111111111117" << 4;
    QTest::newRow("inizia con 2") << "2221000000000009" << 0;
    QTest::newRow("inizia con 7") << "7000000000000005" << 5;
    QTest::newRow("inizia con 1") << "1000000000000008" << -1;
    QTest::newRow("spazi tra i gruppi") << "4012 8888 8888 1881" << 2;
    QTest::newRow("trattini e lettere saltati") << "4012-8888-8888-1881X" << 2;
    // Only the first 20 characters are read: the digits after them are ignored.
    QTest::newRow("venti cifre") << "41111111111111111115" << 2;
    QTest::newRow("cifre oltre il ventesimo") << "411111111111111111153" << 2;
    QTest::newRow("ventunesimo dopo gli spazi") << "4111 1111 1111 1111 9" << 2;
    QTest::newRow("ventunesimo dopo i trattini") << "4111-1111-1111-1111-5" << 2;
    QTest::newRow("nessuna cifra") << "abc" << 0;
    QTest::newRow("vuoto") << "" << 0;
    QTest::newRow("solo zero") << "0" << -2;
    QTest::newRow("una cifra non zero") << "4" << 0;
}

void TestChecks::tipoCarta()
{
    QFETCH(QString, numero);
    QFETCH(int, codice);
    QCOMPARE(TipoCarta(numero), codice);
}

void TestChecks::iban_data()
{
    QTest::addColumn<QString>("iban");
    QTest::addColumn<bool>("valido");
    QTest::newRow("italiano") << "IT60X0542811101000000123456" << true;
    QTest::newRow("cifre vicine scambiate") << "IT60X0542811110100000123456" << false;
    QTest::newRow("ultime cifre scambiate") << "IT60X0542811101000000123465" << false;
    QTest::newRow("minuscolo") << "it60x0542811101000000123456" << true;
    QTest::newRow("spazi interni") << "GB82 WEST 1234 5698 7654 32" << true;
    QTest::newRow("con la parola IBAN") << "IBANIT60X0542811101000000123456" << true;
    QTest::newRow("barra") << "IT60X0542811101000000123/56" << false;
    QTest::newRow("punto") << "IT60X054281110100.000123456" << false;
    QTest::newRow("vuoto") << "" << false;
}

void TestChecks::iban()
{
    QFETCH(QString, iban);
    QFETCH(bool, valido);
    QCOMPARE(ControllaIban(iban), valido);
}

void TestChecks::residuoIban_data()
{
    QTest::addColumn<QString>("testo");
    QTest::addColumn<int>("residuo");
    QTest::newRow("valido") << "IT60X0542811101000000123456" << 1;
    QTest::newRow("scambiate") << "IT60X0542811101000000123465" << 50;
    QTest::newRow("vuoto") << "" << 0;
    // A sign or "$" at the start of a piece is not a decimal number.
    QTest::newRow("piu") << "IT60+542811101000000123456" << 0;
    QTest::newRow("meno") << "IT60-542811101000000123456" << 0;
    QTest::newRow("dollaro") << "IT60$542811101000000123456" << 0;
    QTest::newRow("spazio") << "IT60 X0542811101000000123456" << 0;
    // Short texts: pieces shorter than 9, the first four characters moved to the end.
    QTest::newRow("quattro cifre") << "1234" << 1234 % 97;
    QTest::newRow("dieci cifre") << "0000123456" << 1234560000LL % 97;
    QTest::newRow("lettere") << "AB12" << 101112 % 97;
}

void TestChecks::residuoIban()
{
    QFETCH(QString, testo);
    QFETCH(int, residuo);
    QCOMPARE(ResiduoIban(testo), residuo);
}

void TestChecks::lettereInNumeri()
{
    QCOMPARE(LettereInNumeri("AZ09/b"), QStringLiteral("103509/b"));
    QCOMPARE(LettereInNumeri("IT60X"), QStringLiteral("182960" "33"));
}

QTEST_MAIN(TestChecks)
#include "tst_checks.moc"
