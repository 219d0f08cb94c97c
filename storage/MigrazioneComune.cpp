// The folder as the migration sees it, and its comparison with the server.
#include "storage/MigrazioneComune.h"
#include "archive/Archivio.h"
#include "archive/CellaCsv.h"
#include "archive/FileSicuro.h"
#include "storage/DatiEnteFile.h"
#include "storage/DepositoServer.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QSqlError>

namespace Migrazione::Interno {

namespace {
const QString kAllegati = QStringLiteral("Documenti_Allegati");
constexpr qint64 DocumentoMassimo = 64LL * 1024 * 1024;
// Past this many, the differences are counted, not listed.
constexpr int DifferenzeElencate = 200;

QString NomeCampo(Campo c)
{
    return QString::fromLatin1(Definizione(c).nome);
}

// The desk's own files, which stay with the desk and are no part of the archive.
bool FileDellaScrivania(const QString &nome)
{
    static const QSet<QString> nomi = {NomeArchivio,
                                       NomeFileIni,
                                       NomeFileLogo,
                                       QStringLiteral("Avvisi.csv"),
                                       QStringLiteral("Quorvel.lock"),
                                       QStringLiteral("unins000.dll"),
                                       QStringLiteral("Tesserati.pro.bak"),
                                       QStringLiteral("Guida.pdf"),
                                       QStringLiteral("Quorvel"),
                                       QStringLiteral("quorvel-migra"),
                                       QStringLiteral("quorvel.sql")};
    return nomi.contains(nome);
}

QString Breve(const QString &t)
{
    return t.size() > 60 ? t.left(57) + QStringLiteral("...") : t;
}
} // namespace

QString Valore(const TScheda &s, Campo c, bool nulComePunto)
{
    QString v = s.Leggi(c);
    if (nulComePunto)
        v.replace(QChar(u'\0'), u'?');
    return TestoServer(v);
}

QByteArray Impronta(const QString &percorso)
{
    QFile f(percorso);
    QCryptographicHash h(QCryptographicHash::Sha256);
    if (!ApriRegolare(f, QIODevice::ReadOnly) || !h.addData(&f))
        throw ErroreFile(QStringLiteral("Impossibile leggere il file %1").arg(percorso));
    return h.result();
}

void Esegui(QSqlQuery &q, const QString &azione, const QString &sql)
{
    if (sql.isEmpty() ? q.exec() : q.exec(sql))
        return;
    const QString motivo = q.lastError().databaseText().trimmed();
    throw ErroreFile(QStringLiteral("Impossibile %1 sul server: %2")
                         .arg(azione, motivo.isEmpty() ? q.lastError().text() : motivo));
}

QHash<QString, QString> LeggiImpostazioniEnte(QSqlQuery &q)
{
    QHash<QString, QString> valori;
    Esegui(q, QStringLiteral("leggere i dati dell'ente"),
           QStringLiteral("SELECT chiave, valore FROM impostazioni WHERE sezione = '%1'")
               .arg(SezioneDatiEnte));
    while (q.next())
        valori.insert(q.value(0).toString(), q.value(1).toString());
    q.finish();
    return valori;
}

TCartella LeggiCartella(const QString &cartella, bool nulComePunto)
{
    TCartella c;
    c.cartella = cartella;
    const QFileInfo archivio(TArchivio::Percorso(cartella));
    if (!archivio.isFile() || archivio.isSymLink())
        throw ErroreFile(
            QStringLiteral("Nella cartella %1 non c'è l'archivio %2").arg(cartella, NomeArchivio));
    const qint64 resto = archivio.size() % DimensioneScheda;

    // The records: the documents they name, and any text the server cannot hold.
    QMap<QString, int> nominati;
    {
        TArchivio a(cartella);
        c.schede = a.NumeroSchede();
        a.Scorri([&](int p, const TScheda &s) {
            for (int i = 0; i < NumeroCampi; ++i) {
                const Campo campo = static_cast<Campo>(i);
                if (s.Leggi(campo).contains(QChar(u'\0')))
                    c.nul << QStringLiteral("scheda %1, campo %2: contiene un carattere nullo")
                                 .arg(p)
                                 .arg(NomeCampo(campo));
            }
            for (Campo f : {Campo::File01, Campo::File02, Campo::File03}) {
                const QString nome = Valore(s, f, nulComePunto);
                if (!nome.isEmpty() && !nominati.contains(nome))
                    nominati.insert(nome, p);
            }
            return true;
        });
    }
    if (resto != 0)
        c.saltati << QStringLiteral("%1 termina con una scheda incompleta (%2 byte dopo la "
                                    "scheda %3): non viene trasferita")
                         .arg(NomeArchivio)
                         .arg(resto)
                         .arg(c.schede);

    static const QRegularExpression numeroFoto(QStringLiteral("^([1-9][0-9]{0,9})\\.jpg$"));
    const QDir dir(cartella);
    const QFileInfoList voci = dir.entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo &v : voci) {
        const QString nome = v.fileName();
        if (v.isSymLink()) {
            c.saltati << QStringLiteral("%1: è un collegamento, non viene trasferito").arg(nome);
        } else if (v.isDir()) {
            if (nome != kAllegati)
                c.saltati << QStringLiteral("cartella %1: non fa parte dell'archivio, non viene "
                                            "trasferita")
                                 .arg(nome);
        } else if (nome.startsWith(u'.')) {
            c.saltati
                << QStringLiteral("%1: copia temporanea rimasta, non viene trasferita").arg(nome);
        } else if (const auto m = numeroFoto.match(nome); m.hasMatch()) {
            const qint64 p = m.captured(1).toLongLong();
            if (p <= c.schede && v.isFile())
                c.foto.insert(static_cast<int>(p), v.filePath());
            else
                c.saltati << QStringLiteral("foto %1: nessuna scheda in quella posizione, non "
                                            "viene trasferita")
                                 .arg(nome);
        } else if (nome == NomeFileLogo && v.isFile()) {
            c.logo = v.filePath();
        } else if (nome.endsWith(QStringLiteral(".jpg"), Qt::CaseInsensitive)) {
            c.saltati << QStringLiteral("foto %1: il nome non è quello di una scheda, non viene "
                                        "trasferita")
                             .arg(nome);
        } else if (!FileDellaScrivania(nome) || !v.isFile()) {
            c.saltati
                << QStringLiteral("%1: non fa parte dell'archivio, non viene trasferito").arg(nome);
        }
    }

    // Attachments: only those a record names.
    const QDir allegati(dir.filePath(kAllegati));
    const QFileInfo infoAllegati(allegati.path());
    if (infoAllegati.isDir() && !infoAllegati.isSymLink()) {
        for (const QFileInfo &v : allegati.entryInfoList(QDir::AllEntries | QDir::Hidden |
                                                             QDir::System | QDir::NoDotAndDotDot,
                                                         QDir::Name)) {
            const QString nome = v.fileName();
            if (v.isSymLink() || !v.isFile())
                c.saltati << QStringLiteral("%1/%2: non è un documento, non viene trasferito")
                                 .arg(kAllegati, nome);
            else if (!nominati.contains(nome))
                c.saltati << QStringLiteral("%1/%2: nessuna scheda lo nomina, non viene "
                                            "trasferito")
                                 .arg(kAllegati, nome);
            else if (v.size() > DocumentoMassimo)
                throw ErroreFile(QStringLiteral("Il documento %1 supera i 64 MB, il massimo che "
                                                "l'archivio sul server accetta")
                                     .arg(nome));
            else
                c.documenti.insert(nome, v.filePath());
        }
    }
    for (auto it = nominati.cbegin(); it != nominati.cend(); ++it)
        if (!c.documenti.contains(it.key()))
            c.saltati << QStringLiteral("la scheda %1 nomina il documento \"%2\", che non è in %3")
                             .arg(it.value())
                             .arg(Breve(it.key()), kAllegati);

    // Organization data and card options, as a desk writes them on the server.
    c.impostazioni = ValoriImpostazioniServer(DatiEnteFile::Leggi(cartella),
                                              DatiEnteFile::LeggiOpzioni(cartella));

    // The reminder log.
    QFile registro(RegistroAvvisi::Percorso(cartella));
    if (ApriRegolare(registro, QIODevice::ReadOnly)) {
        for (const QString &riga : Csv::Righe(QString::fromUtf8(registro.readAll()))) {
            if (const auto r = RegistroAvvisi::LeggiRiga(riga))
                c.avvisi << *r;
            else if (riga.trimmed() != Csv::Riga(RegistroAvvisi::Intestazione))
                c.saltati << QStringLiteral("Avvisi.csv: riga non leggibile \"%1\", non viene "
                                            "trasferita")
                                 .arg(Breve(riga));
        }
    }
    return c;
}

namespace {
// Hashes by key from a query's two columns.
QMap<QString, QByteArray> Impronte(QSqlDatabase db, const QString &sql, const QString &azione)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    Esegui(q, azione, sql);
    QMap<QString, QByteArray> r;
    while (q.next())
        r.insert(q.value(0).toString(), q.value(1).toByteArray());
    return r;
}

QString DescriviRiga(const RegistroAvvisi::TRigaAvviso &r)
{
    return RegistroAvvisi::Riga(r);
}
} // namespace

QList<RegistroAvvisi::TRigaAvviso> LeggiRegistroServer(QSqlQuery &q)
{
    Esegui(q, QStringLiteral("leggere il registro degli avvisi"),
           QStringLiteral("SELECT data, ora, posizione, tesserato, email, data_scade, esito FROM "
                          "avvisi ORDER BY id"));
    QList<RegistroAvvisi::TRigaAvviso> righe;
    while (q.next()) {
        RegistroAvvisi::TRigaAvviso r;
        r.data = q.value(0).toDate();
        r.ora = q.value(1).toTime();
        r.posizione = q.value(2).toInt();
        r.tesserato = q.value(3).toString();
        r.indirizzo = q.value(4).toString();
        r.scadenza = q.value(5).isNull() ? QDate() : q.value(5).toDate();
        r.esito = q.value(6).toString();
        righe << r;
    }
    q.finish();
    return righe;
}

QStringList Confronta(QSqlDatabase db, const TCartella &c, bool nulComePunto,
                      const std::function<bool()> &passo)
{
    QStringList d;
    int oltre = 0;
    auto differenza = [&](const QString &t) {
        if (d.size() < DifferenzeElencate)
            d << t;
        else
            ++oltre;
    };

    // The count, the last position and the counter.
    QSqlQuery q(db);
    q.setForwardOnly(true);
    Esegui(q, QStringLiteral("contare le schede"),
           QStringLiteral("SELECT count(*), coalesce(max(posizione), 0), (SELECT ultima FROM "
                          "contatore) FROM schede"));
    q.next();
    const int quante = q.value(0).toInt(), ultima = q.value(1).toInt(),
              contatore = q.value(2).toInt();
    q.finish();
    if (quante != c.schede || ultima != c.schede || contatore != c.schede)
        differenza(QStringLiteral("schede: nella cartella %1, sul server %2 (ultima posizione "
                                  "%3, contatore %4)")
                       .arg(c.schede)
                       .arg(quante)
                       .arg(ultima)
                       .arg(contatore));

    // Every field of every record, both sides in position order.
    QStringList colonne;
    for (int i = 0; i < NumeroCampi; ++i)
        colonne << ColonnaServer(static_cast<Campo>(i));
    Esegui(q, QStringLiteral("leggere le schede"),
           QStringLiteral("SELECT posizione, %1 FROM schede ORDER BY posizione")
               .arg(colonne.join(QStringLiteral(", "))));
    bool fermato = false;
    {
        TArchivio a(c.cartella);
        a.Scorri([&](int p, const TScheda &s) {
            if (p > c.schede)
                return false;
            if (!passo()) {
                fermato = true;
                return false;
            }
            if (!q.next() || q.value(0).toInt() != p) {
                differenza(QStringLiteral("scheda %1: manca sul server").arg(p));
                return false;
            }
            for (int i = 0; i < NumeroCampi; ++i) {
                const Campo campo = static_cast<Campo>(i);
                const QString locale = Valore(s, campo, nulComePunto);
                const QString server = q.value(i + 1).toString();
                if (locale != server)
                    differenza(QStringLiteral("scheda %1, campo %2: nella cartella \"%3\", sul "
                                              "server \"%4\"")
                                   .arg(p)
                                   .arg(NomeCampo(campo), Breve(locale), Breve(server)));
            }
            return true;
        });
    }
    q.finish();
    if (fermato)
        throw ErroreFile(QStringLiteral("Operazione annullata"));

    // Photos and documents: the server hashes what it holds.
    const QMap<QString, QByteArray> foto =
        Impronte(db, QStringLiteral("SELECT posizione, sha256(immagine) FROM foto"),
                 QStringLiteral("leggere le foto"));
    for (auto it = c.foto.cbegin(); it != c.foto.cend(); ++it) {
        if (!passo())
            throw ErroreFile(QStringLiteral("Operazione annullata"));
        const QString chiave = QString::number(it.key());
        if (!foto.contains(chiave))
            differenza(QStringLiteral("foto %1.jpg: manca sul server").arg(chiave));
        else if (foto.value(chiave) != Impronta(it.value()))
            differenza(QStringLiteral("foto %1.jpg: diversa sul server").arg(chiave));
    }
    for (auto it = foto.cbegin(); it != foto.cend(); ++it)
        if (!c.foto.contains(it.key().toInt()))
            differenza(QStringLiteral("foto %1.jpg: manca nella cartella").arg(it.key()));

    const QMap<QString, QByteArray> documenti =
        Impronte(db, QStringLiteral("SELECT nome, sha256(contenuto) FROM documenti"),
                 QStringLiteral("leggere i documenti"));
    for (auto it = c.documenti.cbegin(); it != c.documenti.cend(); ++it) {
        if (!passo())
            throw ErroreFile(QStringLiteral("Operazione annullata"));
        if (!documenti.contains(it.key()))
            differenza(QStringLiteral("documento \"%1\": manca sul server").arg(it.key()));
        else if (documenti.value(it.key()) != Impronta(it.value()))
            differenza(QStringLiteral("documento \"%1\": diverso sul server").arg(it.key()));
    }
    for (auto it = documenti.cbegin(); it != documenti.cend(); ++it)
        if (!c.documenti.contains(it.key()))
            differenza(QStringLiteral("documento \"%1\": manca nella cartella").arg(it.key()));

    // Organization data and card options, compared as a desk reads them.
    const QHash<QString, QString> valori = LeggiImpostazioniEnte(q);
    const auto server = ValoriImpostazioniServer(DatiEnteDaServer(valori), OpzioniDaServer(valori));
    for (qsizetype i = 0; i < server.size() && i < c.impostazioni.size(); ++i)
        if (server[i] != c.impostazioni[i])
            differenza(QStringLiteral("dati dell'ente, %1: nella cartella \"%2\", sul server "
                                      "\"%3\"")
                           .arg(server[i].first, Breve(c.impostazioni[i].second),
                                Breve(server[i].second)));

    // The logo, byte for byte.
    Esegui(q, QStringLiteral("leggere il logo"),
           QStringLiteral("SELECT sha256(immagine) FROM logo"));
    const QByteArray logoServer = q.next() ? q.value(0).toByteArray() : QByteArray();
    q.finish();
    const QByteArray logoLocale = c.logo.isEmpty() ? QByteArray() : Impronta(c.logo);
    if (logoServer != logoLocale)
        differenza(logoServer.isEmpty()   ? QStringLiteral("logo: manca sul server")
                   : logoLocale.isEmpty() ? QStringLiteral("logo: manca nella cartella")
                                          : QStringLiteral("logo: diverso sul server"));

    // The reminder log, line by line in order.
    int n = 0;
    for (const RegistroAvvisi::TRigaAvviso &r : LeggiRegistroServer(q)) {
        if (n >= c.avvisi.size())
            differenza(QStringLiteral("registro degli avvisi: riga %1 manca nella cartella (%2)")
                           .arg(n + 1)
                           .arg(DescriviRiga(r)));
        else if (!(c.avvisi[n] == r))
            differenza(QStringLiteral("registro degli avvisi, riga %1: nella cartella \"%2\", "
                                      "sul server \"%3\"")
                           .arg(n + 1)
                           .arg(DescriviRiga(c.avvisi[n]), DescriviRiga(r)));
        ++n;
    }
    for (; n < c.avvisi.size(); ++n)
        differenza(QStringLiteral("registro degli avvisi: riga %1 manca sul server (%2)")
                       .arg(n + 1)
                       .arg(DescriviRiga(c.avvisi[n])));

    if (oltre > 0)
        d << QStringLiteral("... e altre %1 differenze").arg(oltre);
    return d;
}

} // namespace Migrazione::Interno
