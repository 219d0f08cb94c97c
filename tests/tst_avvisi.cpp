// The renewal reminder's text and who gets it: the template with its fields filled from
// the member and the association, the names written as in a letter, the recipients
// split from the skipped (with the "not again within N days" boundary), and the screen
// that edits the template, stored in "Quorvel.ini".
#include "archive/Impostazioni.h"
#include "mail/ModelloAvviso.h"
#include "mail/Posta.h"
#include "mail/core/Messaggio.h"
#include "mail/core/RegistroAvvisi.h"
#include "mail/core/SceltaAvvisi.h"
#include "support/Supporto.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

namespace {
// Every field, one per line, so each row shows what each one became.
const QString TuttiICampi =
    QStringLiteral("{gentile} {nome}\n{tessera}\n{rilascio}\n{scadenza}\n{ente}");
} // namespace

class TestAvvisi : public QObject {
    Q_OBJECT

private slots:
    void componi_data();
    void componi();
    void nomeProprio_data();
    void nomeProprio();
    void campiSconosciuti_data();
    void campiSconosciuti();
    void scelta_data();
    void scelta();
    void schermoModello();
    void modelloNonSalvato();
};

void TestAvvisi::componi_data()
{
    QTest::addColumn<QString>("oggetto");
    QTest::addColumn<QString>("testo");
    QTest::addColumn<QString>("nome");
    QTest::addColumn<QString>("sesso");
    QTest::addColumn<QString>("ente");
    QTest::addColumn<QString>("attesoOggetto");
    QTest::addColumn<QString>("attesoCorpo");

    const TModelloAvviso d = TModelloAvviso::Predefinito();
    QTest::newRow("predefinito, donna")
        << d.oggetto << d.testo << "MARIA TERESA DELL'ORTO"
        << "F"
        << "Circolo Aurora"
        << "Rinnovo della tessera n. A12"
        << QStringLiteral("Gentile Sig.ra Maria Teresa Dell'Orto,\n\n"
                          "le ricordiamo che la sua tessera n. A12, rilasciata il 01/07/2024 e "
                          "con scadenza il 30/06/2025, deve essere rinnovata.\n\n"
                          "Per il rinnovo può rivolgersi ai nostri uffici oppure rispondere a "
                          "questo messaggio: le indicheremo come procedere.\n\n"
                          "Cordiali saluti.\n\nCircolo Aurora");
    QTest::newRow("uomo")
        << "Tessera {tessera}" << TuttiICampi << "ROSSI MARIO"
        << "M"
        << "Circolo Aurora"
        << "Tessera A12"
        << "Gentile Sig. Rossi Mario\nA12\n01/07/2024\n30/06/2025\nCircolo Aurora";
    QTest::newRow("sesso in minuscolo") << "x" << TuttiICampi << "BIANCHI ANNA"
                                        << "f"
                                        << "Ente"
                                        << "x"
                                        << "Gentile Sig.ra Bianchi Anna\nA12\n01/07/2024\n"
                                           "30/06/2025\nEnte";
    QTest::newRow("sesso non indicato")
        << "x" << TuttiICampi << "VERDI ANDREA"
        << ""
        << "Ente"
        << "x"
        << "Gentile Verdi Andrea\nA12\n01/07/2024\n30/06/2025\nEnte";
    QTest::newRow("sesso diverso") << "x" << TuttiICampi << "NERI SASHA"
                                   << "X"
                                   << "Ente"
                                   << "x"
                                   << "Gentile Neri Sasha\nA12\n01/07/2024\n30/06/2025\nEnte";
    // Without the association's name the signature line goes, not the text before it.
    QTest::newRow("ente vuoto") << "Rinnovo {ente}" << d.testo << "ROSSI MARIO"
                                << "M"
                                << ""
                                << "Rinnovo"
                                << QStringLiteral("Gentile Sig. Rossi Mario,\n\n"
                                                  "le ricordiamo che la sua tessera n. A12, "
                                                  "rilasciata il 01/07/2024 e con scadenza il "
                                                  "30/06/2025, deve essere rinnovata.\n\n"
                                                  "Per il rinnovo può rivolgersi ai nostri "
                                                  "uffici oppure rispondere a questo messaggio: "
                                                  "le indicheremo come procedere.\n\n"
                                                  "Cordiali saluti.");
    // A value that looks like a field is not filled in again; unknown fields stay.
    QTest::newRow("campi non espansi") << "{oggetto} {tessera}"
                                       << "{ente} {nom} {NOME} {nome}"
                                       << "ROSSI {tessera}"
                                       << "M"
                                       << "{nome}"
                                       << "{oggetto} A12"
                                       << "{nome} {nom} {NOME} ROSSI {tessera}";
    // The subject is one line whatever the template holds; CR LF in the text becomes LF.
    QTest::newRow("a capo") << "Rinnovo\r\n{tessera}"
                            << "Riga 1\r\nRiga 2   \r\n\r\n"
                            << "ROSSI MARIO"
                            << "M"
                            << "Ente"
                            << "Rinnovo A12"
                            << "Riga 1\nRiga 2";
}

void TestAvvisi::componi()
{
    QFETCH(QString, oggetto);
    QFETCH(QString, testo);
    QFETCH(QString, nome);
    QFETCH(QString, sesso);
    QFETCH(QString, ente);
    TAvviso a;
    a.posizione = 1;
    a.nome = nome;
    a.sesso = sesso;
    a.numTessera = QStringLiteral("A12");
    a.dataRil = QStringLiteral("01/07/2024");
    a.dataScade = QStringLiteral("30/06/2025");
    a.indirizzo = QStringLiteral("socio@esempio.it");
    const PostaElettronica::TTestoAvviso t =
        PostaElettronica::ComponiAvviso({oggetto, testo}, a, ente);
    QTEST(t.oggetto, "attesoOggetto");
    QTEST(t.corpo, "attesoCorpo");
}

void TestAvvisi::nomeProprio_data()
{
    QTest::addColumn<QString>("nome");
    QTest::addColumn<QString>("atteso");
    QTest::newRow("apostrofo") << "MARIA TERESA DELL'ORTO"
                               << "Maria Teresa Dell'Orto";
    QTest::newRow("apostrofo tipografico")
        << QStringLiteral("D\u2019AMICO LUCA") << QStringLiteral("D\u2019Amico Luca");
    QTest::newRow("trattino") << "ROSSI-BIANCHI ANNA"
                              << "Rossi-Bianchi Anna";
    QTest::newRow("particella") << "DE LUCA MARIO"
                                << "De Luca Mario";
    QTest::newRow("accenti") << QStringLiteral("NICOLÒ CALÀ") << QStringLiteral("Nicolò Calà");
    QTest::newRow("minuscole e spazi") << "  bianchi   anna  "
                                       << "Bianchi Anna";
    QTest::newRow("scritto a mano") << "van der Berg Jan"
                                    << "van der Berg Jan";
    QTest::newRow("a capo nel nome") << "VERDI\r\nBCC: X"
                                     << "Verdi Bcc: X";
}

void TestAvvisi::nomeProprio()
{
    QFETCH(QString, nome);
    QTEST(PostaElettronica::NomeProprio(nome), "atteso");
}

void TestAvvisi::campiSconosciuti_data()
{
    QTest::addColumn<QString>("testo");
    QTest::addColumn<QStringList>("attesi");
    QTest::newRow("tutti noti") << TuttiICampi << QStringList();
    QTest::newRow("refusi") << "{gentile} {nme}, {data} {nme}" << QStringList{"{nme}", "{data}"};
    QTest::newRow("maiuscole") << "{Nome}" << QStringList{"{Nome}"};
    QTest::newRow("graffe senza campo") << "{ } {} {a b}" << QStringList();
}

void TestAvvisi::campiSconosciuti()
{
    QFETCH(QString, testo);
    QTEST(PostaElettronica::CampiSconosciuti(testo), "attesi");
}

void TestAvvisi::scelta_data()
{
    QTest::addColumn<QString>("indirizzo");
    QTest::addColumn<bool>("annullata");
    QTest::addColumn<int>("giorniFa"); // last reminder, days before today; -99 never
    QTest::addColumn<int>("giorni");   // "not again within" days
    QTest::addColumn<bool>("includi"); // chkRipeti
    QTest::addColumn<QString>("esito");

    const QString ok = QStringLiteral("socio@esempio.it");
    const QString avvisare = QStringLiteral("da avvisare");
    const QString recente = QStringLiteral("già avvisato negli ultimi %1 giorni");
    QTest::newRow("mai avvisato") << ok << false << -99 << 7 << false << avvisare;
    QTest::newRow("N=7, 6 giorni fa") << ok << false << 6 << 7 << false << recente.arg(7);
    QTest::newRow("N=7, 7 giorni fa") << ok << false << 7 << 7 << false << avvisare;
    QTest::newRow("N=7, 8 giorni fa") << ok << false << 8 << 7 << false << avvisare;
    QTest::newRow("N=7, oggi") << ok << false << 0 << 7 << false << recente.arg(7);
    QTest::newRow("N=0, domani") << ok << false << -1 << 0 << false
                                 << "già avvisato con una data successiva a oggi";
    QTest::newRow("N=0, oggi") << ok << false << 0 << 0 << false << avvisare;
    QTest::newRow("N=0, ieri") << ok << false << 1 << 0 << false << avvisare;
    QTest::newRow("N=1, oggi") << ok << false << 0 << 1 << false
                               << QStringLiteral("già avvisato nell'ultimo giorno");
    QTest::newRow("recente incluso") << ok << false << 6 << 7 << true << avvisare;
    QTest::newRow("senza indirizzo")
        << "" << false << -99 << 7 << false << "senza indirizzo e-mail";
    QTest::newRow("solo spazi") << "   " << false << -99 << 7 << false << "senza indirizzo e-mail";
    QTest::newRow("non valido") << "posta errata@esempio" << false << -99 << 7 << false
                                << "indirizzo e-mail non valido";
    QTest::newRow("spazi intorno")
        << "  socio@esempio.it " << false << -99 << 7 << false << avvisare;
    QTest::newRow("annullata") << ok << true << -99 << 7 << false << "tessera annullata";
    QTest::newRow("annullata senza indirizzo")
        << "" << true << -99 << 7 << false << "tessera annullata";
    QTest::newRow("recente senza indirizzo")
        << "" << false << 1 << 7 << false << "senza indirizzo e-mail";
}

void TestAvvisi::scelta()
{
    QFETCH(QString, indirizzo);
    QFETCH(bool, annullata);
    QFETCH(int, giorniFa);
    QFETCH(int, giorni);
    QFETCH(bool, includi);
    QFETCH(QString, esito);
    const QDate oggi(2025, 6, 15);
    // The member between two others that are always reminded: the order stays.
    std::vector<TAvviso> tesserati(3);
    for (int i = 0; i < 3; ++i) {
        tesserati[i].posizione = i + 1;
        tesserati[i].nome = QStringLiteral("SOCIO %1").arg(i + 1);
        tesserati[i].indirizzo = QStringLiteral("s%1@esempio.it").arg(i + 1);
    }
    tesserati[1].indirizzo = indirizzo;
    tesserati[1].annullata = annullata;
    QHash<QString, QDate> ultimi;
    if (giorniFa != -99)
        ultimi.insert(RegistroAvvisi::Chiave(2, QStringLiteral("SOCIO 2")),
                      oggi.addDays(-giorniFa));
    // Another member's reminder with the same name at another position does not count.
    ultimi.insert(RegistroAvvisi::Chiave(3, QStringLiteral("SOCIO 2")), oggi);

    const TSceltaAvvisi s = ScegliDestinatari(tesserati, ultimi, oggi, giorni, includi);
    QStringList nomi;
    for (const TAvviso &a : s.daAvvisare)
        nomi << a.nome;
    if (esito == QLatin1String("da avvisare")) {
        QCOMPARE(nomi, (QStringList{"SOCIO 1", "SOCIO 2", "SOCIO 3"}));
        QVERIFY(s.saltati.empty());
        QCOMPARE(s.daAvvisare[1].indirizzo, QStringLiteral("socio@esempio.it"));
        QCOMPARE(s.recentiInclusi, includi ? 1 : 0);
    } else {
        QCOMPARE(nomi, (QStringList{"SOCIO 1", "SOCIO 3"}));
        QCOMPARE(s.saltati.size(), size_t(1));
        QCOMPARE(s.saltati[0].avviso.nome, QStringLiteral("SOCIO 2"));
        QCOMPARE(TestoMotivo(s.saltati[0].motivo, giorni), esito);
        QCOMPARE(s.Saltati(s.saltati[0].motivo), 1);
    }
}

void TestAvvisi::schermoModello()
{
    Ambiente env;
    TfrmPosta posta;
    posta.show();
    const TModelloAvviso predefinito = TModelloAvviso::Predefinito();
    // Line breaks, a backslash and the two characters \n typed by the user.
    const QString testo = QStringLiteral("{gentile} {nome},\n\nla tessera {tessera} "
                                         "scade il {scadenza}.\nPercorso: C:\\soci\\nuovi\n\n"
                                         "{ente}");
    env->modale = [&](QDialog *d) {
        QCOMPARE(d->windowTitle(), QStringLiteral(" Testo dell'avviso"));
        auto *oggetto = Controllo<QLineEdit>(d, "txtOggetto");
        auto *corpo = Controllo<QPlainTextEdit>(d, "txtTesto");
        // The default text until one is saved; the label names every field.
        QCOMPARE(oggetto->text(), predefinito.oggetto);
        QCOMPARE(corpo->toPlainText(), predefinito.testo);
        for (const QString &campo : PostaElettronica::CampiAvviso())
            QVERIFY2(Controllo<QLabel>(d, "lblCampi")->text().contains(campo), qPrintable(campo));

        // An unknown field is named and nothing is saved.
        oggetto->setText(QStringLiteral("Rinnovo {tesera}"));
        corpo->setPlainText(testo + QStringLiteral(" {firma}"));
        Controllo<QPushButton>(d, "cmdSalva")->click();
        QCOMPARE(env->UltimaForma(), Piattaforma::Forma::Avviso);
        QVERIFY2(env->UltimoMessaggio().startsWith(
                     "Attenzione: campi sconosciuti {tesera}, {firma}: correggere"),
                 qPrintable(env->UltimoMessaggio()));
        QVERIFY(d->isVisible());
        QVERIFY(!QFile::exists(env.Percorso("Quorvel.ini")));
        // An empty subject is refused too.
        oggetto->clear();
        Controllo<QPushButton>(d, "cmdSalva")->click();
        QCOMPARE(env->UltimoMessaggio(),
                 QStringLiteral("Attenzione: indicare l'oggetto dell'avviso."));

        oggetto->setText(QStringLiteral("Rinnovo {tessera}"));
        corpo->setPlainText(testo);
        env->messaggi.clear();
        Controllo<QPushButton>(d, "cmdSalva")->click();
        QVERIFY(env->messaggi.isEmpty());
        QVERIFY(!d->isVisible());
        QCOMPARE(d->result(), int(QDialog::Accepted));
    };
    Controllo<QPushButton>(&posta, "cmdModello")->click();
    QCOMPARE(env->modaliMostrati, QStringList{"TfrmModelloAvviso"});

    // Stored in the section's keys, every value on one line of the file.
    const TFileIni ini(env.Percorso("Quorvel.ini"));
    QCOMPARE(ini.Leggi("Posta Elettronica", "Oggetto"), QStringLiteral("Rinnovo {tessera}"));
    QVERIFY(!ini.Leggi("Posta Elettronica", "Testo").isEmpty());
    QFile f(env.Percorso("Quorvel.ini"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QStringList righe = QString::fromUtf8(f.readAll()).split("\r\n", Qt::SkipEmptyParts);
    QCOMPARE(righe.size(), 3);
    QCOMPARE(righe[0], QStringLiteral("[Posta Elettronica]"));
    QVERIFY(righe[2].startsWith("Testo={gentile} {nome},\\n\\nla tessera"));

    // Opened again, the text reads back exactly; Annulla keeps it.
    env->modaliMostrati.clear();
    env->modale = [&](QDialog *d) {
        QCOMPARE(Controllo<QLineEdit>(d, "txtOggetto")->text(),
                 QStringLiteral("Rinnovo {tessera}"));
        QCOMPARE(Controllo<QPlainTextEdit>(d, "txtTesto")->toPlainText(), testo);
        Controllo<QPushButton>(d, "cmdPredefinito")->click();
        QCOMPARE(Controllo<QPlainTextEdit>(d, "txtTesto")->toPlainText(), predefinito.testo);
        Controllo<QPushButton>(d, "cmdAnnulla")->click();
    };
    Controllo<QPushButton>(&posta, "cmdModello")->click();
    QCOMPARE(env->modaliMostrati, QStringList{"TfrmModelloAvviso"});
    const TModelloAvviso letto = TModelloAvviso::Carica(env.cartella());
    QCOMPARE(letto.oggetto, QStringLiteral("Rinnovo {tessera}"));
    QCOMPARE(letto.testo, testo);
}

void TestAvvisi::modelloNonSalvato()
{
    Ambiente env;
    // A folder where the settings file should be: the text cannot be written.
    QVERIFY(QDir().mkdir(env.Percorso("Quorvel.ini")));
    TfrmModelloAvviso w;
    env->modale = [&](QDialog *d) {
        Controllo<QPlainTextEdit>(d, "txtTesto")->setPlainText("{gentile} {nome}");
        Controllo<QPushButton>(d, "cmdSalva")->click();
        QCOMPARE(env->UltimaForma(), Piattaforma::Forma::Errore);
        QCOMPARE(env->UltimoMessaggio(),
                 QStringLiteral("Impossibile salvare il testo dell'avviso."));
        // The screen stays open with the text as typed.
        QVERIFY(d->isVisible());
        QCOMPARE(Controllo<QPlainTextEdit>(d, "txtTesto")->toPlainText(),
                 QStringLiteral("{gentile} {nome}"));
    };
    QCOMPARE(Piattaforma::MostraModale(&w), int(QDialog::Rejected));
    QCOMPARE(env->modaliMostrati, QStringList{"TfrmModelloAvviso"});
}

QTEST_MAIN(TestAvvisi)
#include "tst_avvisi.moc"
