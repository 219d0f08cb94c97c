// Check tools: the four algorithms and their screens.
#include "checks/Carta.h"
#include "checks/CodFisc.h"
#include "checks/Iban.h"
#include "checks/PartitaIVA.h"
#include "checks/core/ControlliCodici.h"
#include "registry/Anagrafica.h"

#include "support/Supporto.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QFontInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <functional>

using Piattaforma::Forma;
Q_DECLARE_METATYPE(Piattaforma::Forma)

namespace {

// A tool by its class name, and the name of its input box.
QDialog *Crea(const QString &strumento)
{
    if (strumento == u"TfrmCodFisc")
        return new TfrmCodFisc;
    if (strumento == u"TfrmPartitaIva")
        return new TfrmPartitaIva;
    if (strumento == u"TfrmCarta")
        return new TfrmCarta;
    return new TfrmIban;
}

const char *NomeCampo(const QString &strumento)
{
    if (strumento == u"TfrmCodFisc")
        return "txtCodFisc";
    if (strumento == u"TfrmPartitaIva")
        return "txtPartitaIva";
    if (strumento == u"TfrmCarta")
        return "txtNumero";
    return "txtIban";
}

// Opens a tool as the archive screen does: the text written into its box, then
// shown modally; `azione` acts on it like a user. Answers whether the tool was
// still open when the user was done.
bool Apri(Ambiente &env, const QString &strumento, const QString &testo,
          const std::function<void(QDialog *, QLineEdit *)> &azione)
{
    std::unique_ptr<QDialog> tool(Crea(strumento));
    QLineEdit *campo = Controllo<QLineEdit>(tool.get(), NomeCampo(strumento));
    campo->setText(testo);
    bool aperta = false;
    env->modale = [&](QDialog *d) {
        azione(d, campo);
        aperta = d->isVisible();
    };
    Piattaforma::MostraModale(tool.get());
    return aperta;
}

const QString CartaValida =
    QStringLiteral("Il numero di carta di credito %1 risulta valido.\r\n\r\n"
                   "La carta di credito \u00E8 del tipo %2.");
const QString CartaErrata = QStringLiteral(
    "Attenzione: il numero digitato risulta ERRATO!\r\n\r\n"
    "Non \u00E8 quindi possibile fornire informazioni relative al tipo di carta di credito.");
const QString IvaValida = QStringLiteral("Il numero di partita IVA digitato risulta VALIDO.\r\n\r\n"
                                         "E' stato rilasciato dall'Ufficio IVA del Comune di %1.");

} // namespace

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

    void verdetti_data();
    void verdetti();
    void tastiCifre_data();
    void tastiCifre();
    void invioSoloFuoco_data();
    void invioSoloFuoco();
    void invioSulPulsante_data();
    void invioSulPulsante();
    void fontDallArchivio_data();
    void fontDallArchivio();
    void maiuscoleDigitando_data();
    void maiuscoleDigitando();
    void chiudi_data();
    void chiudi();
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
    QCOMPARE(LettereInNumeri("IT60X"), QStringLiteral("182960"
                                                      "33"));
}

void TestChecks::verdetti_data()
{
    QTest::addColumn<QString>("strumento");
    QTest::addColumn<QString>("consegnato"); // put into the box by the opener
    QTest::addColumn<QString>("digitato");   // then typed by the user
    QTest::addColumn<Forma>("forma");
    QTest::addColumn<QString>("messaggio");
    QTest::addColumn<bool>("aperta");

    const QString cfValido = QStringLiteral("Il codice fiscale digitato \u00E8 VALIDO.");
    const QString cfErrato =
        QStringLiteral("Attenzione: il codice fiscale digitato \u00E8 ERRATO.");
    const QString cfLunghezza = QStringLiteral(
        "Attenzione: il codice fiscale deve essere composto da 16 caratteri alfanumerici.");
    const QString cf = QStringLiteral("TfrmCodFisc");
    QTest::newRow("cf valido") << cf << "RSSMRA85T10A562S"
                               << "" << Forma::Informazione << cfValido << false;
    QTest::newRow("cf consegnato minuscolo") << cf << "rssmra85t10a562s"
                                             << "" << Forma::Informazione << cfValido << false;
    QTest::newRow("cf digitato minuscolo")
        << cf << ""
        << "rssmra85t10a562s" << Forma::Informazione << cfValido << false;
    QTest::newRow("cf omocodia") << cf << "RSSMRAURTMLARSNL"
                                 << "" << Forma::Informazione << cfValido << false;
    QTest::newRow("cf errato") << cf << "RSSMRA85T10A562T"
                               << "" << Forma::Avviso << cfErrato << false;
    QTest::newRow("cf ultimo cifra") << cf << "RSSMRA85T10A5620"
                                     << "" << Forma::Avviso << cfErrato << false;
    QTest::newRow("cf spazio interno") << cf << "RSSM A85T10A562K"
                                       << "" << Forma::Informazione << cfValido << false;
    QTest::newRow("cf 15 caratteri") << cf << "RSSMRA85T10A562"
                                     << "" << Forma::Avviso << cfLunghezza << true;
    QTest::newRow("cf vuoto") << cf << ""
                              << "" << Forma::Avviso << cfLunghezza << true;

    const QString ivaErrata = QStringLiteral(
        "Attenzione: il numero di partita IVA digitato risulta ERRATO!\r\n\r\n"
        "Non \u00E8 quindi possibile fornire informazioni relative all'Ufficio IVA che lo ha "
        "rilasciato.");
    const QString ivaLunghezza =
        QStringLiteral("Attenzione: la partita IVA deve essere composta da 11 caratteri numerici.");
    const QString iva = QStringLiteral("TfrmPartitaIva");
    QTest::newRow("iva Napoli 1") << iva << "12345670637"
                                  << "" << Forma::Informazione << IvaValida.arg("Napoli 1")
                                  << false;
    QTest::newRow("iva digitata") << iva << ""
                                  << "12345670637" << Forma::Informazione
                                  << IvaValida.arg("Napoli 1") << false;
    QTest::newRow("iva 120 Bologna 2")
        << iva << "09876541203"
        << "" << Forma::Informazione << IvaValida.arg("Bologna 2") << false;
    QTest::newRow("iva ufficio senza nome")
        << iva << "02468021106"
        << "" << Forma::Informazione << IvaValida.arg("") << false;
    QTest::newRow("iva errata") << iva << "12345670638"
                                << "" << Forma::Avviso << ivaErrata << false;
    QTest::newRow("iva con lettera") << iva << "1234567O637"
                                     << "" << Forma::Avviso << ivaErrata << false;
    QTest::newRow("iva 10 cifre") << iva << "1234567063"
                                  << "" << Forma::Avviso << ivaLunghezza << true;
    // A fiscal code of 16 digits arrives whole: its first 11 digits alone would pass.
    QTest::newRow("iva 16 cifre consegnate") << iva << "1234567063712345"
                                             << "" << Forma::Avviso << ivaLunghezza << true;

    const QString cartaVuota = QStringLiteral(
        "Attenzione: immettere il numero di carta di credito prima di premere il pulsante di "
        "controllo.");
    const QString carta = QStringLiteral("TfrmCarta");
    QTest::newRow("Visa") << carta << "4111111111111111"
                          << "" << Forma::Informazione
                          << CartaValida.arg("4111111111111111", "Visa") << false;
    QTest::newRow("Visa digitata") << carta << ""
                                   << "4111111111111111" << Forma::Informazione
                                   << CartaValida.arg("4111111111111111", "Visa") << false;
    QTest::newRow("Visa cambiata") << carta << "4111111111111112"
                                   << "" << Forma::Avviso << CartaErrata << false;
    QTest::newRow("MasterCard") << carta << "5555555555554444"
                                << "" << Forma::Informazione
                                << CartaValida.arg("5555555555554444", "MasterCard") << false;
    QTest::newRow("American Express")
        << carta << "378282246310005"
        << "" << Forma::Informazione << CartaValida.arg("378282246310005", "American Express")
        << false;
    QTest::newRow("Diner's Club") << carta << "36227206271667"
                                  << "" << Forma::Informazione
                                  << CartaValida.arg("36227206271667",
                                                     "Diner's Club / Carte Blanche")
                                  << false;
    QTest::newRow("JCB") << carta << "3530111333300000"
                         << "" << Forma::Informazione << CartaValida.arg("3530111333300000", "JCB")
                         << false;
    QTest::newRow("Discover") << carta << "6011111111111117"
                              << "" << Forma::Informazione
                              << CartaValida.arg("6011111111111117", "Discover") << false;
    QTest::newRow("spazi mostrati")
        << carta << "4012 8888 8888 1881"
        << "" << Forma::Informazione << CartaValida.arg("4012 8888 8888 1881", "Visa") << false;
    // MasterCard numbers from 2221 to 2720; any other number starting with 2 is wrong.
    QTest::newRow("MasterCard 2221")
        << carta << "2221000000000009"
        << "" << Forma::Informazione << CartaValida.arg("2221000000000009", "MasterCard") << false;
    QTest::newRow("MasterCard 2720 a gruppi")
        << carta << "2720 9999 9999 9996"
        << "" << Forma::Informazione << CartaValida.arg("2720 9999 9999 9996", "MasterCard")
        << false;
    QTest::newRow("MasterCard 2221 cambiata") << carta << "2221000000000008"
                                              << "" << Forma::Avviso << CartaErrata << false;
    QTest::newRow("inizia con 2220") << carta << "2220999999999991"
                                     << "" << Forma::Avviso << CartaErrata << false;
    QTest::newRow("inizia con 2721") << carta << "2721000000000004"
                                     << "" << Forma::Avviso << CartaErrata << false;
    QTest::newRow("inizia con 7") << carta << "7000000000000005"
                                  << "" << Forma::Avviso << CartaErrata << false;
    QTest::newRow("inizia con 39") << carta << "3900000000000005"
                                   << "" << Forma::Avviso << CartaErrata << false;
    QTest::newRow("3 e uno spazio") << carta << "3 78282246310005"
                                    << "" << Forma::Avviso << CartaErrata << false;
    QTest::newRow("senza cifre") << carta << "abc"
                                 << "" << Forma::Avviso << CartaErrata << false;
    QTest::newRow("carta vuota") << carta << ""
                                 << "" << Forma::Avviso << cartaVuota << true;
    QTest::newRow("carta solo spazi") << carta << "    "
                                      << "" << Forma::Avviso << cartaVuota << true;

    const QString ibanValido = QStringLiteral("L'IBAN digitato \u00E8 VALIDO.");
    const QString ibanErrato = QStringLiteral("Attenzione: l'IBAN digitato \u00E8 ERRATO!");
    const QString ibanLunghezza =
        QStringLiteral("Attenzione: l'IBAN deve essere composto da 27 caratteri alfanumerici.");
    const QString iban = QStringLiteral("TfrmIban");
    QTest::newRow("iban valido") << iban << "IT60X0542811101000000123456"
                                 << "" << Forma::Informazione << ibanValido << false;
    QTest::newRow("iban consegnato minuscolo") << iban << "it60x0542811101000000123456"
                                               << "" << Forma::Informazione << ibanValido << false;
    QTest::newRow("iban digitato minuscolo")
        << iban << ""
        << "it60x0542811101000000123456" << Forma::Informazione << ibanValido << false;
    QTest::newRow("iban scambiate") << iban << "IT60X0542811110100000123456"
                                    << "" << Forma::Avviso << ibanErrato << false;
    QTest::newRow("iban spazi interni") << iban << "GB82 WEST 1234 5698 7654 32"
                                        << "" << Forma::Informazione << ibanValido << false;
    QTest::newRow("iban barra") << iban << "IT60X0542811101000000123/56"
                                << "" << Forma::Avviso << ibanErrato << false;
    QTest::newRow("iban piu") << iban << "IT60+0542811101000000123456"
                              << "" << Forma::Avviso << ibanErrato << false;
    QTest::newRow("iban 26 caratteri") << iban << "IT60X054281110100000012345"
                                       << "" << Forma::Avviso << ibanLunghezza << true;
}

void TestChecks::verdetti()
{
    QFETCH(QString, strumento);
    QFETCH(QString, consegnato);
    QFETCH(QString, digitato);
    QFETCH(Forma, forma);
    QFETCH(QString, messaggio);
    QFETCH(bool, aperta);

    Ambiente env;
    QWidget *fuoco = nullptr;
    QLineEdit *box = nullptr;
    const bool rimasta = Apri(env, strumento, consegnato, [&](QDialog *d, QLineEdit *campo) {
        box = campo;
        QTest::keyClicks(campo, digitato);
        QTest::mouseClick(Controllo<QPushButton>(d, "btnControlla"), Qt::LeftButton);
        fuoco = d->focusWidget();
    });
    QCOMPARE(env->messaggi.size(), 1);
    QCOMPARE(env->messaggi.at(0).forma, forma);
    QCOMPARE(env->messaggi.at(0).testo, messaggio);
    QCOMPARE(rimasta, aperta);
    if (aperta)
        QCOMPARE(fuoco, static_cast<QWidget *>(box));
}

void TestChecks::tastiCifre_data()
{
    QTest::addColumn<QString>("strumento");
    QTest::newRow("partita IVA") << "TfrmPartitaIva";
    QTest::newRow("carta") << "TfrmCarta";
}

void TestChecks::tastiCifre()
{
    QFETCH(QString, strumento);
    Ambiente env;
    QString dopoLettere, dopoModifiche, dopoIncolla;
    Apri(env, strumento, QString(), [&](QDialog *, QLineEdit *campo) {
        QTest::keyClicks(campo, QStringLiteral("1a2 b-3.4,5/"));
        dopoLettere = campo->text();
        // Left twice, Backspace, Delete, Right, then a digit.
        QTest::keyClick(campo, Qt::Key_Left);
        QTest::keyClick(campo, Qt::Key_Left);
        QTest::keyClick(campo, Qt::Key_Backspace);
        QTest::keyClick(campo, Qt::Key_Delete);
        QTest::keyClick(campo, Qt::Key_Right);
        QTest::keyClick(campo, Qt::Key_9);
        dopoModifiche = campo->text();
        QGuiApplication::clipboard()->setText(QStringLiteral("AB CD"));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("AB CD"));
        QTest::keyClick(campo, Qt::Key_V, Qt::ControlModifier);
        dopoIncolla = campo->text();
    });
    QCOMPARE(dopoLettere, QStringLiteral("12345"));
    QCOMPARE(dopoModifiche, QStringLiteral("1259"));
    QCOMPARE(dopoIncolla, QStringLiteral("1259"));
    QVERIFY(env->messaggi.isEmpty());
}

void TestChecks::invioSoloFuoco_data()
{
    QTest::addColumn<QString>("strumento");
    QTest::addColumn<QString>("testo");
    QTest::addColumn<int>("limite");
    QTest::newRow("codice fiscale") << "TfrmCodFisc"
                                    << "RSSMRA85T10A562S" << 16;
    QTest::newRow("partita IVA") << "TfrmPartitaIva"
                                 << "12345670637" << 11;
    QTest::newRow("carta") << "TfrmCarta"
                           << "4111111111111111" << 30;
    QTest::newRow("IBAN") << "TfrmIban"
                          << "IT60X0542811101000000123456" << 27;
}

void TestChecks::invioSoloFuoco()
{
    QFETCH(QString, strumento);
    QFETCH(QString, testo);
    QFETCH(int, limite);
    Ambiente env;
    QWidget *fuocoAllApertura = nullptr, *fuocoDopoInvio = nullptr;
    QLineEdit *box = nullptr;
    int lunghezzaMassima = 0;
    const bool aperta = Apri(env, strumento, testo, [&](QDialog *d, QLineEdit *campo) {
        box = campo;
        fuocoAllApertura = d->focusWidget();
        lunghezzaMassima = campo->maxLength();
        QTest::keyClick(campo, Qt::Key_Return);
        fuocoDopoInvio = d->focusWidget();
    });
    QCOMPARE(fuocoAllApertura, static_cast<QWidget *>(box));
    QCOMPARE(lunghezzaMassima, limite);
    QCOMPARE(fuocoDopoInvio->objectName(), QStringLiteral("btnControlla"));
    QVERIFY(aperta);
    QVERIFY(env->messaggi.isEmpty());

    // Typing stops at the limit.
    Apri(env, strumento, QString(), [&](QDialog *, QLineEdit *campo) {
        QTest::keyClicks(campo, QString(40, u'1'));
        QCOMPARE(campo->text().size(), limite);
    });
}

void TestChecks::invioSulPulsante_data()
{
    invioSoloFuoco_data();
}

void TestChecks::invioSulPulsante()
{
    QFETCH(QString, strumento);
    QFETCH(QString, testo);
    Ambiente env;
    // Enter in the box moves to "Controlla"; Enter there runs the check, which closes.
    QString premuto;
    const bool aperta = Apri(env, strumento, testo, [&](QDialog *d, QLineEdit *campo) {
        QTest::keyClick(campo, Qt::Key_Return);
        QWidget *fuoco = d->focusWidget();
        QVERIFY(fuoco);
        premuto = fuoco->objectName();
        QTest::keyClick(fuoco, Qt::Key_Return);
    });
    QCOMPARE(premuto, QStringLiteral("btnControlla"));
    QVERIFY(!aperta);
    QCOMPARE(env->messaggi.size(), 1);
    QCOMPARE(env->messaggi.at(0).forma, Forma::Informazione);

    // Enter on "Chiudi" closes the tool without a check.
    env->messaggi.clear();
    int risultato = -1;
    const bool ancoraAperta = Apri(env, strumento, testo, [&](QDialog *d, QLineEdit *) {
        auto *chiudi = Controllo<QPushButton>(d, "btnChiudi");
        chiudi->setFocus(Qt::TabFocusReason);
        QTest::keyClick(chiudi, Qt::Key_Return);
        risultato = d->result();
    });
    QVERIFY(!ancoraAperta);
    QCOMPARE(risultato, int(QDialog::Rejected));
    QVERIFY(env->messaggi.isEmpty());
}

void TestChecks::fontDallArchivio_data()
{
    QTest::addColumn<QByteArray>("pulsante");
    QTest::addColumn<QString>("strumento");
    QTest::newRow("codice fiscale") << QByteArray("cmdCodFisc") << "TfrmCodFisc";
    QTest::newRow("partita IVA") << QByteArray("cmdPartitaIva") << "TfrmPartitaIva";
    QTest::newRow("carta") << QByteArray("cmdCarta") << "TfrmCarta";
    QTest::newRow("IBAN") << QByteArray("cmdIban") << "TfrmIban";
}

// The input box is in Courier New 20 bold, wide enough for its longest text, also when
// the archive screen, whose style sheet gives its own boxes a smaller font, opens the tool.
void TestChecks::fontDallArchivio()
{
    QFETCH(QByteArray, pulsante);
    QFETCH(QString, strumento);
    Ambiente env;
    TfrmAnagrafica anagrafica;
    anagrafica.show();
    QFont font;
    int cursore = 0, larghezzaTesto = 0, larghezzaCampo = 0;
    env->modale = [&](QDialog *d) {
        auto *campo = Controllo<QLineEdit>(d, NomeCampo(strumento));
        font = campo->font();
        // The longest text the box takes, in its widest letter, shows whole: with the
        // cursor at its end, nothing has scrolled out on the left.
        campo->setText(QString(campo->maxLength(), u'W'));
        campo->end(false);
        campo->grab(); // a box scrolls its text when it paints
        cursore = campo->inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x();
        larghezzaTesto = campo->fontMetrics().horizontalAdvance(campo->text());
        larghezzaCampo = campo->width();
    };
    Controllo<QAbstractButton>(&anagrafica, pulsante.constData())->click();
    QCOMPARE(env->modaliMostrati, QStringList{strumento});
    QCOMPARE(font.family(), QStringLiteral("Courier New"));
    QCOMPARE(font.pointSize(), 20);
    QVERIFY(font.bold());
    const QFontInfo reale(font); // the font fontconfig put in its place
    QCOMPARE(reale.pointSize(), 20);
    QVERIFY(reale.bold());
    QVERIFY(reale.fixedPitch());
    QVERIFY2(cursore >= larghezzaTesto && cursore < larghezzaCampo,
             qPrintable(QStringLiteral("cursor %1, text %2, box %3")
                            .arg(cursore)
                            .arg(larghezzaTesto)
                            .arg(larghezzaCampo)));
}

void TestChecks::maiuscoleDigitando_data()
{
    QTest::addColumn<QString>("strumento");
    QTest::newRow("codice fiscale") << "TfrmCodFisc";
    QTest::newRow("IBAN") << "TfrmIban";
}

void TestChecks::maiuscoleDigitando()
{
    QFETCH(QString, strumento);
    Ambiente env;
    QString testo;
    Apri(env, strumento, QString(), [&](QDialog *, QLineEdit *campo) {
        // Blanks at either end disappear at once, inner ones stay; letters come out
        // upper case; the cursor stays where the user types.
        QTest::keyClicks(campo, QStringLiteral(" it60 x"));
        QTest::keyClick(campo, Qt::Key_Home);
        QTest::keyClicks(campo, QStringLiteral("ab "));
        testo = campo->text();
    });
    QCOMPARE(testo, QStringLiteral("AB IT60X"));
}

void TestChecks::chiudi_data()
{
    invioSoloFuoco_data();
}

void TestChecks::chiudi()
{
    QFETCH(QString, strumento);
    QFETCH(QString, testo);
    Ambiente env;
    int risultato = -1;
    const bool aperta = Apri(env, strumento, testo, [&](QDialog *d, QLineEdit *) {
        QTest::mouseClick(Controllo<QPushButton>(d, "btnChiudi"), Qt::LeftButton);
        risultato = d->result();
    });
    QVERIFY(!aperta);
    QCOMPARE(risultato, int(QDialog::Rejected));
    QVERIFY(env->messaggi.isEmpty());
}

QTEST_MAIN(TestChecks)
#include "tst_checks.moc"
