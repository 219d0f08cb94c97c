// Receipts of the fee register: the amount in words, the A5 page read back with pdftotext,
// the three ways to hand them over (print, PDF, e-mail to the test SMTP server with the PDF
// attached and logged like the reminders).
#include "archive/Pagamento.h"
#include "mail/core/RegistroAvvisi.h"
#include "report/Ricevute.h"
#include "report/core/Report.h"
#include "report/core/Ricevuta.h"
#include "storage/DatiEnteFile.h"
#include "support/Avvisi.h"
#include "support/ServerPosta.h"
#include "support/Stampati.h"
#include "support/Supporto.h"
#include "widgets/Sottofondo.h"

#include <QDialog>
#include <QDir>
#include <QJsonArray>
#include <QPushButton>
#include <QtTest>

namespace {

TPagamento Pagamento(qint64 centesimi, int numero = 12, int posizione = 1)
{
    TPagamento p;
    p.id = numero;
    p.anno = 2026;
    p.numero = numero;
    p.data = QDate(2026, 12, 11);
    p.posizione = posizione;
    p.tessera = QStringLiteral("0042");
    p.nominativo = QStringLiteral("ROSSI MARIA");
    p.centesimi = centesimi;
    p.metodo = QStringLiteral("Contanti");
    p.dal = QDate(2027, 1, 1);
    p.al = QDate(2027, 12, 31);
    p.causale = QStringLiteral("Quota associativa 2027");
    p.inseritoDa = QStringLiteral("segreteria");
    return p;
}

// The association's data and logo in the program folder, and one member with an address.
void Prepara(Ambiente &env, const QByteArray &email = "maria.rossi@prova.it")
{
    DatiEnteFile::Scrivi(env.cartella(), {QStringLiteral("Circolo Culturale La Quercia"),
                                          QStringLiteral("Via Roma 1 - 00100 Roma"),
                                          QStringLiteral("C.F. 97000000000"), QString()});
    DatiEnteFile::SalvaLogo(env.cartella(), Immagine(119, 118, Qt::darkGreen));
    Costruttore::ScriviArchivio(env.Percorso("Tesserati.pro"),
                                {Membro("ROSSI MARIA", email, "31/12/2026")});
}

// Answers the receipts' screen with the button of that name.
void Scegli(Ambiente &env, const char *pulsante)
{
    env->modale = [pulsante](QDialog *d) { Controllo<QPushButton>(d, pulsante)->click(); };
}

QString Testo(const QString &pdf)
{
    return Esegui(QStringLiteral("pdftotext"),
                  {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
}

} // namespace

class TestRicevute : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    ServerPosta m_server;

private slots:
    void initTestCase();
    void cleanup();
    void importoInLettere_data();
    void importoInLettere();
    void marcaDaBollo_data();
    void marcaDaBollo();
    void ricevutaPdf_data();
    void ricevutaPdf();
    void stampaEAnnulla_data();
    void stampaEAnnulla();
    void email();
    void emailSenzaIndirizzo();
    void emailRifiutata();
};

void TestRicevute::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(m_server.Avvia(m_dir.path()));
}

void TestRicevute::cleanup()
{
    QTRY_COMPARE_WITH_TIMEOUT(Sottofondo::InCorso(), 0, 60000);
    m_server.Svuota();
}

void TestRicevute::importoInLettere_data()
{
    QTest::addColumn<qint64>("centesimi");
    QTest::addColumn<QString>("lettere");
    const std::pair<qint64, const char *> casi[] = {
        {0, "zero/00"},
        {50, "zero/50"},
        {100, "uno/00"},
        {2100, "ventuno/00"},
        {2300, "ventitré/00"},
        {2500, "venticinque/00"},
        {2800, "ventotto/00"},
        {3001, "trenta/01"},
        {10000, "cento/00"},
        {10300, "centotré/00"},
        {10800, "centotto/00"},
        {18000, "centottanta/00"},
        {19900, "centonovantanove/00"},
        {7747, "settantasette/47"},
        {7748, "settantasette/48"},
        {100000, "mille/00"},
        {100100, "milleuno/00"},
        {200000, "duemila/00"},
        {2100000, "ventunomila/00"},
        {2300000, "ventitremila/00"},
        {10000000, "centomila/00"},
        {100000000, "unmilione/00"},
        {200000000, "duemilioni/00"},
        {123456789, "unmilioneduecentotrentaquattromilacinquecentosessantasette/89"},
        {100000000000, "unmiliardo/00"},
        {-2500, "meno venticinque/00"},
    };
    for (const auto &[c, l] : casi)
        QTest::addRow("%lld", static_cast<long long>(c)) << c << QString::fromUtf8(l);
}

void TestRicevute::importoInLettere()
{
    QFETCH(qint64, centesimi);
    QFETCH(QString, lettere);
    QCOMPARE(ImportoInLettere(centesimi), lettere);
}

void TestRicevute::marcaDaBollo_data()
{
    QTest::addColumn<qint64>("centesimi");
    QTest::addColumn<bool>("marca");
    QTest::addColumn<QString>("cifre");
    QTest::newRow("0,50") << qint64(50) << false << "0,50";
    QTest::newRow("77,47") << qint64(7747) << false << "77,47";
    QTest::newRow("77,48") << qint64(7748) << true << "77,48";
    QTest::newRow("1.000,00") << qint64(100000) << true << "1.000,00";
    QTest::newRow("1.234.567,05") << qint64(123456705) << true << "1.234.567,05";
}

void TestRicevute::marcaDaBollo()
{
    QFETCH(qint64, centesimi);
    QFETCH(bool, marca);
    QFETCH(QString, cifre);
    QCOMPARE(MarcaDaBollo(centesimi), marca);
    QCOMPARE(ImportoInCifre(centesimi), cifre);
}

// Saved as PDF through the receipts' screen, read back as a person's PDF reader would.
void TestRicevute::ricevutaPdf_data()
{
    QTest::addColumn<qint64>("centesimi");
    QTest::addColumn<QString>("lettere");
    QTest::addColumn<bool>("marca");
    QTest::newRow("25,00") << qint64(2500) << "venticinque/00" << false;
    QTest::newRow("77,47") << qint64(7747) << "settantasette/47" << false;
    QTest::newRow("77,48") << qint64(7748) << "settantasette/48" << true;
    QTest::newRow("1.000,00") << qint64(100000) << "mille/00" << true;
}

void TestRicevute::ricevutaPdf()
{
    QFETCH(qint64, centesimi);
    QFETCH(QString, lettere);
    QFETCH(bool, marca);
    Ambiente env;
    Prepara(env);
    Scegli(env, "cmdPdf");
    const QString pdf = env.Percorso("ricevuta.pdf");
    env->fileDaSalvare.enqueue(pdf);
    Ricevute::Consegna(nullptr, {Pagamento(centesimi)});
    QCOMPARE(env->modaliMostrati, QStringList{"TfrmConsegnaRicevute"});
    QVERIFY2(env->messaggi.isEmpty(), qPrintable(env->UltimoMessaggio()));

    if (!qEnvironmentVariableIsEmpty("RICEVUTE_FOTO"))
        QFile::copy(pdf, qEnvironmentVariable("RICEVUTE_FOTO") + QLatin1Char('/') +
                             QTest::currentDataTag() + QStringLiteral(".pdf"));
    const QSizeF a5 = PaginaPdf(pdf);
    QVERIFY(qAbs(a5.width() - 148) < 0.5 && qAbs(a5.height() - 210) < 0.5);
    QCOMPARE(PaginePdf(pdf), 1);
    const QString testo = Testo(pdf);
    for (const QString &atteso :
         {QStringLiteral("Circolo Culturale La Quercia"), QStringLiteral("Via Roma 1 - 00100 Roma"),
          QStringLiteral("Ricevuta n. 12/2026"), QStringLiteral("Data: 11/12/2026"),
          QStringLiteral("ROSSI MARIA (tessera n. 0042)"),
          QStringLiteral("\u20AC ") + ImportoInCifre(centesimi), QStringLiteral("euro ") + lettere,
          QStringLiteral("Contanti"), QStringLiteral("Quota associativa 2027"),
          QStringLiteral("dal 01/01/2027 al 31/12/2027"), QStringLiteral("Firma per quietanza")})
        QVERIFY2(testo.contains(atteso), qPrintable(atteso + QStringLiteral(" in:\n") + testo));
    QCOMPARE(testo.contains(QStringLiteral("Marca da bollo")), marca);
}

// Printing sends one page per receipt through the print dialog; cancelling the screen
// makes nothing.
void TestRicevute::stampaEAnnulla_data()
{
    QTest::addColumn<QByteArray>("pulsante");
    QTest::addColumn<int>("pagine");
    QTest::newRow("stampa") << QByteArray("cmdStampa") << 2;
    QTest::newRow("annulla") << QByteArray("cmdAnnulla") << 0;
}

void TestRicevute::stampaEAnnulla()
{
    QFETCH(QByteArray, pulsante);
    QFETCH(int, pagine);
    Ambiente env;
    Prepara(env);
    Scegli(env, pulsante.constData());
    env->stampaSuPdf = env.Percorso("stampa.pdf");
    Ricevute::Consegna(nullptr, {Pagamento(2500, 12), Pagamento(9000, 13)});
    QCOMPARE(env->modaliMostrati, QStringList{"TfrmConsegnaRicevute"});
    QCOMPARE(env->dialoghiStampa, pagine ? 1 : 0);
    QCOMPARE(QFile::exists(env->stampaSuPdf), pagine > 0);
    if (!pagine)
        return;
    QCOMPARE(PaginePdf(env->stampaSuPdf), pagine);
    const QString testo = Testo(env->stampaSuPdf);
    QVERIFY(testo.contains("Ricevuta n. 12/2026"));
    QVERIFY(testo.contains("Ricevuta n. 13/2026"));
    QVERIFY(testo.contains("novanta/00"));
}

// Sent to the member's address in the archive, the PDF attached, one line in the log.
void TestRicevute::email()
{
    Ambiente env;
    Prepara(env);
    Imposta(env, QStringLiteral("127.0.0.1"), m_server.plain);
    Scegli(env, "cmdEmail");
    Ricevute::Consegna(nullptr, {Pagamento(9000)});
    QCOMPARE(env->modaliMostrati, QStringList{"TfrmConsegnaRicevute"});
    QTRY_VERIFY_WITH_TIMEOUT(!env->messaggi.isEmpty(), 60000);
    QCOMPARE(env->UltimaForma(), Piattaforma::Forma::Informazione);
    QCOMPARE(env->UltimoMessaggio(), "Ricevute inviate per e-mail: 1.");

    const QList<QJsonObject> posta = m_server.Messaggi();
    QCOMPARE(posta.size(), 1);
    const QJsonObject m = posta.front();
    QCOMPARE(m["rcpt_tos"].toArray().first().toString(), "maria.rossi@prova.it");
    QCOMPARE(m["intestazioni"].toObject()["Subject"].toString(), "Ricevuta n. 12/2026");
    const QString corpo = m["corpo"].toString();
    QVERIFY2(corpo.contains(QStringLiteral("ricevuta n. 12/2026 del 11/12/2026 per \u20AC 90,00")),
             qPrintable(corpo));
    QVERIFY(corpo.contains("Circolo Culturale La Quercia"));
    const QJsonArray allegati = m["allegati"].toArray();
    QCOMPARE(allegati.size(), 1);
    QCOMPARE(allegati[0].toArray()[0].toString(), "Ricevuta 12-2026.pdf");
    QCOMPARE(allegati[0].toArray()[1].toString(), "application/pdf");
    const QString testo = Testo(QDir(m_server.posta).filePath("00001-1.allegato"));
    QVERIFY2(testo.contains("Ricevuta n. 12/2026") && testo.contains("novanta/00") &&
                 testo.contains("Marca da bollo"),
             qPrintable(testo));

    const QString registro = QString::fromUtf8(Costruttore::LeggiFile(env.Percorso("Avvisi.csv")));
    const QStringList righe = registro.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    QCOMPARE(righe.size(), 2); // the header and the receipt
    const auto riga = RegistroAvvisi::LeggiRiga(righe.last());
    QVERIFY(riga.has_value());
    QCOMPARE(riga->data, QDate(2025, 6, 15));
    QCOMPARE(riga->posizione, 1);
    QCOMPARE(riga->tesserato, "ROSSI MARIA");
    QCOMPARE(riga->indirizzo, "maria.rossi@prova.it");
    QCOMPARE(riga->scadenza, QDate(2027, 12, 31));
    QCOMPARE(riga->esito, "ricevuta 12/2026 inviata");
}

// A member without an address gets nothing and is named; nothing reaches the server.
void TestRicevute::emailSenzaIndirizzo()
{
    Ambiente env;
    Prepara(env, "");
    Imposta(env, QStringLiteral("127.0.0.1"), m_server.plain);
    Scegli(env, "cmdEmail");
    Ricevute::Consegna(nullptr, {Pagamento(2500)});
    QCOMPARE(env->modaliMostrati, QStringList{"TfrmConsegnaRicevute"});
    QCOMPARE(env->UltimaForma(), Piattaforma::Forma::Avviso);
    QVERIFY(env->UltimoMessaggio().startsWith("Nessuna ricevuta \u00E8 stata inviata."));
    QVERIFY(env->UltimoMessaggio().contains("12/2026 - ROSSI MARIA"));
    QCOMPARE(Sottofondo::InCorso(), 0);
    QVERIFY(m_server.Messaggi().isEmpty());
}

// The server refuses the address: the user is told who, and the log says so with the
// server's answer.
void TestRicevute::emailRifiutata()
{
    Ambiente env;
    Prepara(env);
    Imposta(env, QStringLiteral("127.0.0.1"), m_server.plain);
    QFile controllo(QDir(m_server.posta).filePath("controllo.json"));
    QVERIFY(controllo.open(QIODevice::WriteOnly));
    controllo.write(R"({"rifiuta": ["maria.rossi@prova.it"]})");
    controllo.close();
    Scegli(env, "cmdEmail");
    Ricevute::Consegna(nullptr, {Pagamento(2500)});
    QTRY_VERIFY_WITH_TIMEOUT(!env->messaggi.isEmpty(), 60000);
    QCOMPARE(env->UltimaForma(), Piattaforma::Forma::Avviso);
    const QString detto = env->UltimoMessaggio();
    QVERIFY2(detto.startsWith("Ricevute inviate per e-mail: 0.\r\nNon riuscite: 1.") &&
                 detto.contains("ROSSI MARIA <maria.rossi@prova.it>: ") && detto.contains("550"),
             qPrintable(detto));
    QVERIFY(m_server.Messaggi().isEmpty());
    const QStringList righe = QString::fromUtf8(Costruttore::LeggiFile(env.Percorso("Avvisi.csv")))
                                  .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    QCOMPARE(righe.size(), 2);
    const auto riga = RegistroAvvisi::LeggiRiga(righe.last());
    QVERIFY(riga.has_value());
    QVERIFY2(riga->esito.startsWith("ricevuta 12/2026 non inviata: ") &&
                 riga->esito.contains("550"),
             qPrintable(riga->esito));
}

QTEST_MAIN(TestRicevute)
#include "tst_ricevute.moc"
