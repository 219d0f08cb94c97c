// The connection to the archive's server: TLS with the host name checked, logins, the schema.
#include "support/ServerProva.h"

#include "archive/Errori.h"
#include "storage/ConnessioneServer.h"

#include <QSqlQuery>
#include <QtTest>

class TestConnessione : public QObject {
    Q_OBJECT
private slots:
    void collegamentoProtetto();
};

// A desk's login reaches the archive over TLS and finds this program's schema.
void TestConnessione::collegamentoProtetto()
{
    SERVER_RICHIESTO();
    const QString db = ServerProva::NuovoDatabase();
    ServerProva::CreaUtente(QStringLiteral("anna"), QStringLiteral("segreta-anna"));
    QSqlDatabase c =
        ConnessioneServer::Apri(ServerProva::Parametri(db, QStringLiteral("anna")),
                                QStringLiteral("segreta-anna"), QStringLiteral("prova"));
    QSqlQuery q(c);
    QVERIFY(q.exec(
        QStringLiteral("SELECT ssl, version FROM pg_stat_ssl WHERE pid = pg_backend_pid()")));
    QVERIFY(q.next());
    QVERIFY(q.value(0).toBool());
    QVERIFY(q.exec(QStringLiteral("SELECT count(*) FROM schede")));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toInt(), 0);
    q = QSqlQuery();
    c = QSqlDatabase();
    ConnessioneServer::Chiudi(QStringLiteral("prova"));
}

QTEST_GUILESS_MAIN(TestConnessione)
#include "tst_connessione.moc"
