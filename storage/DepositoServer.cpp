// The server's records, search and versions; reconnecting after a lost connection.
#include "storage/DepositoServer.h"

#include "archive/LetturaImmagine.h"
#include "storage/ConnessioneServer.h"

#include <QSqlError>
#include <QTemporaryFile>
#include <QVariant>

#include <cstring>

namespace {

// "tesserato, carica, ..." in record order, and ":c0, :c1, ..." to bind them.
const QString &TutteLeColonne()
{
    static const QString colonne = [] {
        QStringList c;
        for (int i = 0; i < NumeroCampi; ++i)
            c << ColonnaServer(static_cast<Campo>(i));
        return c.join(QStringLiteral(", "));
    }();
    return colonne;
}

const QString &Segnaposti()
{
    static const QString segni = [] {
        QStringList c;
        for (int i = 0; i < NumeroCampi; ++i)
            c << QStringLiteral(":c%1").arg(i);
        return c.join(QStringLiteral(", "));
    }();
    return segni;
}

// "tesserato = :c0, carica = :c1, ..."
const QString &Assegnazioni()
{
    static const QString assegna = [] {
        QStringList c;
        for (int i = 0; i < NumeroCampi; ++i)
            c << QStringLiteral("%1 = :c%2").arg(ColonnaServer(static_cast<Campo>(i))).arg(i);
        return c.join(QStringLiteral(", "));
    }();
    return assegna;
}

void LegaScheda(QSqlQuery &q, const TScheda &s)
{
    for (int i = 0; i < NumeroCampi; ++i)
        q.bindValue(QStringLiteral(":c%1").arg(i), ValoreServer(s, static_cast<Campo>(i)));
}

// The record from the columns of `q` starting at `primo`, in the order of `campi`.
TScheda SchedaDa(const QSqlQuery &q, int primo, std::span<const Campo> campi)
{
    TScheda s;
    for (size_t i = 0; i < campi.size(); ++i)
        s.Scrivi(campi[i], q.value(primo + static_cast<int>(i)).toString());
    return s;
}

std::vector<Campo> TuttiICampi()
{
    std::vector<Campo> c;
    for (int i = 0; i < NumeroCampi; ++i)
        c.push_back(static_cast<Campo>(i));
    return c;
}

QString Elenco(std::span<const Campo> campi)
{
    QStringList c;
    for (Campo campo : campi)
        c << ColonnaServer(campo);
    return c.join(QStringLiteral(", "));
}

// A LIKE pattern that finds `testo` anywhere, its \, % and _ taken literally.
QString Contiene(const QString &testo)
{
    QString t = testo;
    t.replace(u'\\', QStringLiteral("\\\\"))
        .replace(u'%', QStringLiteral("\\%"))
        .replace(u'_', QStringLiteral("\\_"));
    return u'%' + t + u'%';
}

} // namespace

QImage ImmagineServer(const QByteArray &byte)
{
    // Read through the one picture reader, with its guards (cut-short JPEG, size limits).
    QTemporaryFile file;
    if (byte.isEmpty() || !file.open() || file.write(byte) != byte.size() || !file.flush())
        return QImage();
    return LeggiImmagine(file.fileName());
}

QString ColonnaServer(Campo c)
{
    return QString::fromLatin1(Definizione(c).nome).toLower();
}

QString ValoreServer(const TScheda &s, Campo c)
{
    const QString v = s.Leggi(c);
    if (v.contains(QChar(u'\0')))
        throw ErroreFile(
            QStringLiteral("Il campo %1 contiene un carattere nullo, che l'archivio sul server "
                           "non può conservare: la scheda non è stata salvata.")
                .arg(QString::fromLatin1(Definizione(c).nome)));
    return TestoServer(v);
}

TDepositoServer::TDepositoServer(const QString &cartella) : m_cartella(cartella) {}

TDepositoServer::~TDepositoServer()
{
    Dimentica();
}

void TDepositoServer::Dimentica()
{
    m_query.clear();
}

QSqlDatabase TDepositoServer::Db()
{
    // A connection found lost is opened anew by PerQuestoThread: the statements prepared
    // on the old one go first, as they would outlive their driver.
    if (!m_nome.isEmpty() && QSqlDatabase::contains(m_nome) &&
        !QSqlDatabase::database(m_nome, false).isOpen()) {
        Dimentica();
        ++m_riaperture;
    }
    QSqlDatabase db = ConnessioneServer::PerQuestoThread();
    // Statements belong to one thread's connection: another thread prepares its own, and
    // so does a connection opened anew under the same name (by another deposit of this
    // thread that found it lost).
    if (db.connectionName() != m_nome || db.driver() != m_driver) {
        if (m_driver && db.connectionName() == m_nome)
            ++m_riaperture;
        Dimentica();
    }
    m_nome = db.connectionName();
    m_driver = db.driver();
    return db;
}

QSqlQuery &TDepositoServer::Prepara(const QString &sql)
{
    // First the connection: one found lost, or another thread's, takes its statements along.
    QSqlDatabase db = Db();
    auto it = m_query.find(sql);
    if (it != m_query.end())
        return it->second;
    QSqlQuery q(db);
    if (!q.prepare(sql))
        throw ErroreFile(
            QStringLiteral("Impossibile preparare la richiesta al server dell'archivio: %1")
                .arg(q.lastError().text()));
    return m_query.emplace(sql, std::move(q)).first->second;
}

void TDepositoServer::Esegui(QSqlQuery &q, const QString &azione, const QString &seOccupato)
{
    if (q.exec())
        return;
    const QSqlError e = q.lastError();
    const QString codice = e.nativeErrorCode();
    // A lock held by another desk past lock_timeout, or a statement past statement_timeout:
    // nothing was done, and the user is told so in plain words.
    if (codice == QLatin1String("55P03") || codice == QLatin1String("57014"))
        throw ErroreFile(!seOccupato.isEmpty()
                             ? seOccupato
                             : QStringLiteral("Impossibile %1: i dati sono in uso su un'altra "
                                              "postazione o il server dell'archivio non ha "
                                              "risposto in tempo. Riprovare tra poco.")
                                   .arg(azione));
    const QString motivo = e.databaseText().trimmed();
    throw ErroreFile(QStringLiteral("Impossibile %1 sul server dell'archivio: %2")
                         .arg(azione, motivo.isEmpty() ? e.text() : motivo));
}

bool TDepositoServer::Riconnetti()
{
    // Lost when the driver says so after a failure, or when the connection does not answer.
    const bool chiusa = !m_nome.isEmpty() && (!QSqlDatabase::contains(m_nome) ||
                                              !QSqlDatabase::database(m_nome, false).isOpen());
    if (!chiusa) {
        QSqlQuery prova(Db());
        // An aborted transaction refuses the probe too, on a connection still alive.
        if (prova.exec(QStringLiteral("SELECT 1")) ||
            prova.lastError().nativeErrorCode() == QLatin1String("25P02"))
            return false;
    }
    // Lost: the prepared statements go with it, and a scan open on it cannot go on.
    Dimentica();
    ConnessioneServer::Chiudi(m_nome);
    ++m_riaperture;
    Db();
    return true;
}

// ---- Records

int TDepositoServer::NumeroSchede()
{
    return Tenta(
        [&] {
            QSqlQuery &q =
                Prepara(QStringLiteral("SELECT coalesce(max(posizione), 0) FROM schede"));
            Esegui(q, QStringLiteral("contare le schede"));
            const int n = q.next() ? q.value(0).toInt() : 0;
            q.finish();
            return n;
        },
        true);
}

TScheda TDepositoServer::LeggiScheda(int posizione)
{
    return LeggiSchedaConVersione(posizione).scheda;
}

TDeposito::TSchedaLetta TDepositoServer::LeggiSchedaConVersione(int posizione)
{
    return Tenta([&] { return LeggiUna(posizione); }, true);
}

TDeposito::TSchedaLetta TDepositoServer::LeggiUna(int posizione)
{
    QSqlQuery &q = Prepara(QStringLiteral("SELECT versione, %1 FROM schede WHERE posizione = :p")
                               .arg(TutteLeColonne()));
    q.bindValue(QStringLiteral(":p"), posizione);
    const QString azione = QStringLiteral("leggere la scheda %1").arg(posizione);
    Esegui(q, azione);
    if (!q.next())
        throw ErroreFile(
            QStringLiteral("Impossibile %1 sul server dell'archivio: non esiste.").arg(azione));
    static const std::vector<Campo> tutti = TuttiICampi();
    TSchedaLetta letta{SchedaDa(q, 1, tutti), q.value(0).toLongLong()};
    q.finish();
    return letta;
}

void TDepositoServer::ScriviScheda(int posizione, const TScheda &s)
{
    // Setting the same fields twice leaves the record as once: safe to send again.
    Tenta([&] { ScriviUna(posizione, s); }, true);
}

void TDepositoServer::ScriviUna(int posizione, const TScheda &s)
{
    QSqlQuery &q = Prepara(QStringLiteral("UPDATE schede SET %1 WHERE posizione = :p RETURNING "
                                          "versione")
                               .arg(Assegnazioni()));
    LegaScheda(q, s);
    q.bindValue(QStringLiteral(":p"), posizione);
    const QString azione = QStringLiteral("scrivere la scheda %1").arg(posizione);
    Esegui(q, azione);
    const bool trovata = q.next();
    q.finish();
    if (!trovata)
        throw ErroreFile(
            QStringLiteral("Impossibile %1 sul server dell'archivio: non esiste.").arg(azione));
}

qint64 TDepositoServer::ScriviSchedaSeInvariata(int posizione, qint64 versione, const TScheda &s)
{
    // The version check makes a second try safe: when the first one was stored and only
    // its answer was lost, the record holds this desk's save at the next version.
    bool ripetuta = false;
    return Tenta(
        [&] {
            const bool seconda = ripetuta;
            ripetuta = true;
            try {
                return ScriviSeInvariata(posizione, versione, s);
            } catch (const ErroreConflitto &) {
                if (seconda && GiaScritta(posizione, versione, s))
                    return versione + 1;
                throw;
            }
        },
        true);
}

bool TDepositoServer::GiaScritta(int posizione, qint64 versione, const TScheda &s)
{
    QSqlQuery &q = Prepara(QStringLiteral("SELECT %1 FROM schede WHERE posizione = :p AND "
                                          "versione = :v AND modificata_da = session_user")
                               .arg(TutteLeColonne()));
    q.bindValue(QStringLiteral(":p"), posizione);
    q.bindValue(QStringLiteral(":v"), versione + 1);
    Esegui(q, QStringLiteral("leggere la scheda %1").arg(posizione));
    bool uguale = q.next();
    for (int i = 0; uguale && i < NumeroCampi; ++i)
        uguale = q.value(i).toString() == ValoreServer(s, static_cast<Campo>(i));
    q.finish();
    return uguale;
}

qint64 TDepositoServer::ScriviSeInvariata(int posizione, qint64 versione, const TScheda &s)
{
    QSqlQuery &q = Prepara(QStringLiteral("UPDATE schede SET %1 WHERE posizione = :p AND "
                                          "versione = :v RETURNING versione")
                               .arg(Assegnazioni()));
    LegaScheda(q, s);
    q.bindValue(QStringLiteral(":p"), posizione);
    q.bindValue(QStringLiteral(":v"), versione);
    const QString azione = QStringLiteral("scrivere la scheda %1").arg(posizione);
    Esegui(q, azione,
           QStringLiteral("La scheda n. %1 \u00E8 in uso su un'altra postazione: non \u00E8 "
                          "stata salvata. Riprovare tra poco.")
               .arg(posizione));
    if (q.next()) {
        const qint64 nuova = q.value(0).toLongLong();
        q.finish();
        return nuova;
    }
    q.finish();
    // Another desk saved it first (or it is not there): say who, when, and what it holds now.
    QSqlQuery &a = Prepara(QStringLiteral("SELECT versione, modificata_da, modificata_il, %1 "
                                          "FROM schede WHERE posizione = :p")
                               .arg(TutteLeColonne()));
    a.bindValue(QStringLiteral(":p"), posizione);
    Esegui(a, azione);
    if (!a.next())
        throw ErroreFile(
            QStringLiteral("Impossibile %1 sul server dell'archivio: non esiste.").arg(azione));
    static const std::vector<Campo> tutti = TuttiICampi();
    const ErroreConflitto conflitto(posizione, a.value(0).toLongLong(), a.value(1).toString(),
                                    a.value(2).toDateTime(), SchedaDa(a, 3, tutti));
    a.finish();
    throw conflitto;
}

int TDepositoServer::AccodaScheda(const TScheda &s)
{
    return AccodaRichiesta(s, QByteArray(), QUuid::createUuid());
}

int TDepositoServer::AccodaSchedaConFoto(const TScheda &s, const QByteArray &jpeg,
                                         bool *fotoScritta)
{
    // Record and photo go in together: either both are stored or neither.
    const int p = AccodaRichiesta(s, jpeg, QUuid::createUuid());
    if (fotoScritta)
        *fotoScritta = true;
    return p;
}

int TDepositoServer::AccodaRichiesta(const TScheda &s, const QByteArray &jpeg,
                                     const QUuid &richiesta)
{
    // One statement: the counter row stays locked for as little as possible.
    const QString inserisci = QStringLiteral("INSERT INTO schede (richiesta, %1) VALUES "
                                             "(CAST(:r AS uuid), %2) RETURNING posizione")
                                  .arg(TutteLeColonne(), Segnaposti());
    const QString sql = jpeg.isEmpty()
                            ? inserisci
                            : QStringLiteral("WITH s AS (%1), f AS (INSERT INTO foto "
                                             "(posizione, immagine) SELECT posizione, :foto "
                                             "FROM s) SELECT posizione FROM s")
                                  .arg(inserisci);
    const QString chiave = richiesta.toString(QUuid::WithoutBraces);
    QString motivo;
    bool occupato = false;
    auto prova = [&]() -> std::optional<int> {
        try {
            QSqlQuery &q = Prepara(sql);
            q.bindValue(QStringLiteral(":r"), chiave);
            LegaScheda(q, s);
            if (!jpeg.isEmpty())
                q.bindValue(QStringLiteral(":foto"), jpeg);
            if (!q.exec() || !q.next()) {
                const QString codice = q.lastError().nativeErrorCode();
                occupato = codice == QLatin1String("55P03") || codice == QLatin1String("57014");
                motivo = q.lastError().databaseText().trimmed();
                if (motivo.isEmpty())
                    motivo = q.lastError().text();
                return std::nullopt;
            }
            const int p = q.value(0).toInt();
            q.finish();
            return p;
        } catch (const ErroreFile &e) {
            motivo = e.testo();
            return std::nullopt;
        }
    };
    auto gia = [&]() -> std::optional<int> {
        QSqlQuery &q = Prepara(
            QStringLiteral("SELECT posizione FROM schede WHERE richiesta = CAST(:r AS uuid)"));
        q.bindValue(QStringLiteral(":r"), chiave);
        Esegui(q, QStringLiteral("aggiungere la scheda"));
        std::optional<int> p;
        if (q.next())
            p = q.value(0).toInt();
        q.finish();
        return p;
    };
    // A record the server cannot hold is refused before anything is sent.
    for (int i = 0; i < NumeroCampi; ++i)
        ValoreServer(s, static_cast<Campo>(i));
    if (const std::optional<int> p = prova())
        return *p;
    // The counter held past lock_timeout by another desk's append that is not over.
    if (occupato)
        throw ErroreFile(QStringLiteral(
            "Un'altra postazione sta aggiungendo una scheda e tiene occupato l'archivio: "
            "questa scheda non \u00E8 stata salvata. Riprovare tra poco."));
    // The answer may have been lost after the record was stored: with the connection open
    // again, the request's own id tells, and only a request not found is sent once more.
    const bool persa = Riconnetti();
    if (const std::optional<int> p = gia())
        return *p;
    if (persa) {
        if (const std::optional<int> p = prova())
            return *p;
    }
    throw ErroreFile(QStringLiteral("Impossibile aggiungere la scheda sul server dell'archivio: %1")
                         .arg(motivo));
}

void TDepositoServer::Pagine(const QString &sql, const QList<std::pair<QString, QVariant>> &valori,
                             std::span<const Campo> campi, const Visita &visita,
                             const QString &azione, bool copia)
{
    // Pages of rows after the last position seen, each read whole before its rows are
    // visited: a visit may ask this connection for more (a photo, a record), which would
    // cut short a result still streaming. One page at a time is held, so memory stays
    // bounded however large the archive. All pages, and the visit's own
    // reads, see one snapshot: a read-only REPEATABLE READ transaction around the scan
    // (a scan within a visit joins it). A connection lost before the first record is
    // visited is opened again and the scan starts over; later, the scan ends with a
    // message, as what was visited cannot be taken back.
    bool visitata = false;
    const auto scansione = [&] {
        const bool esterna = m_scansioni == 0;
        if (esterna) {
            QSqlQuery inizio(Db());
            if (!inizio.exec(QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ, READ ONLY")) ||
                !inizio.exec(QStringLiteral("SET LOCAL idle_in_transaction_session_timeout = "
                                            "'10min'")))
                throw ErroreFile(QStringLiteral("Impossibile %1 sul server dell'archivio: %2")
                                     .arg(azione, inizio.lastError().text()));
        }
        const int riaperture = m_riaperture;
        ++m_scansioni;
        const auto fine = [&](bool conferma) {
            --m_scansioni;
            if (!esterna || riaperture != m_riaperture)
                return;
            QSqlQuery q(Db());
            q.exec(conferma ? QStringLiteral("COMMIT") : QStringLiteral("ROLLBACK"));
        };
        try {
            int dopo = 0;
            for (;;) {
                if (riaperture != m_riaperture)
                    throw ErroreFile(
                        QStringLiteral("Il collegamento al server dell'archivio si \u00E8 "
                                       "interrotto durante la lettura delle schede: l'elenco "
                                       "\u00E8 incompleto. Ripetere l'operazione."));
                // Positions and the asked fields as the record stores them: a whole
                // record per row would clear and copy its 2,764 bytes for a handful of
                // fields.
                TPagina pagina;
                const int righe = copia ? RighePerCopia : RighePerPagina;
                if (copia) {
                    QList<std::pair<QString, QVariant>> tutti = valori;
                    tutti.append({QStringLiteral(":dopo"), dopo});
                    tutti.append({QStringLiteral(":quante"), righe});
                    LeggiCopia(sql, tutti, campi, pagina, azione);
                } else {
                    // Prepared once for all pages, and looked up again for each: a visit
                    // that loses the connection takes the prepared statements along. The
                    // page comes in one result (forward only, QPSQL fetches row by row).
                    QSqlQuery &q = Prepara(sql);
                    for (const auto &[nome, valore] : valori)
                        q.bindValue(nome, valore);
                    q.bindValue(QStringLiteral(":dopo"), dopo);
                    q.bindValue(QStringLiteral(":quante"), righe);
                    Esegui(q, azione);
                    pagina.posizioni.reserve(size_t(righe));
                    std::array<unsigned char, 256> campo{};
                    while (q.next()) {
                        pagina.posizioni.push_back(q.value(0).toInt());
                        for (size_t i = 0; i < campi.size(); ++i) {
                            ScriviCampo(campo.data(), Definizione(campi[i]).capacita,
                                        q.value(1 + static_cast<int>(i)).toString());
                            pagina.campi.insert(pagina.campi.end(), campo.data(),
                                                campo.data() + 1 + campo[0]);
                        }
                    }
                    q.finish();
                }
                // One record for every row: each row sets the same fields anew, as
                // TScheda::Scrivi would.
                TScheda scheda;
                const unsigned char *d = pagina.campi.data();
                for (const int p : pagina.posizioni) {
                    for (const Campo c : campi) {
                        const DefinizioneCampo &def = Definizione(c);
                        unsigned char *campo = scheda.byte.data() + def.offset;
                        std::memcpy(campo, d, size_t(1 + d[0]));
                        std::memset(campo + 1 + d[0], 0, size_t(def.capacita - d[0]));
                        d += 1 + d[0];
                    }
                    visitata = true;
                    if (!visita(p, scheda)) {
                        fine(true);
                        return;
                    }
                }
                if (static_cast<int>(pagina.posizioni.size()) < righe)
                    break;
                dopo = pagina.posizioni.back();
            }
        } catch (...) {
            fine(false);
            throw;
        }
        fine(true);
    };
    try {
        scansione();
    } catch (const ErroreConflitto &) {
        throw;
    } catch (const ErroreFile &) {
        if (visitata || m_scansioni > 0 || !Riconnetti())
            throw;
        scansione();
    }
}

void TDepositoServer::Scorri(std::span<const Campo> campi, const Visita &visita)
{
    const QString colonne = campi.empty() ? QString() : QStringLiteral(", ") + Elenco(campi);
    Pagine(QStringLiteral("SELECT posizione%1 FROM schede WHERE posizione > :dopo ORDER BY "
                          "posizione LIMIT :quante")
               .arg(colonne),
           {}, campi, visita, QStringLiteral("leggere le schede"), true);
}

void TDepositoServer::Cerca(std::span<const TChiaveRicerca> chiavi, std::span<const Campo> campi,
                            const Visita &visita)
{
    // The folder's rule, on the server's side: in a C-locale database ILIKE folds A-Z only,
    // as Testo::MinuscoleAZ does; the key is taken as typed (\, % and _ literal) and a key
    // of blanks alone counts neither for nor against a record.
    const QString colonne = campi.empty() ? QString() : QStringLiteral(", ") + Elenco(campi);
    QString sql = QStringLiteral("SELECT posizione%1 FROM schede WHERE posizione > :dopo AND "
                                 "annullata = :annullata")
                      .arg(colonne);
    QList<std::pair<QString, QVariant>> valori{{QStringLiteral(":annullata"), AnnullataNo}};
    for (const TChiaveRicerca &k : chiavi) {
        bool vuota = true;
        for (QChar c : k.testo)
            vuota = vuota && c.unicode() <= 32;
        if (vuota)
            continue;
        if (k.testo.contains(QChar(u'\0')))
            return; // no field holds a NUL
        const QString nome = QStringLiteral(":k%1").arg(valori.size());
        sql += QStringLiteral(" AND %1 ILIKE %2").arg(ColonnaServer(k.campo), nome);
        valori.append({nome, Contiene(k.testo)});
    }
    sql += QStringLiteral(" ORDER BY posizione LIMIT :quante");
    // Without the user's keys the statement holds no text of theirs: the list of every
    // record comes by COPY, as the scans do.
    Pagine(sql, valori, campi, visita, QStringLiteral("cercare le schede"), valori.size() == 1);
}

void TDepositoServer::ScorriIntervallo(int primo, int ultimo, std::span<const Campo> campi,
                                       const Visita &visita)
{
    const QString colonne = campi.empty() ? QString() : QStringLiteral(", ") + Elenco(campi);
    Pagine(QStringLiteral("SELECT posizione%1 FROM schede WHERE posizione > :dopo AND posizione "
                          "BETWEEN :primo AND :ultimo ORDER BY posizione LIMIT :quante")
               .arg(colonne),
           {{QStringLiteral(":primo"), primo}, {QStringLiteral(":ultimo"), ultimo}}, campi, visita,
           QStringLiteral("leggere le schede"), true);
}

void TDepositoServer::ChiudiArchivio()
{
    Dimentica();
}
