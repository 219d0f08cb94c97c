// What every desk shares on the server beside the records: organization data, card
// options and logo (table impostazioni and logo), attachments (documenti) and the
// reminder log (avvisi).
#include "archive/FileSicuro.h"
#include "archive/Impostazioni.h"
#include "archive/Testo.h"
#include "cards/core/RetroTessera.h"
#include "storage/DepositoServer.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlError>
#include <QStandardPaths>
#include <QVariant>

namespace {

// The largest document the server takes (the table's check says the same).
constexpr qint64 DocumentoMassimo = 64LL * 1024 * 1024;

using Valori = QList<std::pair<QString, QString>>;

Valori ValoriDatiEnte(const TDatiEnte &d)
{
    return DatiEnteFile::Valori(d);
}

Valori ValoriOpzioni(const TOpzioniTessera &o)
{
    return DatiEnteFile::Valori(o);
}

QString MessaggioServer(const QString &motivo)
{
    return QStringLiteral("Attenzione: non \u00E8 stato possibile salvare il documento "
                          "nell'archivio sul server (") +
           motivo +
           QStringLiteral(").\r\n\r\nVerificare il collegamento al server dell'archivio. Il "
                          "file non \u00E8 stato allegato.");
}

QString MessaggioLettura(const QString &origine)
{
    return QStringLiteral("Attenzione: non \u00E8 stato possibile leggere il file da copiare "
                          "nella cartella dei documenti allegati:\r\n\r\n") +
           origine + QStringLiteral("\r\n\r\nIl file non \u00E8 stato allegato.");
}

QString MessaggioGrande(const QString &origine)
{
    return QStringLiteral("Attenzione: il file\r\n\r\n") + origine +
           QStringLiteral("\r\n\r\nsupera i 64 MB, il massimo che l'archivio sul server "
                          "accetta. Il file non \u00E8 stato allegato.");
}

// The whole local file, or nothing with `errore` set.
std::optional<QByteArray> LeggiDocumento(const QString &origine, QString *errore)
{
    QFile f(origine);
    if (!ApriRegolare(f, QIODevice::ReadOnly)) {
        *errore = MessaggioLettura(origine);
        return std::nullopt;
    }
    if (f.size() > DocumentoMassimo) {
        *errore = MessaggioGrande(origine);
        return std::nullopt;
    }
    QByteArray byte = f.readAll();
    if (byte.size() != f.size()) {
        *errore = MessaggioLettura(origine);
        return std::nullopt;
    }
    return byte;
}
} // namespace

// ---- Organization data, card options and logo

QHash<QString, QString> TDepositoServer::LeggiSezione(const QString &sezione)
{
    return Tenta(
        [&] {
            QSqlQuery &q = Prepara(
                QStringLiteral("SELECT chiave, valore FROM impostazioni WHERE sezione = :s"));
            q.bindValue(QStringLiteral(":s"), sezione);
            Esegui(q, QStringLiteral("leggere le impostazioni"));
            QHash<QString, QString> r;
            while (q.next())
                r.insert(q.value(0).toString(), q.value(1).toString());
            q.finish();
            return r;
        },
        true);
}

void TDepositoServer::ScriviValori(const Valori &valori)
{
    // Only what differs from the server's value is written: a desk closing the card screen
    // with nothing changed neither needs the right to write nor overwrites another desk.
    // Each key set to a value: safe to send again after a lost connection.
    for (const auto &[chiave, valore] : valori)
        Tenta(
            [&] {
                QSqlQuery &q = Prepara(QStringLiteral(
                    "INSERT INTO impostazioni (sezione, chiave, valore) VALUES (:s, :k, :v) ON "
                    "CONFLICT (sezione, chiave) DO UPDATE SET valore = EXCLUDED.valore WHERE "
                    "impostazioni.valore IS DISTINCT FROM EXCLUDED.valore"));
                q.bindValue(QStringLiteral(":s"), SezioneDatiEnte);
                q.bindValue(QStringLiteral(":k"), chiave);
                q.bindValue(QStringLiteral(":v"), TestoServer(valore));
                Esegui(q, QStringLiteral("scrivere i dati dell'ente"));
                q.finish();
            },
            true);
}

bool TDepositoServer::ScriviValoriSeInvariati(const Valori &letti, const Valori &valori)
{
    // Compare and set, key by key: a key changed here is written only where the server
    // still holds what this desk read; a key another desk changed since is kept. (Each
    // statement is taken from Prepara right before its use: a connection opened anew
    // drops the earlier ones.)
    bool tutti = true;
    for (qsizetype i = 0; i < valori.size(); ++i) {
        const auto &[chiave, valore] = valori[i];
        const QString letto = i < letti.size() ? letti[i].second : QString();
        if (valore == letto)
            continue;
        // A key never written counts as empty: it is added unless another desk was first.
        // A key that already holds the new value counts as written, so a try repeated
        // after a lost answer finds its own write done.
        const bool scritta = Tenta(
            [&] {
                QSqlQuery &q = Prepara(
                    letto.isEmpty()
                        ? QStringLiteral("INSERT INTO impostazioni AS i (sezione, chiave, valore) "
                                         "VALUES (:s, :k, :v) ON CONFLICT (sezione, chiave) DO "
                                         "UPDATE SET valore = EXCLUDED.valore WHERE i.valore IN "
                                         "('', EXCLUDED.valore)")
                        : QStringLiteral("UPDATE impostazioni SET valore = :v WHERE sezione = :s "
                                         "AND chiave = :k AND valore IN (:letto, :ancora)"));
                q.bindValue(QStringLiteral(":v"), TestoServer(valore));
                q.bindValue(QStringLiteral(":s"), SezioneDatiEnte);
                q.bindValue(QStringLiteral(":k"), chiave);
                if (!letto.isEmpty()) {
                    q.bindValue(QStringLiteral(":letto"), TestoServer(letto));
                    q.bindValue(QStringLiteral(":ancora"), TestoServer(valore));
                }
                Esegui(q, QStringLiteral("scrivere i dati dell'ente"));
                const bool fatta = q.numRowsAffected() > 0;
                q.finish();
                return fatta;
            },
            true);
        tutti = tutti && scritta;
    }
    return tutti;
}

TDatiEnte TDepositoServer::LeggiDatiEnte()
{
    return DatiEnteDaServer(LeggiSezione(SezioneDatiEnte));
}

TDatiEnte DatiEnteDaServer(const QHash<QString, QString> &v)
{
    return DatiEnteFile::DatiEnteDa(v);
}

QList<std::pair<QString, QString>> ValoriImpostazioniServer(const TDatiEnte &dati,
                                                            const TOpzioniTessera &opzioni)
{
    return ValoriDatiEnte(dati) + ValoriOpzioni(opzioni);
}

void TDepositoServer::ScriviDatiEnte(const TDatiEnte &dati)
{
    ScriviValori(ValoriDatiEnte(dati));
}

bool TDepositoServer::ScriviDatiEnteSeInvariati(const TDatiEnte &letti, const TDatiEnte &dati)
{
    return ScriviValoriSeInvariati(ValoriDatiEnte(letti), ValoriDatiEnte(dati));
}

TOpzioniTessera TDepositoServer::LeggiOpzioniTessera()
{
    return OpzioniDaServer(LeggiSezione(SezioneDatiEnte));
}

TOpzioniTessera OpzioniDaServer(const QHash<QString, QString> &v)
{
    return DatiEnteFile::OpzioniDa(v);
}

void TDepositoServer::ScriviOpzioniTessera(const TOpzioniTessera &opzioni)
{
    ScriviValori(ValoriOpzioni(opzioni));
}

bool TDepositoServer::ScriviOpzioniTesseraSeInvariate(const TOpzioniTessera &lette,
                                                      const TOpzioniTessera &opzioni)
{
    return ScriviValoriSeInvariati(ValoriOpzioni(lette), ValoriOpzioni(opzioni));
}

QImage TDepositoServer::LeggiLogo()
{
    try {
        const QByteArray byte = Tenta(
            [&] {
                QSqlQuery &q = Prepara(QStringLiteral("SELECT immagine FROM logo"));
                Esegui(q, QStringLiteral("leggere il logo"));
                const QByteArray b = q.next() ? q.value(0).toByteArray() : QByteArray();
                q.finish();
                return b;
            },
            true);
        return ImmagineServer(byte);
    } catch (const ErroreFile &) {
        return QImage();
    }
}

bool TDepositoServer::SalvaLogo(const QImage &logo)
{
    const QImage nuovo = DatiEnteFile::LogoDaSalvare(logo);
    // The logo as it is on the server is not encoded again: JPEG loses at every write,
    // and another desk's logo is not overwritten by a copy of itself.
    const QImage attuale = LeggiLogo();
    if (!attuale.isNull() && attuale.convertToFormat(QImage::Format_RGB32) == nuovo)
        return true;
    QBuffer jpeg;
    jpeg.open(QIODevice::WriteOnly);
    if (!nuovo.save(&jpeg, "JPG"))
        return false;
    try {
        Tenta(
            [&] {
                QSqlQuery &q = Prepara(QStringLiteral(
                    "INSERT INTO logo (unico, immagine) VALUES (true, :b) ON CONFLICT (unico) DO "
                    "UPDATE SET immagine = EXCLUDED.immagine"));
                q.bindValue(QStringLiteral(":b"), jpeg.data());
                Esegui(q, QStringLiteral("scrivere il logo"));
                q.finish();
            },
            true);
        return true;
    } catch (const ErroreFile &) {
        return false;
    }
}

// ---- Attachments, by plain name

bool TDepositoServer::EsisteDocumento(const QString &nome)
{
    if (!NomeDocumentoSemplice(nome))
        return false;
    return Tenta(
        [&] {
            QSqlQuery &q = Prepara(QStringLiteral("SELECT 1 FROM documenti WHERE nome = :n"));
            q.bindValue(QStringLiteral(":n"), nome);
            Esegui(q, QStringLiteral("cercare il documento"));
            const bool c = q.next();
            q.finish();
            return c;
        },
        true);
}

bool TDepositoServer::StessoDocumento(const QString &nome, const QString &origine)
{
    // The very document: the same bytes, told by their hash on the server's side.
    if (!NomeDocumentoSemplice(nome))
        return false;
    QString errore;
    const std::optional<QByteArray> byte = LeggiDocumento(origine, &errore);
    if (!byte)
        return false;
    return Tenta(
        [&] {
            QSqlQuery &q = Prepara(
                QStringLiteral("SELECT sha256(contenuto) = :h FROM documenti WHERE nome = :n"));
            q.bindValue(QStringLiteral(":h"),
                        QCryptographicHash::hash(*byte, QCryptographicHash::Sha256));
            q.bindValue(QStringLiteral(":n"), nome);
            Esegui(q, QStringLiteral("leggere il documento"));
            const bool uguale = q.next() && q.value(0).toBool();
            q.finish();
            return uguale;
        },
        true);
}

QString TDepositoServer::SalvaDocumento(const QString &nome, const QString &origine,
                                        bool sostituisci)
{
    if (!NomeDocumentoSemplice(nome) || nome.contains(QChar(u'\0')))
        return MessaggioLettura(origine);
    QString errore;
    const std::optional<QByteArray> byte = LeggiDocumento(origine, &errore);
    if (!byte)
        return errore;
    // A new name goes in as it is; one already there is replaced only when asked, in one
    // statement, so the old document stays whole when the new one fails.
    // Either statement stores the same bytes under the name however often it is sent.
    try {
        Tenta(
            [&] {
                QSqlQuery &q = Prepara(
                    sostituisci
                        ? QStringLiteral(
                              "INSERT INTO documenti (nome, contenuto) VALUES (:n, :b) ON CONFLICT "
                              "(nome) DO UPDATE SET contenuto = EXCLUDED.contenuto, caricato_il = "
                              "now(), caricato_da = session_user")
                        : QStringLiteral(
                              "INSERT INTO documenti (nome, contenuto) VALUES (:n, :b) ON CONFLICT "
                              "(nome) DO NOTHING"));
                q.bindValue(QStringLiteral(":n"), nome);
                q.bindValue(QStringLiteral(":b"), *byte);
                if (!q.exec()) {
                    const QString motivo = q.lastError().databaseText().trimmed();
                    throw ErroreFile(motivo.isEmpty() ? q.lastError().text() : motivo);
                }
                q.finish();
            },
            true);
    } catch (const ErroreFile &e) {
        return MessaggioServer(e.testo());
    }
    return QString();
}

QString TDepositoServer::DocumentoDaAprire(const QString &nome)
{
    // A read-only copy in a folder of this user's: edits made to it stay on this computer.
    if (!NomeDocumentoSemplice(nome))
        return QString();
    QByteArray byte;
    try {
        const std::optional<QByteArray> letto = Tenta(
            [&]() -> std::optional<QByteArray> {
                QSqlQuery &q =
                    Prepara(QStringLiteral("SELECT contenuto FROM documenti WHERE nome = :n"));
                q.bindValue(QStringLiteral(":n"), nome);
                Esegui(q, QStringLiteral("leggere il documento"));
                std::optional<QByteArray> b;
                if (q.next())
                    b = q.value(0).toByteArray();
                q.finish();
                return b;
            },
            true);
        if (!letto)
            return QString();
        byte = *letto;
    } catch (const ErroreFile &) {
        return QString();
    }
    // In the user's own cache, not in the shared /tmp, where another user could lay a
    // folder or a link under the same name first.
    const QString cartella = QDir(QStandardPaths::writableLocation(QStandardPaths::CacheLocation))
                                 .filePath(QStringLiteral("Documenti aperti"));
    if (QFileInfo(cartella).isSymLink() || !CreaCartella(cartella))
        return QString();
    QFile::setPermissions(cartella,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QString percorso = QDir(cartella).filePath(nome);
    QFile vecchia(percorso);
    if (vecchia.exists()) {
        vecchia.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        vecchia.remove();
    }
    QFile f(percorso);
    if (!f.open(QIODevice::WriteOnly | QIODevice::NewOnly) || f.write(byte) != byte.size()) {
        f.remove();
        return QString();
    }
    f.close();
    f.setPermissions(QFileDevice::ReadOwner);
    return percorso;
}

// ---- The reminder log, shared by every desk

QHash<QString, QDate> TDepositoServer::UltimiInvii()
{
    QHash<QString, QDate> r;
    try {
        Tenta(
            [&] {
                r.clear();
                QSqlQuery &q = Prepara(
                    QStringLiteral("SELECT posizione, tesserato, max(data) FROM avvisi WHERE "
                                   "esito = :e GROUP BY posizione, tesserato"));
                q.bindValue(QStringLiteral(":e"), RegistroAvvisi::Inviato);
                Esegui(q, QStringLiteral("leggere il registro degli avvisi"));
                while (q.next()) {
                    QDate &ultima =
                        r[RegistroAvvisi::Chiave(q.value(0).toInt(), q.value(1).toString())];
                    const QDate data = q.value(2).toDate();
                    if (!ultima.isValid() || data > ultima)
                        ultima = data;
                }
                q.finish();
            },
            true);
    } catch (const ErroreFile &) {
        r.clear();
    }
    return r;
}

namespace {
class TRegistroServer : public TDeposito::TRegistroInvii {
public:
    explicit TRegistroServer(TDepositoServer &deposito) : m_deposito(deposito) {}
    bool Scrivi(const RegistroAvvisi::TRigaAvviso &r) override
    {
        for (const QString &t : {r.tesserato, r.indirizzo, r.esito})
            if (t.contains(QChar(u'\0')))
                return false;
        // A line of the log is no idempotent write: after a lost connection it is reported
        // as not written (the connection is opened again for the next one), never sent twice.
        try {
            m_deposito.Tenta(
                [&] {
                    QSqlQuery &q = m_deposito.Prepara(
                        QStringLiteral("INSERT INTO avvisi (data, ora, posizione, tesserato, "
                                       "email, data_scade, esito) "
                                       "VALUES (:d, :o, :p, :t, :i, :s, :e)"));
                    q.bindValue(QStringLiteral(":d"), r.data);
                    q.bindValue(QStringLiteral(":o"), r.ora);
                    q.bindValue(QStringLiteral(":p"), r.posizione);
                    q.bindValue(QStringLiteral(":t"), TestoServer(r.tesserato));
                    q.bindValue(QStringLiteral(":i"), TestoServer(r.indirizzo));
                    q.bindValue(QStringLiteral(":s"), r.scadenza.isValid()
                                                          ? QVariant(r.scadenza)
                                                          : QVariant(QMetaType::fromType<QDate>()));
                    q.bindValue(QStringLiteral(":e"), TestoServer(r.esito));
                    m_deposito.Esegui(q, QStringLiteral("scrivere il registro degli avvisi"));
                    q.finish();
                },
                false,
                QStringLiteral("Il collegamento al server si \u00E8 interrotto: la riga del "
                               "registro degli avvisi non \u00E8 stata salvata."));
            return true;
        } catch (const ErroreFile &) {
            return false;
        }
    }

private:
    TDepositoServer &m_deposito;
};
} // namespace

std::unique_ptr<TDeposito::TRegistroInvii> TDepositoServer::ApriRegistroAvvisi()
{
    try {
        Db();
    } catch (const ErroreFile &) {
        return nullptr;
    }
    return std::make_unique<TRegistroServer>(*this);
}

// ---- E-mail settings: shared keys on the server, written by any desk through the
// owner's function (which takes those keys only); the password and the CA file, which
// names a file of this computer, stay in the desk's Quorvel.ini.

TImpostazioniPosta TDepositoServer::LeggiImpostazioniPosta()
{
    // Until a desk saves them on the server, each desk goes on with those of its own
    // Quorvel.ini: moving the archive to a server loses no settings.
    TImpostazioniPosta p = TImpostazioniPosta::Carica(m_cartella);
    const QHash<QString, QString> condivise = LeggiSezione(QStringLiteral("Posta Elettronica"));
    if (!condivise.isEmpty())
        p.ApplicaCondivisi(condivise);
    return p;
}

void TDepositoServer::ScriviImpostazioniPosta(const TImpostazioniPosta &p)
{
    QJsonObject valori;
    for (const auto &[chiave, valore] : p.ValoriCondivisi()) {
        if (valore.contains(QChar(u'\0')))
            throw ErroreFile(QStringLiteral("Impossibile scrivere le impostazioni di posta "
                                            "elettronica sul server: un carattere nullo."));
        valori.insert(chiave, valore);
    }
    // All keys in one statement, which sets each to a value: safe to send again.
    Tenta(
        [&] {
            QSqlQuery &q =
                Prepara(QStringLiteral("SELECT scrivi_impostazioni_posta(CAST(:v AS json))"));
            q.bindValue(QStringLiteral(":v"),
                        QString::fromUtf8(QJsonDocument(valori).toJson(QJsonDocument::Compact)));
            Esegui(q, QStringLiteral("scrivere le impostazioni di posta elettronica"));
            q.finish();
        },
        true);
    TFileIni ini(QDir(m_cartella).filePath(NomeFileIni));
    ini.Imposta(QStringLiteral("Posta Elettronica"), QStringLiteral("FileCA"), p.fileCA.trimmed());
    ini.Salva();
}
