// Into the server in one transaction, compared before COMMIT; the comparison alone.
#include "storage/Migrazione.h"

#include "archive/Archivio.h"
#include "archive/FileSicuro.h"
#include "storage/DepositoServer.h"
#include "storage/MigrazioneComune.h"

#include <QDir>
#include <QLockFile>
#include <QSqlDriver>
#include <QVariant>

using namespace Migrazione::Interno;

namespace Migrazione {

namespace {
const QString kAnnullato = QStringLiteral("Trasferimento annullato: l'archivio sul server è "
                                          "rimasto com'era.");

QByteArray LeggiTutto(const QString &percorso)
{
    QFile f(percorso);
    if (!ApriRegolare(f, QIODevice::ReadOnly))
        throw ErroreFile(QStringLiteral("Impossibile leggere il file %1").arg(percorso));
    QByteArray b = f.readAll();
    if (b.size() != f.size())
        throw ErroreFile(QStringLiteral("Impossibile leggere il file %1").arg(percorso));
    return b;
}

// A transaction rolled back on every path but Conferma.
class TTransazione {
public:
    explicit TTransazione(QSqlDatabase db) : m_db(db)
    {
        if (!m_db.transaction())
            throw ErroreFile(QStringLiteral("Impossibile iniziare la transazione sul server"));
    }
    ~TTransazione()
    {
        if (m_aperta)
            m_db.rollback();
    }
    void Conferma()
    {
        m_aperta = false;
        if (!m_db.commit())
            throw ErroreFile(QStringLiteral("Il server non ha confermato il trasferimento: "
                                            "l'archivio sul server è rimasto com'era"));
    }

private:
    QSqlDatabase m_db;
    bool m_aperta = true;
};
} // namespace

TRapporto Importa(const QString &cartella, QSqlDatabase db, const TOpzioni &opzioni,
                  const Avanzamento &avanzamento)
{
    // The folder's lock, as a copy of the program takes it: no desk writes it meanwhile.
    QLockFile blocco(QDir(cartella).filePath(QStringLiteral("Quorvel.lock")));
    blocco.setStaleLockTime(0);
    if (!opzioni.cartellaGiaBloccata && !blocco.tryLock(0))
        throw ErroreFile(QStringLiteral("La cartella %1 è in uso da Quorvel: chiudere il "
                                        "programma prima del trasferimento")
                             .arg(cartella));

    const bool nulQ = opzioni.nulComePuntoInterrogativo;
    TCartella c = LeggiCartella(cartella, nulQ);
    TRapporto r;
    r.saltati = c.saltati;
    r.schede = c.schede;
    r.foto = static_cast<int>(c.foto.size());
    r.documenti = static_cast<int>(c.documenti.size());
    if (!c.nul.isEmpty() && !nulQ) {
        r.problemi = c.nul;
        return r;
    }

    const qint64 totale = 2 * Unita(c);
    qint64 fatti = 0;
    auto passo = [&] { return !avanzamento || avanzamento(++fatti, totale); };

    TTransazione t(db);
    QSqlQuery q(db);
    // Desks wait until the move is over; the position trigger is off while positions are
    // given here, and the counter set once.
    Esegui(q, QStringLiteral("bloccare l'archivio"),
           QStringLiteral("LOCK TABLE schede, contatore, foto, documenti, impostazioni, logo, "
                          "avvisi IN ACCESS EXCLUSIVE MODE"));
    Esegui(q, QStringLiteral("contare le schede"),
           QStringLiteral("SELECT (SELECT count(*) FROM schede), (SELECT ultima FROM contatore), "
                          "(SELECT count(*) FROM foto) + (SELECT count(*) FROM documenti) + "
                          "(SELECT count(*) FROM avvisi)"));
    q.next();
    const qint64 presenti = q.value(0).toLongLong(), ultima = q.value(1).toLongLong(),
                 altro = q.value(2).toLongLong();
    q.finish();
    if (presenti > 0 || ultima > 0 || altro > 0)
        throw ErroreFile(QStringLiteral("L'archivio sul server contiene già %1 schede: si "
                                        "trasferisce solo in un archivio vuoto")
                             .arg(std::max(presenti, ultima)));
    Esegui(q, QStringLiteral("preparare l'archivio"),
           QStringLiteral("ALTER TABLE schede DISABLE TRIGGER schede_posizione"));

    // The records at their positions.
    QStringList colonne, segni;
    for (int i = 0; i < NumeroCampi; ++i) {
        colonne << ColonnaServer(static_cast<Campo>(i));
        segni << QStringLiteral("?");
    }
    QSqlQuery ins(db);
    if (!ins.prepare(
            QStringLiteral("INSERT INTO schede (posizione, %1) VALUES (?, %2)")
                .arg(colonne.join(QStringLiteral(", ")), segni.join(QStringLiteral(", ")))))
        throw ErroreFile(QStringLiteral("Impossibile preparare il trasferimento sul server"));
    bool fermato = false;
    {
        TArchivio a(cartella);
        a.Scorri([&](int p, const TScheda &s) {
            if (p > c.schede)
                return false;
            if (!passo()) {
                fermato = true;
                return false;
            }
            ins.bindValue(0, p);
            for (int i = 0; i < NumeroCampi; ++i)
                ins.bindValue(i + 1, Valore(s, static_cast<Campo>(i), nulQ));
            Esegui(ins, QStringLiteral("scrivere la scheda %1").arg(p));
            return true;
        });
    }
    ins.finish();
    if (fermato)
        throw ErroreFile(kAnnullato);
    Esegui(q, QStringLiteral("aggiornare il contatore"),
           QStringLiteral("UPDATE contatore SET ultima = %1").arg(c.schede));
    Esegui(q, QStringLiteral("preparare l'archivio"),
           QStringLiteral("ALTER TABLE schede ENABLE TRIGGER schede_posizione"));

    // Photos and documents byte for byte.
    QSqlQuery foto(db);
    foto.prepare(QStringLiteral("INSERT INTO foto (posizione, immagine) VALUES (?, ?)"));
    for (auto it = c.foto.cbegin(); it != c.foto.cend(); ++it) {
        if (!passo())
            throw ErroreFile(kAnnullato);
        foto.bindValue(0, it.key());
        foto.bindValue(1, LeggiTutto(it.value()));
        Esegui(foto, QStringLiteral("scrivere la foto %1.jpg").arg(it.key()));
    }
    foto.finish();
    QSqlQuery doc(db);
    doc.prepare(QStringLiteral("INSERT INTO documenti (nome, contenuto) VALUES (?, ?)"));
    for (auto it = c.documenti.cbegin(); it != c.documenti.cend(); ++it) {
        if (!passo())
            throw ErroreFile(kAnnullato);
        if (it.key().contains(QChar(u'\0')))
            throw ErroreFile(QStringLiteral("Il nome del documento \"%1\" contiene un carattere "
                                            "nullo")
                                 .arg(it.key()));
        doc.bindValue(0, it.key());
        doc.bindValue(1, LeggiTutto(it.value()));
        Esegui(doc, QStringLiteral("scrivere il documento \"%1\"").arg(it.key()));
    }
    doc.finish();

    // Organization data, logo and reminder log.
    QSqlQuery imp(db);
    imp.prepare(QStringLiteral(
        "INSERT INTO impostazioni (sezione, chiave, valore) VALUES (?, ?, ?) ON CONFLICT "
        "(sezione, chiave) DO UPDATE SET valore = EXCLUDED.valore"));
    for (const auto &[chiave, valore] : c.impostazioni) {
        imp.bindValue(0, SezioneDatiEnte);
        imp.bindValue(1, chiave);
        imp.bindValue(2, TestoServer(nulQ ? QString(valore).replace(QChar(u'\0'), u'?') : valore));
        Esegui(imp, QStringLiteral("scrivere i dati dell'ente"));
    }
    imp.finish();
    if (!c.logo.isEmpty()) {
        QSqlQuery logo(db);
        logo.prepare(QStringLiteral("INSERT INTO logo (unico, immagine) VALUES (true, ?) ON "
                                    "CONFLICT (unico) DO UPDATE SET immagine = EXCLUDED.immagine"));
        logo.bindValue(0, LeggiTutto(c.logo));
        Esegui(logo, QStringLiteral("scrivere il logo"));
    }
    QSqlQuery avv(db);
    avv.prepare(QStringLiteral("INSERT INTO avvisi (data, ora, posizione, tesserato, email, "
                               "data_scade, esito) VALUES (?, ?, ?, ?, ?, ?, ?)"));
    for (RegistroAvvisi::TRigaAvviso a : c.avvisi) {
        for (QString *t : {&a.tesserato, &a.indirizzo, &a.esito})
            t->replace(QChar(u'\0'), u'?');
        avv.bindValue(0, a.data);
        avv.bindValue(1, a.ora);
        avv.bindValue(2, a.posizione);
        avv.bindValue(3, TestoServer(a.tesserato));
        avv.bindValue(4, TestoServer(a.indirizzo));
        avv.bindValue(5, a.scadenza.isValid() ? QVariant(a.scadenza)
                                              : QVariant(QMetaType::fromType<QDate>()));
        avv.bindValue(6, TestoServer(a.esito));
        Esegui(avv, QStringLiteral("scrivere il registro degli avvisi"));
    }
    avv.finish();

    // Everything read back and compared before it counts.
    r.problemi = Confronta(db, c, nulQ, passo);
    if (!r.problemi.isEmpty())
        return r; // rolled back by the transaction's end
    if (avanzamento && !avanzamento(totale, totale))
        throw ErroreFile(kAnnullato);
    t.Conferma();
    r.riuscito = true;
    return r;
}

TRapporto Verifica(const QString &cartella, QSqlDatabase db, const TOpzioni &opzioni,
                   const Avanzamento &avanzamento)
{
    const bool nulQ = opzioni.nulComePuntoInterrogativo;
    TCartella c = LeggiCartella(cartella, nulQ);
    TRapporto r;
    r.saltati = c.saltati;
    r.schede = c.schede;
    r.foto = static_cast<int>(c.foto.size());
    r.documenti = static_cast<int>(c.documenti.size());
    const qint64 totale = Unita(c);
    qint64 fatti = 0;
    // One snapshot: a desk writing meanwhile does not make differences appear.
    TTransazione t(db);
    QSqlQuery q(db);
    Esegui(q, QStringLiteral("leggere l'archivio"),
           QStringLiteral("SET TRANSACTION ISOLATION LEVEL REPEATABLE READ, READ ONLY"));
    if (!nulQ)
        r.problemi = c.nul;
    r.problemi +=
        Confronta(db, c, nulQ, [&] { return !avanzamento || avanzamento(++fatti, totale); });
    r.riuscito = r.problemi.isEmpty();
    return r;
}

} // namespace Migrazione
