// The main screens on the archive's server, driven as on the folder: the archive screen's
// save (and what it says when the connection drops), the search, the import, the batch
// cards and the reminders, these last shared by two desks, and the export.
#include "support/Avvisi.h"
#include "support/ServerPosta.h"
#include "support/ServerProva.h"
#include "support/Stampati.h"
#include "support/Supporto.h"

#include "lists/ExpAnagrafica.h"
#include "lists/Sospesi.h"
#include "lists/TrovaAnagrafica.h"
#include "registry/Anagrafica.h"
#include "storage/ConnessioneServer.h"
#include "storage/Deposito.h"
#include "widgets/Controlli.h"

#include <QAbstractButton>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QSpinBox>
#include <QTableView>
#include <QTest>

using Piattaforma::Forma;

namespace {

using ServerProva::Password;

void Sportello(const Ambiente &env, const QString &db, const QString &utente)
{
    ServerProva::Sportello(env.cartella(), db, utente);
}

// A new archive database with the desk logins luisa and maria; the desk works as luisa.
QString Server(const Ambiente &env)
{
    const QString db = ServerProva::NuovoDatabase();
    ServerProva::CreaUtente(QStringLiteral("luisa"), Password(QStringLiteral("luisa")));
    ServerProva::CreaUtente(QStringLiteral("maria"), Password(QStringLiteral("maria")));
    Sportello(env, db, QStringLiteral("luisa"));
    return db;
}

TScheda Socio(const QString &nome, const QList<std::pair<Campo, QString>> &altri = {})
{
    TScheda s;
    s.Scrivi(Campo::Tesserato, nome);
    s.Scrivi(Campo::DataRil, QStringLiteral("01/01/2026"));
    s.Scrivi(Campo::DataScade, QStringLiteral("31/12/2026"));
    s.Scrivi(Campo::Preavviso, QStringLiteral("30"));
    s.Scrivi(Campo::Annullata, AnnullataNo);
    for (const auto &[campo, testo] : altri)
        s.Scrivi(campo, testo);
    return s;
}

void Accoda(const QList<TScheda> &schede)
{
    const auto d = ApriDeposito(Piattaforma::CartellaProgramma());
    for (const TScheda &s : schede)
        d->AccodaScheda(s);
}

QStringList Tesserati()
{
    QStringList r;
    const auto d = ApriDeposito(Piattaforma::CartellaProgramma());
    for (int p = 1, n = d->NumeroSchede(); p <= n; ++p)
        r << d->LeggiScheda(p).Leggi(Campo::Tesserato);
    return r;
}

// The names in a list screen's rows.
QStringList Nomi(QWidget *schermata)
{
    auto *lst = Controllo<QListView>(schermata, "lstRecords");
    QStringList r;
    for (int i = 0; i < lst->model()->rowCount(); ++i)
        r << lst->model()->index(i, 0).data().toString().left(30).trimmed();
    return r;
}

} // namespace

class TestSchermateServer : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { ConnessioneServer::Dimentica(); }
    void salva_data();
    void salva();
    void salvataggioInterrotto_data();
    void salvataggioInterrotto();
    void ricerca_data();
    void ricerca();
    void importa_data();
    void importa();
    void tessere_data();
    void tessere();
    void avvisiTraPostazioni();
    void esporta();
};

void TestSchermateServer::salva_data()
{
    QTest::addColumn<bool>("nuova"); // a new record, or record 1 changed
    QTest::addColumn<int>("posizione");
    QTest::addColumn<QString>("messaggio");
    QTest::newRow("nuova scheda") << true << 2
                                  << QStringLiteral(
                                         "La scheda corrente è stata inserita in archivio.");
    QTest::newRow("scheda modificata")
        << false << 1
        << QStringLiteral("Le modifiche apportate alla scheda corrente sono state salvate in "
                          "archivio.");
}

// The archive screen saves a record and its photo on the server, and shows them again.
void TestSchermateServer::salva()
{
    SERVER_RICHIESTO();
    QFETCH(bool, nuova);
    QFETCH(int, posizione);
    QFETCH(QString, messaggio);
    Ambiente env;
    Server(env);
    Accoda({Socio(QStringLiteral("ROSSI MARIO"))});
    QVERIFY(Immagine(40, 50, Qt::red).save(env.Percorso("foto.jpg")));

    TfrmAnagrafica w;
    w.show();
    auto *nome = Controllo<QLineEdit>(&w, "txtTesserato");
    if (nuova) {
        Clic(&w, "cmdNuovo");
        QTest::keyClicks(nome, "VERDI LUCA");
        Controllo<QLineEdit>(&w, "txtDataScade")->setText(QStringLiteral("31/12/2026"));
    } else {
        Clic(&w, "cmdPrimo");
        nome->setText(QStringLiteral("ROSSI MARIO ANTONIO"));
    }
    env->fileDaAprire.enqueue(env.Percorso("foto.jpg"));
    Clic(&w, "btnSfoglia");
    Clic(&w, "cmdSalva");
    QCOMPARE(env->messaggi.size(), 1);
    QCOMPARE(env->UltimoMessaggio(), messaggio);
    QCOMPARE(Controllo<QLabel>(&w, "lblPosizione")->text(), QString::number(posizione));
    {
        const auto d = ApriDeposito(env.cartella());
        QCOMPARE(d->NumeroSchede(), nuova ? 2 : 1);
        QCOMPARE(d->LeggiScheda(posizione).Leggi(Campo::Tesserato), nome->text());
        QCOMPARE(d->LeggiFoto(posizione).size(), QSize(40, 50));
    }
    // Saved again from this desk: no other desk came in between, so nothing is asked.
    Controllo<QLineEdit>(&w, "txtNote")->setText(QStringLiteral("seconda volta"));
    Clic(&w, "cmdSalva");
    QCOMPARE(env->messaggi.size(), 2);
    QCOMPARE(env->UltimoMessaggio(),
             QStringLiteral("Le modifiche apportate alla scheda corrente sono state salvate in "
                            "archivio."));
    QCOMPARE(ApriDeposito(env.cartella())->LeggiScheda(posizione).Leggi(Campo::Note),
             QString("seconda volta"));
    // Shown again from the server, photo included.
    Clic(&w, "cmdNuovo");
    Clic(&w, nuova ? "cmdUltimo" : "cmdPrimo");
    QCOMPARE(nome->text(), nuova ? QString("VERDI LUCA") : QString("ROSSI MARIO ANTONIO"));
    QCOMPARE(Controllo<TImmagine>(&w, "imgFoto")->Picture().size(), QSize(40, 50));
}

void TestSchermateServer::salvataggioInterrotto_data()
{
    QTest::addColumn<bool>("raggiungibile"); // the server answers again after the drop
    QTest::newRow("collegamento perso e ripreso") << true;
    QTest::newRow("server irraggiungibile") << false;
}

// The connection drops between showing a record and saving it: with the server there,
// the save happens once on a new connection and says so; with the server gone, it says
// that the record was not saved, with the server's advice instead of the folder's.
void TestSchermateServer::salvataggioInterrotto()
{
    SERVER_RICHIESTO();
    QFETCH(bool, raggiungibile);
    Ambiente env;
    const QString db = Server(env);
    Accoda({Socio(QStringLiteral("ROSSI MARIO"))});
    TfrmAnagrafica w;
    w.show();
    Clic(&w, "cmdPrimo");
    Controllo<QLineEdit>(&w, "txtNote")->setText(QStringLiteral("nuova nota"));
    QVERIFY(ServerProva::Amministra(
        db, QStringLiteral("SELECT 1 / count(*) FROM (SELECT pg_terminate_backend(pid, 5000) FROM "
                           "pg_stat_activity WHERE usename = 'luisa' AND datname = "
                           "current_database()) t")));
    if (!raggiungibile) {
        TParametriServer p = ServerProva::Parametri(db, QStringLiteral("luisa"));
        p.porta = 1; // nothing listens there
        ConnessioneServer::Imposta(p, Password(QStringLiteral("luisa")));
    }
    Clic(&w, "cmdSalva");
    QCOMPARE(env->messaggi.size(), 1);
    const QString testo = env->UltimoMessaggio();
    if (!raggiungibile) {
        // Browsing gives the server's advice too, and leaves the edits on screen.
        Clic(&w, "cmdPrimo");
        QCOMPARE(env->UltimoMessaggio(),
                 QStringLiteral("Attenzione: il sistema non permette di accedere all'archivio."
                                "\n\r\n\rVerificare il collegamento al server dell'archivio."));
    }
    ConnessioneServer::Imposta(ServerProva::Parametri(db, QStringLiteral("luisa")),
                               Password(QStringLiteral("luisa")));
    const auto d = ApriDeposito(env.cartella());
    const TDeposito::TSchedaLetta letta = d->LeggiSchedaConVersione(1);
    const QString nota = letta.scheda.Leggi(Campo::Note);
    // Saved once on a new connection and told so: no second record, no second version.
    if (raggiungibile) {
        QCOMPARE(env->UltimaForma(), Forma::Informazione);
        QCOMPARE(testo, QStringLiteral("Le modifiche apportate alla scheda corrente sono state "
                                       "salvate in archivio."));
        QCOMPARE(nota, QString("nuova nota"));
        QCOMPARE(letta.versione, qint64(2));
        QCOMPARE(d->NumeroSchede(), 1);
        return;
    }
    QCOMPARE(nota, QString());
    QCOMPARE(env->UltimaForma(), Forma::Errore);
    QVERIFY2(testo.startsWith(QStringLiteral("Attenzione: la scheda non è stata salvata in "
                                             "archivio.\n\r\n\r")),
             qPrintable(testo));
    QVERIFY2(testo.endsWith(QStringLiteral("\n\r\n\rVerificare il collegamento al server "
                                           "dell'archivio.")),
             qPrintable(testo));
    QVERIFY(!testo.contains(QStringLiteral("privilegi di scrittura")));
    // The edits stay on screen; saved again once the server answers.
    QCOMPARE(Controllo<QLineEdit>(&w, "txtNote")->text(), QString("nuova nota"));
    Clic(&w, "cmdSalva");
    QCOMPARE(env->UltimaForma(), Forma::Informazione);
    QCOMPARE(d->LeggiScheda(1).Leggi(Campo::Note), QString("nuova nota"));
}

void TestSchermateServer::ricerca_data()
{
    QTest::addColumn<QStringList>("filtri"); // box, text, box, text...
    QTest::addColumn<QStringList>("attesi");
    QTest::newRow("nessun filtro")
        << QStringList{} << QStringList{"BIANCHI ANNA", "ROSSI MARIO", "VERDI LUCA"};
    QTest::newRow("minuscole") << QStringList{"txtComuneRes", "nap"}
                               << QStringList{"BIANCHI ANNA", "ROSSI MARIO"};
    QTest::newRow("accento non piegato")
        << QStringList{"txtNote", QString::fromUtf8("CAFFÈ")} << QStringList{"BIANCHI ANNA"};
    QTest::newRow("due filtri") << QStringList{"txtComuneRes", "nap", "txtCarica", "presidente"}
                                << QStringList{"ROSSI MARIO"};
    QTest::newRow("trattino basso alla lettera")
        << QStringList{"txtNote", "_"} << QStringList{"VERDI LUCA"};
}

// The search screen finds on the server what it finds in the folder: A-Z folded only,
// every filter at once, cancelled records left out, LIKE's wildcards taken as typed.
void TestSchermateServer::ricerca()
{
    SERVER_RICHIESTO();
    QFETCH(QStringList, filtri);
    QFETCH(QStringList, attesi);
    Ambiente env;
    Server(env);
    Accoda({Socio(QStringLiteral("ROSSI MARIO"), {{Campo::ComuneRes, QStringLiteral("Napoli")},
                                                  {Campo::Carica, QStringLiteral("Presidente")},
                                                  {Campo::Note, QString::fromUtf8("caffè")}}),
            Socio(QStringLiteral("BIANCHI ANNA"), {{Campo::ComuneRes, QStringLiteral("NAPOLI")},
                                                   {Campo::Note, QString::fromUtf8("CAFFÈ")}}),
            Socio(QStringLiteral("NERI PAOLO"),
                  {{Campo::ComuneRes, QStringLiteral("Napoli")}, {Campo::Annullata, AnnullataSi}}),
            Socio(QStringLiteral("VERDI LUCA"), {{Campo::ComuneRes, QStringLiteral("Roma")},
                                                 {Campo::Note, QStringLiteral("quota_versata")}})});
    TfrmTrovaAnagrafica w;
    w.show();
    for (qsizetype i = 0; i + 1 < filtri.size(); i += 2)
        Controllo<QLineEdit>(&w, filtri[i].toLatin1().constData())->setText(filtri[i + 1]);
    Clic(&w, "btnCerca");
    QCOMPARE(Nomi(&w), attesi);
    QVERIFY(env->messaggi.isEmpty());
}

void TestSchermateServer::importa_data()
{
    QTest::addColumn<int>("prima"); // records already there
    QTest::newRow("archivio vuoto") << 0;
    QTest::newRow("dopo due schede") << 2;
}

// The import screen appends its rows after the records there, all in one go.
void TestSchermateServer::importa()
{
    SERVER_RICHIESTO();
    QFETCH(int, prima);
    Ambiente env;
    Server(env);
    QStringList attesi;
    for (int i = 1; i <= prima; ++i) {
        Accoda({Socio(QStringLiteral("GIA %1").arg(i))});
        attesi << QStringLiteral("GIA %1").arg(i);
    }
    const QString csv = env.Percorso("soci.csv");
    QFile f(csv);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("Cognome e nome;Data rilascio;Data scadenza\n"
            "SOCIO UNO;01/01/2025;31/12/2025\n"
            "SOCIO DUE;01/01/2025;31/12/2025\n"
            ";01/01/2025;31/12/2025\n");
    f.close();
    env->fileDaAprire.enqueue(csv);
    QString riepilogo;
    env->modale = [&](QDialog *d) {
        Clic(d, "cmdScegli");
        Clic(d, "cmdAvvia");
        riepilogo = Controllo<QListWidget>(d, "lstEsito")->item(0)->text();
        Clic(d, "cmdEsci");
    };
    TfrmAnagrafica a;
    Clic(&a, "cmdImporta");
    QCOMPARE(riepilogo, QStringLiteral("Righe: 2 importate, 1 scartate, 0 con avvisi."));
    QCOMPARE(env->UltimoMessaggio(),
             QStringLiteral("Importazione completata: 2 schede aggiunte all'archivio."));
    QCOMPARE(Tesserati(), attesi << "SOCIO UNO"
                                 << "SOCIO DUE");
}

void TestSchermateServer::tessere_data()
{
    QTest::addColumn<bool>("foglio"); // nine to a sheet, or one to a page
    QTest::addColumn<int>("pagine");
    QTest::newRow("foglio") << true << 1;
    QTest::newRow("una per pagina") << false << 3;
}

// The batch cards from the renewal list read members and photos from the server.
void TestSchermateServer::tessere()
{
    SERVER_RICHIESTO();
    QFETCH(bool, foglio);
    QFETCH(int, pagine);
    Ambiente env;
    env->oggi = QDate(2026, 12, 11);
    Server(env);
    Accoda({Socio(QStringLiteral("ROSSI MARIO"), {{Campo::NumTessera, QStringLiteral("T1")}}),
            Socio(QStringLiteral("BIANCHI ANNA"), {{Campo::NumTessera, QStringLiteral("T2")}}),
            Socio(QStringLiteral("VERDI LUCA"), {{Campo::NumTessera, QStringLiteral("T3")}})});
    {
        const auto d = ApriDeposito(env.cartella());
        for (int p = 1; p <= 3; ++p)
            QVERIFY(d->ScriviFoto(p, Immagine(40, 50, Qt::green)));
    }
    env->stampaSuPdf = env.Percorso("tessere.pdf");
    TfrmSospesi w;
    w.show();
    auto *lst = Controllo<QListView>(&w, "lstRecords");
    QCOMPARE(lst->model()->rowCount(), 3);
    QTest::keyClick(lst, Qt::Key_A, Qt::ControlModifier);
    env->modale = [&](QDialog *d) {
        Clic(d, foglio ? "optFoglio" : "optSingola");
        Clic(d, "btnStampa");
    };
    Clic(&w, "cmdTessere");
    QCOMPARE(env->modaliMostrati, QStringList{"TfrmStampaLotto"});
    QVERIFY2(env->messaggi.isEmpty(), qPrintable(env->UltimoMessaggio()));
    QCOMPARE(PaginePdf(env->stampaSuPdf), pagine);
    const QString testo =
        Esegui(QStringLiteral("pdftotext"), {env->stampaSuPdf, QStringLiteral("-")});
    for (const char *n : {"ROSSI MARIO", "BIANCHI ANNA", "VERDI LUCA"})
        QVERIFY2(testo.contains(QLatin1String(n)), n);
}

// A member reminded from one desk is not reminded again from another: the log is shared.
void TestSchermateServer::avvisiTraPostazioni()
{
    SERVER_RICHIESTO();
    QTemporaryDir cartellaPosta;
    ServerPosta posta;
    QVERIFY(posta.Avvia(cartellaPosta.path()));
    Ambiente env;
    env->oggi = QDate(2026, 12, 11);
    Imposta(env, QStringLiteral("127.0.0.1"), posta.plain);
    const QString db = Server(env);
    Accoda({Socio(QStringLiteral("ROSSI MARIO"), {{Campo::Email, QStringLiteral("a@e.it")}})});
    Sportello(env, db, QStringLiteral("maria"));
    {
        TfrmSospesi w;
        w.show();
        QCOMPARE(InviaAvvisi(w, env), QStringLiteral("Invia 1 avviso"));
    }
    QCOMPARE(posta.Messaggi().size(), 1);

    Sportello(env, db, QStringLiteral("luisa"));
    Accoda({Socio(QStringLiteral("BIANCHI ANNA"), {{Campo::Email, QStringLiteral("b@e.it")}})});
    TfrmSospesi w;
    w.show();
    const QStringList righe = [&] {
        QStringList r;
        auto *lst = Controllo<QListView>(&w, "lstRecords");
        for (int i = 0; i < lst->model()->rowCount(); ++i)
            r << lst->model()->index(i, 0).data().toString();
        return r;
    }();
    QCOMPARE(righe.size(), 2);
    QVERIFY2(righe.filter(QStringLiteral("Avvisato 11/12/2026")).size() == 1,
             qPrintable(righe.join(u'\n')));
    QCOMPARE(InviaAvvisi(w, env), QStringLiteral("Invia 1 avviso"));
    QCOMPARE(posta.Messaggi().size(), 2);
    const auto invii = ApriDeposito(env.cartella())->UltimiInvii();
    QCOMPARE(invii.size(), 2);
}

// The export grid reads the server's records a page at a time as shown, keeps an edit of a
// row scrolled away from, and writes the file from one pass: the rows the grid was filled
// with, not a record appended since.
void TestSchermateServer::esporta()
{
    SERVER_RICHIESTO();
    constexpr int N = 300, Riga = 260;
    Ambiente env;
    Server(env);
    QList<TScheda> soci;
    for (int i = 0; i < N; ++i)
        soci << Socio(QStringLiteral("SOCIO %1").arg(i),
                      {{Campo::Note, QStringLiteral("n%1").arg(i)}});
    Accoda(soci);
    TfrmExpAnagrafica w;
    w.show();
    auto *g = Controllo<QTableView>(&w, "grdRecords");
    QAbstractItemModel *m = g->model();
    QCOMPARE(m->rowCount(), N);
    const QModelIndex nota = m->index(Riga, 24);
    QVERIFY(ScriviCella(g, nota, QStringLiteral("cambiata")));
    for (int r : {0, 127, 128, 255, 256, N - 1}) {
        g->scrollTo(m->index(r, 1));
        QCOMPARE(m->index(r, 0).data().toString(), QString::number(r + 1));
        QCOMPARE(m->index(r, 1).data().toString(), QStringLiteral("SOCIO %1").arg(r));
    }
    QCOMPARE(m->index(Riga, 24).data().toString(), QStringLiteral("cambiata"));
    Accoda({Socio(QStringLiteral("ARRIVATO DOPO"))});

    env->risposte << true << false;
    Clic(&w, "cmdEsporta");
    QCOMPARE(env->UltimaForma(), Forma::Domanda);
    QFile f(env.Percorso("Tesserati.xls"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    // Before the first row, the header row, then one piece per data row.
    const QString file = QString::fromLatin1(f.readAll());
    const QStringList righe = file.split(QStringLiteral("<tr>")).mid(2);
    QCOMPARE(righe.size(), N);
    for (int r = 0; r < N; ++r) {
        QVERIFY2(righe[r]
                     .section(QStringLiteral("</td>"), 0, 0)
                     .endsWith(QStringLiteral(">SOCIO %1").arg(r)),
                 qPrintable(righe[r]));
        const QString attesa =
            r == Riga ? QStringLiteral("cambiata") : QStringLiteral("n%1").arg(r);
        QVERIFY2(righe[r].contains(u'>' + attesa + QStringLiteral("</td>")), qPrintable(righe[r]));
    }
    QVERIFY(!righe.last().contains("ARRIVATO DOPO"));
}

QTEST_MAIN(TestSchermateServer)
#include "tst_schermateserver.moc"
