// Back to a folder from one snapshot; the schema and the logins.
#include "archive/Archivio.h"
#include "archive/CellaCsv.h"
#include "archive/FileSicuro.h"
#include "storage/DatiEnteFile.h"
#include "storage/DepositoServer.h"
#include "storage/Migrazione.h"
#include "storage/MigrazioneComune.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QSqlDriver>
#include <QSqlError>
#include <QTemporaryDir>
#include <QVariant>

#include <algorithm>

using namespace Migrazione::Interno;

namespace Migrazione {

namespace {
const QString kAnnullata = QStringLiteral("Esportazione annullata: la cartella è rimasta com'era");

// A whole file written in the folder being made; throws ErroreFile with the reason.
void ScriviFile(const QString &percorso, const QByteArray &byte)
{
    QFile f(percorso);
    if (!ApriRegolare(f, QIODevice::WriteOnly | QIODevice::Truncate))
        throw ErroreFile(QStringLiteral("Impossibile creare il file %1").arg(percorso));
    if (f.write(byte) != byte.size() || !f.flush()) {
        const QString motivo = MotivoScrittura(f);
        throw ErroreFile(
            QStringLiteral("Impossibile scrivere il file %1: %2").arg(percorso, motivo));
    }
}

void Conferma(QSaveFile &f)
{
    if (!ConfermaFile(f))
        throw ErroreFile(QStringLiteral("Impossibile scrivere il file %1: %2")
                             .arg(f.fileName(), MotivoScrittura(f)));
}

// The statements of a script, split on the semicolons outside quotes, $$ bodies and
// comments.
QStringList Istruzioni(const QString &sql)
{
    QStringList r;
    QString corrente;
    bool apice = false, dollari = false;
    for (qsizetype i = 0; i < sql.size(); ++i) {
        const QChar ch = sql[i];
        if (!apice && !dollari && ch == u'-' && i + 1 < sql.size() && sql[i + 1] == u'-') {
            while (i < sql.size() && sql[i] != u'\n')
                ++i;
            corrente += u'\n';
            continue;
        }
        if (!apice && ch == u'$' && i + 1 < sql.size() && sql[i + 1] == u'$') {
            dollari = !dollari;
            corrente += QStringLiteral("$$");
            ++i;
            continue;
        }
        if (!dollari && ch == u'\'')
            apice = !apice;
        if (!apice && !dollari && ch == u';') {
            if (!corrente.trimmed().isEmpty())
                r << corrente.trimmed();
            corrente.clear();
            continue;
        }
        corrente += ch;
    }
    if (!corrente.trimmed().isEmpty())
        r << corrente.trimmed();
    return r;
}
} // namespace

TRapporto Esporta(const QString &cartella, QSqlDatabase db, const Avanzamento &avanzamento)
{
    const QFileInfo meta(cartella);
    if (meta.exists() || meta.isSymLink()) {
        if (!meta.isDir() || meta.isSymLink())
            throw ErroreFile(QStringLiteral("%1 non è una cartella").arg(cartella));
        if (!QDir(cartella).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System |
                                    QDir::NoDotAndDotDot))
            throw ErroreFile(QStringLiteral("La cartella %1 non è vuota: l'archivio si esporta "
                                            "in una cartella nuova o vuota")
                                 .arg(cartella));
    }
    const QString sopra = QFileInfo(QDir::cleanPath(QDir(cartella).absolutePath())).path();
    if (!CreaCartella(sopra))
        throw ErroreFile(QStringLiteral("Impossibile creare la cartella %1").arg(sopra));
    // Written beside the target and renamed at the end: a failure leaves no half archive.
    QTemporaryDir lavoro(QDir(sopra).filePath(QStringLiteral(".quorvel-migra-XXXXXX")));
    if (!lavoro.isValid())
        throw ErroreFile(QStringLiteral("Impossibile creare una cartella in %1").arg(sopra));
    const QDir dir(lavoro.path());

    if (!db.transaction())
        throw ErroreFile(QStringLiteral("Impossibile iniziare la lettura sul server"));
    struct Fine {
        QSqlDatabase db;
        ~Fine() { db.rollback(); }
    } fine{db};
    QSqlQuery q(db);
    q.setForwardOnly(true);
    Esegui(q, QStringLiteral("leggere l'archivio"),
           QStringLiteral("SET TRANSACTION ISOLATION LEVEL REPEATABLE READ, READ ONLY"));
    Esegui(q, QStringLiteral("contare le schede"),
           QStringLiteral("SELECT (SELECT count(*) FROM schede), (SELECT count(*) FROM foto), "
                          "(SELECT count(*) FROM documenti)"));
    q.next();
    TRapporto r;
    r.schede = q.value(0).toInt();
    r.foto = q.value(1).toInt();
    r.documenti = q.value(2).toInt();
    q.finish();
    const qint64 totale = 2 * (qint64(r.schede) + r.foto + r.documenti);
    qint64 fatti = 0;
    auto passo = [&] { return !avanzamento || avanzamento(++fatti, totale); };

    // The records in one pass, positions 1..n with no gap.
    QStringList colonne;
    for (int i = 0; i < NumeroCampi; ++i)
        colonne << ColonnaServer(static_cast<Campo>(i));
    Esegui(q, QStringLiteral("leggere le schede"),
           QStringLiteral("SELECT posizione, %1 FROM schede ORDER BY posizione")
               .arg(colonne.join(QStringLiteral(", "))));
    {
        QSaveFile f(TArchivio::Percorso(dir.path()));
        if (!ApriInScrittura(f))
            throw ErroreFile(QStringLiteral("Impossibile creare il file %1").arg(f.fileName()));
        int attesa = 1;
        QByteArray blocco;
        while (q.next()) {
            if (!passo())
                throw ErroreFile(kAnnullata);
            if (q.value(0).toInt() != attesa)
                throw ErroreFile(QStringLiteral("Sul server manca la scheda %1").arg(attesa));
            TScheda s;
            for (int i = 0; i < NumeroCampi; ++i)
                s.Scrivi(static_cast<Campo>(i), q.value(i + 1).toString());
            blocco.append(reinterpret_cast<const char *>(s.byte.data()), DimensioneScheda);
            if (blocco.size() >= 512 * DimensioneScheda) {
                if (f.write(blocco) != blocco.size()) {
                    const QString motivo = MotivoScrittura(f);
                    f.cancelWriting();
                    throw ErroreFile(QStringLiteral("Impossibile scrivere il file %1: %2")
                                         .arg(f.fileName(), motivo));
                }
                blocco.clear();
            }
            ++attesa;
        }
        if (!blocco.isEmpty() && f.write(blocco) != blocco.size()) {
            const QString motivo = MotivoScrittura(f);
            f.cancelWriting();
            throw ErroreFile(
                QStringLiteral("Impossibile scrivere il file %1: %2").arg(f.fileName(), motivo));
        }
        Conferma(f);
    }
    q.finish();

    // Photos, documents, organization data, logo and log.
    Esegui(q, QStringLiteral("leggere le foto"),
           QStringLiteral("SELECT posizione, immagine FROM foto ORDER BY posizione"));
    while (q.next()) {
        if (!passo())
            throw ErroreFile(kAnnullata);
        ScriviFile(PercorsoFoto(dir.path(), q.value(0).toInt()), q.value(1).toByteArray());
    }
    q.finish();
    Esegui(q, QStringLiteral("leggere i documenti"),
           QStringLiteral("SELECT nome, contenuto FROM documenti ORDER BY nome"));
    const QString allegati = dir.filePath(QStringLiteral("Documenti_Allegati"));
    bool cartellaAllegati = false;
    while (q.next()) {
        if (!passo())
            throw ErroreFile(kAnnullata);
        if (!cartellaAllegati && !(cartellaAllegati = CreaCartella(allegati)))
            throw ErroreFile(QStringLiteral("Impossibile creare la cartella %1").arg(allegati));
        const QString nome = q.value(0).toString();
        if (!NomeDocumentoSemplice(nome))
            throw ErroreFile(QStringLiteral("Il documento \"%1\" ha un nome non valido").arg(nome));
        ScriviFile(QDir(allegati).filePath(nome), q.value(1).toByteArray());
    }
    q.finish();
    const QHash<QString, QString> valori = LeggiImpostazioniEnte(q);
    if (!valori.isEmpty()) {
        DatiEnteFile::Scrivi(dir.path(), DatiEnteDaServer(valori));
        DatiEnteFile::ScriviOpzioni(dir.path(), OpzioniDaServer(valori));
    }
    Esegui(q, QStringLiteral("leggere il logo"), QStringLiteral("SELECT immagine FROM logo"));
    if (q.next())
        ScriviFile(dir.filePath(NomeFileLogo), q.value(0).toByteArray());
    q.finish();
    QByteArray registro;
    for (const RegistroAvvisi::TRigaAvviso &a : LeggiRegistroServer(q))
        registro += (RegistroAvvisi::Riga(a) + QStringLiteral("\r\n")).toUtf8();
    if (!registro.isEmpty())
        ScriviFile(RegistroAvvisi::Percorso(dir.path()),
                   "\xEF\xBB\xBF" +
                       (Csv::Riga(RegistroAvvisi::Intestazione) + QStringLiteral("\r\n")).toUtf8() +
                       registro);

    // Read back with the folder's code and compared, still in the same snapshot.
    const TCartella scritta = LeggiCartella(dir.path(), false);
    r.saltati = scritta.saltati;
    r.problemi = Confronta(db, scritta, false, passo);
    if (!r.problemi.isEmpty())
        return r;

    // In place: the empty target goes, the written folder takes its name.
    if (QFileInfo::exists(cartella) && !QDir().rmdir(cartella))
        throw ErroreFile(
            QStringLiteral("Impossibile sostituire la cartella vuota %1").arg(cartella));
    if (!QDir().rename(lavoro.path(), cartella))
        throw ErroreFile(QStringLiteral("Impossibile creare la cartella %1").arg(cartella));
    lavoro.setAutoRemove(false);
    RestringiCartella(cartella);
    r.riuscito = true;
    return r;
}

void Prepara(QSqlDatabase db, const QString &sql)
{
    QSqlQuery q(db);
    Esegui(q, QStringLiteral("leggere il database"),
           QStringLiteral("SELECT current_database(), datcollate, datctype, "
                          "pg_encoding_to_char(encoding), EXISTS (SELECT FROM pg_namespace WHERE "
                          "nspname = 'quorvel') FROM pg_database WHERE datname = "
                          "current_database()"));
    q.next();
    const QString nome = q.value(0).toString();
    if (q.value(4).toBool())
        throw ErroreFile(
            QStringLiteral("Il database %1 contiene già l'archivio di Quorvel").arg(nome));
    // ILIKE folds A-Z only under the C locale, as the folder's search does.
    if (q.value(1).toString() != u"C" || q.value(2).toString() != u"C" ||
        q.value(3).toString() != u"UTF8")
        throw ErroreFile(QStringLiteral("Il database %1 va creato con codifica UTF8 e locale C "
                                        "(createdb -T template0 -E UTF8 --locale=C %1)")
                             .arg(nome));
    q.finish();
    // The script makes its own database: here the connected one takes its place.
    const QString id = db.driver()->escapeIdentifier(nome, QSqlDriver::TableName);
    QStringList istruzioni;
    for (const QString &i : Istruzioni(sql)) {
        if (i.startsWith(QStringLiteral("CREATE DATABASE")))
            istruzioni << QStringLiteral("ALTER DATABASE %1 OWNER TO quorvel_proprietario").arg(id);
        else
            istruzioni << QString(i).replace(QStringLiteral("ON DATABASE quorvel "),
                                             QStringLiteral("ON DATABASE %1 ").arg(id));
    }
    // "\connect quorvel" ends the first statement after CREATE DATABASE: split it off.
    QStringList pulite;
    for (const QString &i : istruzioni) {
        QStringList righe = i.split(u'\n');
        righe.erase(std::remove_if(righe.begin(), righe.end(),
                                   [](const QString &r) { return r.startsWith(u'\\'); }),
                    righe.end());
        pulite << righe.join(u'\n');
    }
    if (!db.transaction())
        throw ErroreFile(QStringLiteral("Impossibile iniziare la transazione sul server"));
    for (const QString &i : pulite) {
        if (!q.exec(i)) {
            const QString motivo = q.lastError().databaseText().trimmed();
            q.finish();
            db.rollback();
            throw ErroreFile(QStringLiteral("Impossibile preparare il database: %1")
                                 .arg(motivo.isEmpty() ? q.lastError().text() : motivo));
        }
        q.finish();
    }
    if (!db.commit())
        throw ErroreFile(
            QStringLiteral("Il server non ha confermato la preparazione del database"));
}

void Utente(QSqlDatabase db, const QString &nome, const QString &password, bool responsabile)
{
    if (nome.isEmpty() || nome.contains(QChar(u'\0')) || password.contains(QChar(u'\0')))
        throw ErroreFile(QStringLiteral("Nome o password non validi"));
    // Names and the password quoted by the server itself (format %I, %L).
    QSqlQuery q(db);
    const bool preparata = q.prepare(
        QStringLiteral("SELECT format(CASE WHEN EXISTS (SELECT FROM pg_roles WHERE rolname = "
                       "CAST(:n1 AS text)) THEN 'ALTER "
                       "ROLE %I LOGIN PASSWORD %L' ELSE 'CREATE ROLE %I LOGIN PASSWORD %L' "
                       "END, CAST(:n2 AS text), CAST(:p AS text)), "
                       "format('GRANT quorvel_sportello TO %I', CAST(:n3 AS text)), "
                       "format('%s quorvel_responsabile %s %I', "
                       "CAST(:g AS text), CAST(:a AS text), CAST(:n4 AS text))"));
    if (!preparata)
        throw ErroreFile(QStringLiteral("Impossibile preparare l'utente sul server: %1")
                             .arg(q.lastError().databaseText().trimmed()));
    q.bindValue(QStringLiteral(":n1"), nome);
    q.bindValue(QStringLiteral(":n2"), nome);
    q.bindValue(QStringLiteral(":p"), password);
    q.bindValue(QStringLiteral(":n3"), nome);
    q.bindValue(QStringLiteral(":g"),
                responsabile ? QStringLiteral("GRANT") : QStringLiteral("REVOKE"));
    q.bindValue(QStringLiteral(":a"), responsabile ? QStringLiteral("TO") : QStringLiteral("FROM"));
    q.bindValue(QStringLiteral(":n4"), nome);
    Esegui(q, QStringLiteral("preparare l'utente"));
    q.next();
    const QStringList istruzioni = {q.value(0).toString(), q.value(1).toString(),
                                    q.value(2).toString()};
    q.finish();
    if (!db.transaction())
        throw ErroreFile(QStringLiteral("Impossibile iniziare la transazione sul server"));
    for (const QString &i : istruzioni) {
        QSqlQuery u(db);
        if (!u.exec(i)) {
            const QString motivo = u.lastError().databaseText().trimmed();
            db.rollback();
            throw ErroreFile(
                QStringLiteral("Impossibile creare l'utente %1: %2").arg(nome, motivo));
        }
    }
    if (!db.commit())
        throw ErroreFile(QStringLiteral("Il server non ha confermato l'utente %1").arg(nome));
}

} // namespace Migrazione
