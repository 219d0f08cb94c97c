// quorvel-migra: the archive between a folder and the PostgreSQL server, from a terminal.
// Connects as PostgreSQL's own tools do: libpq's variables (PGHOST, PGPORT, PGDATABASE,
// PGUSER, PGSSLMODE, PGSSLROOTCERT...) and ~/.pgpass, or the options -h -p -d -U.
// Progress and reports go to standard error; a failure ends with a one-line reason and a
// non-zero exit.
#include "storage/ConnessioneServer.h"
#include "storage/Migrazione.h"

#include <QCoreApplication>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QTextStream>

#include <cstdio>
#include <iostream>
#include <string>

#include <termios.h>
#include <unistd.h>

namespace {

const char *const Uso =
    "Uso: quorvel-migra [-h SERVER] [-p PORTA] [-d DATABASE] [-U UTENTE] COMANDO\n"
    "  prepara                      crea schema, ruoli e funzioni in un database vuoto\n"
    "  utente NOME [--responsabile] aggiunge l'utente di un volontario (password chiesta)\n"
    "  importa CARTELLA [--nul-come-punto-interrogativo]\n"
    "                               trasferisce l'archivio della cartella sul server vuoto\n"
    "  esporta CARTELLA_VUOTA       scrive l'archivio del server in una cartella vuota\n"
    "  verifica CARTELLA            confronta la cartella con il server\n"
    "Senza opzioni valgono le variabili PGHOST, PGPORT, PGDATABASE, PGUSER, PGSSLMODE,\n"
    "PGSSLROOTCERT e il file ~/.pgpass, come per psql.\n";

void Errore(const QString &t)
{
    // One line, whatever the server's message holds.
    std::cerr << "quorvel-migra: " << t.simplified().toStdString() << std::endl;
}

void Righe(const QString &prefisso, const QStringList &righe)
{
    for (const QString &r : righe)
        std::cerr << prefisso.toStdString() << r.toStdString() << '\n';
    std::cerr.flush();
}

// One line of standard input, without echo on a terminal.
QString LeggiPassword(const char *domanda, bool terminale)
{
    if (terminale) {
        std::cerr << domanda << std::flush;
        termios prima{};
        tcgetattr(STDIN_FILENO, &prima);
        termios senza = prima;
        senza.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        tcsetattr(STDIN_FILENO, TCSANOW, &senza);
        std::string riga;
        std::getline(std::cin, riga);
        tcsetattr(STDIN_FILENO, TCSANOW, &prima);
        std::cerr << std::endl;
        return QString::fromStdString(riga);
    }
    std::string riga;
    std::getline(std::cin, riga);
    if (!riga.empty() && riga.back() == '\r')
        riga.pop_back();
    return QString::fromStdString(riga);
}

// Progress on standard error at each whole percent.
Migrazione::Avanzamento Avanzamento()
{
    return [ultimo = qint64(-1)](qint64 fatti, qint64 totale) mutable {
        const qint64 percento = totale > 0 ? fatti * 100 / totale : 100;
        if (percento != ultimo) {
            ultimo = percento;
            std::cerr << "avanzamento: " << fatti << "/" << totale << " (" << percento << "%)"
                      << std::endl;
        }
        return true;
    };
}

int Esegui(const QStringList &argomenti)
{
    QString server, porta, database, utente, comando;
    QStringList posizionali;
    bool responsabile = false, nulQ = false;
    for (qsizetype i = 0; i < argomenti.size(); ++i) {
        const QString &a = argomenti[i];
        auto valore = [&](QString *dove) {
            if (i + 1 >= argomenti.size())
                return false;
            *dove = argomenti[++i];
            return true;
        };
        if (a == u"-h" || a == u"-p" || a == u"-d" || a == u"-U") {
            QString *dove = a == u"-h"   ? &server
                            : a == u"-p" ? &porta
                            : a == u"-d" ? &database
                                         : &utente;
            if (!valore(dove)) {
                Errore(QStringLiteral("manca il valore dell'opzione %1").arg(a));
                return 2;
            }
        } else if (a == u"--responsabile") {
            responsabile = true;
        } else if (a == u"--nul-come-punto-interrogativo") {
            nulQ = true;
        } else if (a == u"--help" || a == u"-?") {
            std::cout << Uso;
            return 0;
        } else if (a.startsWith(u'-')) {
            Errore(QStringLiteral("opzione sconosciuta: %1").arg(a));
            std::cerr << Uso;
            return 2;
        } else {
            posizionali << a;
        }
    }
    if (posizionali.isEmpty()) {
        std::cerr << Uso;
        return 2;
    }
    comando = posizionali.takeFirst();
    const bool conCartella =
        comando == u"importa" || comando == u"esporta" || comando == u"verifica";
    if (!(conCartella || comando == u"utente" || comando == u"prepara") ||
        posizionali.size() != (comando == u"prepara" ? 0 : 1)) {
        Errore(QStringLiteral("comando non valido"));
        std::cerr << Uso;
        return 2;
    }

    QString password;
    if (comando == u"utente") {
        const bool terminale = ::isatty(STDIN_FILENO);
        password = LeggiPassword("Nuova password: ", terminale);
        if (terminale && LeggiPassword("Ripetere la password: ", true) != password) {
            Errore(QStringLiteral("le due password non coincidono"));
            return 1;
        }
        if (password.isEmpty()) {
            Errore(QStringLiteral("la password non può essere vuota"));
            return 1;
        }
    }

    // Only what was given: libpq reads the rest from its variables and ~/.pgpass.
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("migra"));
    if (!db.isValid()) {
        Errore(QStringLiteral("il driver PostgreSQL di Qt (QPSQL) non è installato"));
        return 1;
    }
    if (!server.isEmpty())
        db.setHostName(server);
    if (!porta.isEmpty())
        db.setPort(porta.toInt());
    if (!database.isEmpty())
        db.setDatabaseName(database);
    if (!utente.isEmpty())
        db.setUserName(utente);
    if (!db.open()) {
        Errore(QStringLiteral("impossibile collegarsi al server: %1")
                   .arg(db.lastError().text().simplified()));
        return 1;
    }

    try {
        QSqlQuery q(db);
        if (comando == u"prepara") {
            QFile script(QStringLiteral(":/sql/quorvel.sql"));
            if (!script.open(QIODevice::ReadOnly))
                throw ErroreFile(QStringLiteral("lo schema del server non è nel programma"));
            Migrazione::Prepara(db, QString::fromUtf8(script.readAll()));
            std::cout << "Database preparato per l'archivio di Quorvel." << std::endl;
            return 0;
        }
        if (comando == u"utente") {
            Migrazione::Utente(db, posizionali[0], password, responsabile);
            std::cout << "Utente " << posizionali[0].toStdString() << " pronto"
                      << (responsabile ? " (responsabile)." : ".") << std::endl;
            return 0;
        }
        // The archive's tables, as their owner.
        if (!q.exec(QStringLiteral("SET search_path = quorvel")) ||
            !q.exec(QStringLiteral("SET ROLE quorvel_proprietario")))
            throw ErroreFile(QStringLiteral("l'utente non può trasferire l'archivio (serve un "
                                            "membro di quorvel_proprietario): %1")
                                 .arg(q.lastError().databaseText().trimmed()));
        if (!q.exec(QStringLiteral("SELECT versione FROM versione_schema")) || !q.next())
            throw ErroreFile(QStringLiteral("il database non contiene l'archivio di Quorvel "
                                            "(prima: quorvel-migra prepara)"));
        if (q.value(0).toInt() != ConnessioneServer::VersioneSchema)
            throw ErroreFile(QStringLiteral("l'archivio sul server è di un'altra versione del "
                                            "programma (%1)")
                                 .arg(q.value(0).toInt()));
        q.finish();

        const QString cartella = posizionali[0];
        Migrazione::TOpzioni opzioni;
        opzioni.nulComePuntoInterrogativo = nulQ;
        Migrazione::TRapporto r;
        if (comando == u"importa")
            r = Migrazione::Importa(cartella, db, opzioni, Avanzamento());
        else if (comando == u"esporta")
            r = Migrazione::Esporta(cartella, db, Avanzamento());
        else
            r = Migrazione::Verifica(cartella, db, opzioni, Avanzamento());
        Righe(QStringLiteral("saltato: "), r.saltati);
        Righe(QStringLiteral("differenza: "), r.problemi);
        const QString conti = QStringLiteral("%1 schede, %2 foto, %3 documenti")
                                  .arg(r.schede)
                                  .arg(r.foto)
                                  .arg(r.documenti);
        if (!r.riuscito) {
            if (comando == u"importa" && !r.problemi.isEmpty() && r.problemi[0].contains(u"nullo"))
                Errore(QStringLiteral("trasferimento fermato: testi con un carattere nullo (per "
                                      "conservarli con \"?\" al suo posto: "
                                      "--nul-come-punto-interrogativo); il server è rimasto "
                                      "com'era"));
            else if (comando == u"verifica")
                Errore(QStringLiteral("la cartella e il server differiscono (%1 differenze)")
                           .arg(r.problemi.size()));
            else
                Errore(QStringLiteral("il confronto ha trovato %1 differenze: nulla è stato "
                                      "conservato")
                           .arg(r.problemi.size()));
            return 1;
        }
        if (comando == u"importa")
            std::cout << "Trasferiti sul server: " << conti.toStdString()
                      << ". Confronto riuscito: il server è identico alla cartella." << std::endl;
        else if (comando == u"esporta")
            std::cout << "Esportati nella cartella: " << conti.toStdString()
                      << ". Confronto riuscito: la cartella è identica al server." << std::endl;
        else
            std::cout << "Nessuna differenza: " << conti.toStdString() << "." << std::endl;
        return 0;
    } catch (const ErroreFile &e) {
        Errore(e.testo());
        return 1;
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList argomenti = app.arguments();
    argomenti.removeFirst();
    int esito = Esegui(argomenti);
    QSqlDatabase::removeDatabase(QStringLiteral("migra"));
    return esito;
}
