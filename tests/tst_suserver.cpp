// The screens on the archive's server, several desks at once: the archive screen's save
// over a record another desk saved meanwhile, the card screen's organization data.
// Each desk is a login of the same process: ConnessioneServer::Imposta switches between
// them, as the screens keep no connection between one action and the next.
#include "support/ServerProva.h"
#include "support/Stampati.h"
#include "support/Supporto.h"

#include "cards/Tessera.h"
#include "registry/Anagrafica.h"
#include "storage/ConnessioneServer.h"
#include "storage/Deposito.h"
#include "widgets/Controlli.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QTest>

using Piattaforma::Forma;

namespace {

using ServerProva::Password;

void Sportello(const Ambiente &env, const QString &db, const QString &utente)
{
    ServerProva::Sportello(env.cartella(), db, utente);
}

// The first column of the first row `sql` gives on `db`, read as `utente`.
QString Valore(const QString &db, const QString &utente, const QString &sql)
{
    const QString nome = QStringLiteral("suserver-lettura");
    QString valore;
    {
        QSqlDatabase c =
            ConnessioneServer::Apri(ServerProva::Parametri(db, utente), Password(utente), nome);
        QSqlQuery q(c);
        if (q.exec(sql) && q.next())
            valore = q.value(0).toString();
    }
    ConnessioneServer::Chiudi(nome);
    return valore;
}

TScheda Socio(const QString &nome)
{
    TScheda s;
    s.Scrivi(Campo::Tesserato, nome);
    s.Scrivi(Campo::DataRil, QStringLiteral("01/01/2025"));
    s.Scrivi(Campo::DataScade, QStringLiteral("31/12/2025"));
    s.Scrivi(Campo::Preavviso, QStringLiteral("0"));
    s.Scrivi(Campo::TelCel, QStringLiteral("333 1111111"));
    s.Scrivi(Campo::Note, QStringLiteral("prima nota"));
    s.Scrivi(Campo::Annullata, AnnullataNo);
    return s;
}

// Another desk saves record 1 with these changes, over the version it reads.
void AltroSalva(const QString &telCel, const QString &note)
{
    const auto d = ApriDeposito(Piattaforma::CartellaProgramma());
    TDeposito::TSchedaLetta l = d->LeggiSchedaConVersione(1);
    l.scheda.Scrivi(Campo::TelCel, telCel);
    l.scheda.Scrivi(Campo::Note, note);
    d->ScriviSchedaSeInvariata(1, l.versione, l.scheda);
}

TScheda Scheda1(qint64 *versione = nullptr)
{
    const auto d = ApriDeposito(Piattaforma::CartellaProgramma());
    const TDeposito::TSchedaLetta l = d->LeggiSchedaConVersione(1);
    if (versione)
        *versione = l.versione;
    return l.scheda;
}

int Domande(Ambiente &env)
{
    int n = 0;
    for (const auto &m : env->messaggi)
        n += m.forma == Forma::Domanda;
    return n;
}

} // namespace

class TestSuServer : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { ConnessioneServer::Dimentica(); }
    void conflittoScheda_data();
    void conflittoScheda();
    void datiEnteCambiati_data();
    void datiEnteCambiati();
    void opzioniTessera_data();
    void opzioniTessera();
};

void TestSuServer::conflittoScheda_data()
{
    QTest::addColumn<bool>("server");
    QTest::addColumn<bool>("altro");    // another desk saves while the record is on screen
    QTest::addColumn<bool>("risposta"); // the answer to the question
    QTest::addColumn<int>("domande");
    QTest::addColumn<QString>("telCel"); // stored after the save
    QTest::addColumn<QString>("note");
    const QString mio = QStringLiteral("333 2222222");
    const QString suo = QStringLiteral("333 9999999");
    QTest::newRow("server, Sì: salvata sopra") << true << true << true << 1 << mio << "prima nota";
    QTest::newRow("server, No: niente scritto") << true << true << false << 1 << suo << "sua nota";
    QTest::newRow("server, nessun conflitto") << true << false << false << 0 << mio << "prima nota";
    QTest::newRow("cartella: mai chiesto") << false << true << false << 0 << mio << "prima nota";
}

// A desk saves a member another desk saved after it opened the record: it is asked, naming
// who, when and which fields; Yes writes over (and a third writer asks again), No writes
// nothing and keeps the edits on screen. The folder, one desk at a time, never asks.
void TestSuServer::conflittoScheda()
{
    QFETCH(bool, server);
    QFETCH(bool, altro);
    QFETCH(bool, risposta);
    QFETCH(int, domande);
    QFETCH(QString, telCel);
    QFETCH(QString, note);
    if (server)
        SERVER_RICHIESTO();
    Ambiente env;
    QString db;
    if (server) {
        db = ServerProva::NuovoDatabase();
        ServerProva::CreaUtente(QStringLiteral("luisa"), Password(QStringLiteral("luisa")));
        ServerProva::CreaUtente(QStringLiteral("maria"), Password(QStringLiteral("maria")));
        Sportello(env, db, QStringLiteral("luisa"));
    }
    ApriDeposito(env.cartella())->AccodaScheda(Socio(QStringLiteral("ROSSI MARIO")));

    TfrmAnagrafica w;
    w.show();
    Clic(&w, "cmdPrimo");
    auto *cel = Controllo<QLineEdit>(&w, "txtTelCel");
    QCOMPARE(cel->text(), QString("333 1111111"));
    cel->setText(QStringLiteral("333 2222222"));

    qint64 suaVersione = 0;
    if (altro) {
        if (server)
            Sportello(env, db, QStringLiteral("maria"));
        AltroSalva(QStringLiteral("333 9999999"), QStringLiteral("sua nota"));
        Scheda1(&suaVersione);
        if (server)
            Sportello(env, db, QStringLiteral("luisa"));
    }
    env->risposte.enqueue(risposta);
    Clic(&w, "cmdSalva");

    QCOMPARE(Domande(env), domande);
    if (domande) {
        QString testo = env->messaggi.first().testo;
        testo.replace(QRegularExpression(QStringLiteral("alle \\d\\d:\\d\\d,")),
                      QStringLiteral("alle HH:MM,"));
        QCOMPARE(testo, QStringLiteral("Attenzione: la scheda n. 1 è stata modificata dall'utente "
                                       "maria alle HH:MM, dopo che è stata aperta su questa "
                                       "postazione (campi cambiati: Tel. cellulare, Note).\r\n\r\n"
                                       "Salvare comunque le modifiche di questa postazione? Sì: "
                                       "le modifiche dell'altra postazione andranno perse. No: "
                                       "non si salva."));
        QCOMPARE(env->messaggi.first().forma, Forma::Domanda);
    }
    qint64 versione = 0;
    const TScheda salvata = Scheda1(&versione);
    QCOMPARE(salvata.Leggi(Campo::TelCel), telCel);
    QCOMPARE(salvata.Leggi(Campo::Note), note);
    QCOMPARE(cel->text(), QString("333 2222222")); // the edits stay on screen either way
    QCOMPARE(Controllo<QLabel>(&w, "lblPosizione")->text(), QString("1"));
    const bool salvato = !(altro && server && !risposta);
    QCOMPARE(env->messaggi.last().forma, salvato ? Forma::Informazione : Forma::Domanda);
    if (!server || !altro)
        return;
    if (risposta) {
        QVERIFY(versione > suaVersione);
        // A third save by the other desk: the next save here asks again.
        Sportello(env, db, QStringLiteral("maria"));
        AltroSalva(QStringLiteral("333 9999999"), QStringLiteral("terza nota"));
        Sportello(env, db, QStringLiteral("luisa"));
        cel->setText(QStringLiteral("333 3333333"));
        env->risposte.enqueue(true);
        Clic(&w, "cmdSalva");
        QCOMPARE(Domande(env), 2);
        QVERIFY(env->messaggi[env->messaggi.size() - 2].testo.contains(
            QStringLiteral("(campi cambiati: Tel. cellulare, Note)")));
        QCOMPARE(Scheda1().Leggi(Campo::TelCel), QString("333 3333333"));
    } else {
        // Still unsaved: closing asks to save.
        env->risposteAnnulla.enqueue(Piattaforma::Risposta::No);
        w.close();
        QCOMPARE(env->messaggi.last().forma, Forma::DomandaAnnulla);
    }
}

void TestSuServer::datiEnteCambiati_data()
{
    QTest::addColumn<QString>("suo");     // Denominazione another desk saves meanwhile
    QTest::addColumn<QString>("mio");     // Denominazione typed here; empty: unchanged
    QTest::addColumn<QString>("mieNote"); // Annotazioni typed here; empty: unchanged
    QTest::addColumn<bool>("risposta");   // to the question, when both changed it
    QTest::addColumn<QString>("denominazione");
    QTest::addColumn<QString>("annotazioni");
    QTest::addColumn<int>("domande");
    QTest::newRow("nulla cambiato qui") << "Circolo Nuovo"
                                        << ""
                                        << "" << false << "Circolo Nuovo"
                                        << "Valida 2025" << 0;
    QTest::newRow("altri testi qui") << "Circolo Nuovo"
                                     << ""
                                     << "Valida 2026" << false << "Circolo Nuovo"
                                     << "Valida 2026" << 0;
    QTest::newRow("stesso testo, Sì") << "Circolo Nuovo"
                                      << "Circolo Mio"
                                      << "" << true << "Circolo Mio"
                                      << "Valida 2025" << 1;
    QTest::newRow("stesso testo, No") << "Circolo Nuovo"
                                      << "Circolo Mio"
                                      << "" << false << "Circolo Nuovo"
                                      << "Valida 2025" << 1;
}

// The card screen writes, at its close, only the organization texts and logo changed
// since it opened, each only where no other desk changed it meanwhile: a desk that
// changed nothing leaves another desk's texts and logo in place.
void TestSuServer::datiEnteCambiati()
{
    SERVER_RICHIESTO();
    QFETCH(QString, suo);
    QFETCH(QString, mio);
    QFETCH(QString, mieNote);
    QFETCH(bool, risposta);
    QFETCH(QString, denominazione);
    QFETCH(QString, annotazioni);
    QFETCH(int, domande);
    Ambiente env;
    const QString db = ServerProva::NuovoDatabase();
    ServerProva::CreaUtente(QStringLiteral("luisa"), Password(QStringLiteral("luisa")), true);
    ServerProva::CreaUtente(QStringLiteral("maria"), Password(QStringLiteral("maria")), true);
    Sportello(env, db, QStringLiteral("maria"));
    {
        const auto d = ApriDeposito(env.cartella());
        d->ScriviDatiEnte({QStringLiteral("Circolo Aurora"), QStringLiteral("Via Roma 1"),
                           QString(), QStringLiteral("Valida 2025")});
        QVERIFY(d->SalvaLogo(Immagine(119, 118, Qt::red)));
    }

    Sportello(env, db, QStringLiteral("luisa"));
    auto frm = ApriTessera();
    QCOMPARE(Controllo<QLabel>(frm.get(), "titAssociazione")->text(), QString("Circolo Aurora"));
    if (!mio.isEmpty() || !mieNote.isEmpty()) {
        env->modale = [&](QDialog *d) {
            if (!mio.isEmpty())
                Controllo<QLineEdit>(d, "txtAssociazione")->setText(mio);
            if (!mieNote.isEmpty())
                Controllo<QLineEdit>(d, "txtAnnotazioni")->setText(mieNote);
            Controllo<QAbstractButton>(d, "btnApplica")->click();
        };
        QTest::mouseClick(Controllo<QLabel>(frm.get(), "titAssociazione"), Qt::LeftButton);
    }

    Sportello(env, db, QStringLiteral("maria"));
    {
        const auto d = ApriDeposito(env.cartella());
        d->ScriviDatiEnte(
            {suo, QStringLiteral("Via Roma 1"), QString(), QStringLiteral("Valida 2025")});
        QVERIFY(d->SalvaLogo(Immagine(119, 118, Qt::blue)));
    }
    const QString logo =
        Valore(db, QStringLiteral("maria"), QStringLiteral("SELECT md5(immagine) FROM logo"));
    QVERIFY(!logo.isEmpty());
    Sportello(env, db, QStringLiteral("luisa"));

    env->risposte.enqueue(risposta);
    Clic(frm.get(), "imgEsci");
    QVERIFY(!frm->isVisible());
    QCOMPARE(Domande(env), domande);
    const TDatiEnte d = ApriDeposito(env.cartella())->LeggiDatiEnte();
    QCOMPARE(d.Denominazione, denominazione);
    QCOMPARE(d.Sottotitolo1, QString("Via Roma 1"));
    QCOMPARE(d.Annotazioni, annotazioni);
    // The logo, not changed here, stays as the other desk saved it.
    QCOMPARE(Valore(db, QStringLiteral("luisa"), QStringLiteral("SELECT md5(immagine) FROM logo")),
             logo);
}

void TestSuServer::opzioniTessera_data()
{
    QTest::addColumn<QString>("mioQR"); // the QR text typed here; empty: unchanged
    QTest::addColumn<bool>("risposta");
    QTest::addColumn<QString>("testoQR"); // stored after Applica
    QTest::addColumn<int>("domande");
    QTest::newRow("solo il retro qui") << "" << false << "{tessera} sua" << 0;
    QTest::newRow("stesso testo, Sì") << "{tessera} mia" << true << "{tessera} mia" << 1;
    QTest::newRow("stesso testo, No") << "{tessera} mia" << false << "{tessera} sua" << 1;
}

// The card options of the organization screen: only those changed here are written, over
// another desk's change only when the user says so.
void TestSuServer::opzioniTessera()
{
    SERVER_RICHIESTO();
    QFETCH(QString, mioQR);
    QFETCH(bool, risposta);
    QFETCH(QString, testoQR);
    QFETCH(int, domande);
    Ambiente env;
    const QString db = ServerProva::NuovoDatabase();
    ServerProva::CreaUtente(QStringLiteral("luisa"), Password(QStringLiteral("luisa")), true);
    ServerProva::CreaUtente(QStringLiteral("maria"), Password(QStringLiteral("maria")), true);
    Sportello(env, db, QStringLiteral("luisa"));
    auto frm = ApriTessera();
    env->modale = [&](QDialog *d) {
        // Another desk changes the QR text while this screen is open.
        Sportello(env, db, QStringLiteral("maria"));
        {
            const auto dep = ApriDeposito(env.cartella());
            TOpzioniTessera o = dep->LeggiOpzioniTessera();
            o.CodiceQR = true;
            o.TestoQR = QStringLiteral("{tessera} sua");
            dep->ScriviOpzioniTessera(o);
        }
        Sportello(env, db, QStringLiteral("luisa"));
        Controllo<QCheckBox>(d, "chkRetro")->setChecked(true);
        if (!mioQR.isEmpty())
            Controllo<QLineEdit>(d, "txtQR")->setText(mioQR);
        env->risposte.enqueue(risposta);
        Controllo<QAbstractButton>(d, "btnApplica")->click();
    };
    QTest::mouseClick(Controllo<QLabel>(frm.get(), "titAssociazione"), Qt::LeftButton);
    QCOMPARE(env->modaliMostrati, QStringList{"TfrmDatiEnte"});
    QCOMPARE(Domande(env), domande);
    const TOpzioniTessera o = ApriDeposito(env.cartella())->LeggiOpzioniTessera();
    QCOMPARE(o.TestoQR, testoQR);
    QVERIFY(o.CodiceQR); // the other desk's switch, not touched here
    QVERIFY(o.Retro);
}

QTEST_MAIN(TestSuServer)
#include "tst_suserver.moc"
