// Row checks and the all-or-nothing append of the import.
#include "import/core/Importazione.h"

#include "archive/CellaCsv.h"
#include "archive/Errori.h"
#include "archive/FileSicuro.h"
#include "archive/LetturaImmagine.h"
#include "archive/Scheda.h"
#include "archive/Testo.h"
#include "checks/core/ControlliCodici.h"
#include "import/core/Foglio.h"
#include "storage/Deposito.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>

#include <array>

using Testo::Trim32;

namespace Importazione {

namespace {

// A cut text: true when the store rule keeps fewer characters than given.
bool Tagliato(const QString &testo, Campo c)
{
    return Trim32(testo).size() > Definizione(c).capacita;
}

QString SenzaSpazi(QString t)
{
    t.remove(u' ');
    return t;
}

bool Vero(const QString &t)
{
    static const QStringList si = {
        QStringLiteral("s\u00EC"), QStringLiteral("si"),  QStringLiteral("s"),
        QStringLiteral("x"),       QStringLiteral("1"),   QStringLiteral("vero"),
        QStringLiteral("true"),    QStringLiteral("yes"), QStringLiteral("annullata")};
    return si.contains(Testo::MinuscoleAZ(Trim32(t)));
}

// "00100 Roma RM" -> CAP, town, province; each part only when it is there.
void Dividi(QString testo, bool conCap, QString *cap, QString *comune, QString *prov)
{
    testo = Trim32(testo);
    if (conCap && testo.size() >= 5) {
        bool cifre = true;
        for (int i = 0; i < 5; ++i)
            cifre = cifre && testo[i] >= u'0' && testo[i] <= u'9';
        if (cifre && (testo.size() == 5 || testo[5].unicode() <= 32)) {
            *cap = testo.left(5);
            testo = Trim32(testo.mid(5));
        }
    }
    const qsizetype n = testo.size();
    auto lettera = [](QChar c) { return c.isLetter(); };
    if (prov && n >= 2 && lettera(testo[n - 1]) && lettera(testo[n - 2]) &&
        (n == 2 ? testo == testo.toUpper() : testo[n - 3].unicode() <= 32)) {
        *prov = Testo::MaiuscoleAZ(testo.right(2));
        testo = Trim32(testo.left(n - 2));
    }
    *comune = testo;
}

QString Motivo(const char *testo)
{
    return QString::fromUtf8(testo);
}

// A cell quoted in a reason: at most `massimo` characters, so that a huge cell repeated on
// many rows does not fill the memory with its copies.
QString Cita(const QString &cella, qsizetype massimo = 40)
{
    if (cella.size() <= massimo)
        return cella;
    qsizetype n = massimo - 1;
    if (cella[n - 1].isHighSurrogate()) // never half a character
        --n;
    return cella.left(n) + u'\u2026';
}

// Digits in three groups split by '/', '-' or '.': meant as a date, real or not.
bool FormaDiData(const QString &testo)
{
    static const QRegularExpression forma(QStringLiteral("^\\d{1,4}([/.-])\\d{1,2}\\1\\d{1,4}$"));
    return forma.match(Trim32(testo)).hasMatch();
}

class Importatore {
public:
    Importatore(const QString &cartella, const Richiesta &r, bool scrivi)
        : m_cartella(cartella), m_r(r), m_scrivi(scrivi),
          m_base(QFileInfo(r.percorso).absoluteDir())
    {
        for (int i = 0; i < r.colonne.size(); ++i)
            m_mappati.insert(r.colonne[i]);
    }
    Esito Esegui(const Avanzamento &avanza);

private:
    // Builds the record of a row; false with the reason when the row is skipped.
    bool Componi(const QStringList &celle, TScheda *s, QStringList *avvisi, QString *foto,
                 QString *motivo);
    void Chiavi(const QString &tessera, const QString &nome, const QString &nascita, int posizione);

    // The phases of a run, in order.
    void AnnullataDalLettore(const ErroreFile &err, Esito &e) const;
    // The keys of the records already in the archive, for the duplicate checks.
    void IndicizzaChiavi(TDeposito &deposito);
    // Reads every row of the chosen sheet; throws for an empty sheet or one with only a header.
    void LeggiRighe(TFoglio &foglio, const Avanzamento &avanza, Esito &e);
    // One row: checked, counted, queued for the archive; false to stop the reading.
    bool LeggiRiga(int numero, const QStringList &celle, const Avanzamento &avanza, Esito &e);
    // Replaces the archive with the old records and the queued ones.
    void Conferma(Esito &e);
    // The photos of the imported rows, once their records are in the archive.
    void ScriviFoto(TDeposito &deposito, Esito &e);

    struct FotoDaScrivere {
        int posizione;
        int riga;
        QString percorso;
    };

    QString m_cartella;
    const Richiesta &m_r;
    bool m_scrivi;
    QDir m_base;
    QSet<int> m_mappati;
    QHash<QString, int> m_tessere, m_nomi; // keys of the records, and their positions
    QSet<QString> m_motivi;                // one copy of each reason, shared by its rows
    QString Unico(const QString &motivo) { return *m_motivi.insert(motivo); }
    // Ripiega, remembering the last long text: a spreadsheet's repeated row hands the very
    // same text over again, and folding a megabyte per row would take minutes.
    QString RipiegaRipetuto(const QString &testo)
    {
        if (testo.size() < 4096)
            return Ripiega(testo);
        if (testo.constData() != m_lungo.constData() || testo.size() != m_lungo.size()) {
            m_lungo = testo; // kept, so its buffer cannot be reused by another text
            m_lungoRipiegato = Ripiega(testo);
        }
        return m_lungoRipiegato;
    }
    QString m_lungo, m_lungoRipiegato;
    // Of the row last composed: the member's name, and whether a default date was used.
    QString m_nome;
    bool m_rilascioDato = false, m_scadenzaData = false;
    // Of the run: records before it, the rows read, the queued records and photos.
    int m_schede = 0;
    bool m_intestazione = true;
    int m_lette = 0, m_dati = 0;
    std::unique_ptr<TDeposito::TImportazione> m_importazione;
    QList<FotoDaScrivere> m_foto;
};

void Importatore::Chiavi(const QString &tessera, const QString &nome, const QString &nascita,
                         int posizione)
{
    if (!tessera.isEmpty())
        m_tessere.insert(tessera, posizione);
    if (!nome.isEmpty())
        m_nomi.insert(Testo::MinuscoleAZ(nome) + u'\n' + nascita, posizione);
}

bool Importatore::Componi(const QStringList &celle, TScheda *s, QStringList *avvisi, QString *foto,
                          QString *motivo)
{
    std::array<QString, NumeroCampi> v;
    QString cognome, nome;
    auto unisci = [](QString &a, const QString &b) {
        if (b.isEmpty())
            return;
        a = a.isEmpty() ? b : a + u' ' + b;
    };
    for (int i = 0; i < m_r.colonne.size() && i < celle.size(); ++i) {
        const int d = m_r.colonne[i];
        const QString t = Trim32(celle[i]);
        if (t.isEmpty() || d == Nessuna)
            continue;
        if (d >= 0 && d < NumeroCampi)
            unisci(v[size_t(d)], t);
        else if (d == Cognome)
            unisci(cognome, t);
        else if (d == Nome)
            unisci(nome, t);
        else if (d == Foto)
            *foto = t;
        else if (d == ComuneProvNascita) {
            QString cap, comune, prov;
            Dividi(t, false, &cap, &comune,
                   m_mappati.contains(C(Campo::ProvNasc)) ? nullptr : &prov);
            unisci(v[size_t(C(Campo::ComuneNasc))], comune);
            unisci(v[size_t(C(Campo::ProvNasc))], prov);
        } else if (d == CapComuneProvResidenza) {
            QString cap, comune, prov;
            Dividi(t, !m_mappati.contains(C(Campo::CapRes)), &cap, &comune,
                   m_mappati.contains(C(Campo::ProvRes)) ? nullptr : &prov);
            unisci(v[size_t(C(Campo::CapRes))], cap);
            unisci(v[size_t(C(Campo::ComuneRes))], comune);
            unisci(v[size_t(C(Campo::ProvRes))], prov);
        }
    }
    // Letters the archive cannot hold become their base letter, in every field.
    for (auto &t : v)
        t = RipiegaRipetuto(t);
    auto &tesserato = v[size_t(C(Campo::Tesserato))];
    if (tesserato.isEmpty()) {
        unisci(tesserato, Ripiega(cognome));
        unisci(tesserato, Ripiega(nome));
    }
    m_nome = Cita(tesserato, 50); // as long as the record keeps it
    // The archive screen's save checks, in its order.
    auto &ril = v[size_t(C(Campo::DataRil))];
    auto &scade = v[size_t(C(Campo::DataScade))];
    if (tesserato.isEmpty()) {
        *motivo = Motivo("manca il nome del tesserato");
        return false;
    }
    m_rilascioDato = ril.isEmpty() && m_r.rilascio.isValid();
    m_scadenzaData = scade.isEmpty() && m_r.scadenza.isValid();
    if (m_rilascioDato)
        ril = Testo::TestoDataDiretta(m_r.rilascio);
    if (m_scadenzaData)
        scade = Testo::TestoDataDiretta(m_r.scadenza);
    if (ril.isEmpty()) {
        *motivo = Motivo("manca la data di rilascio");
        return false;
    }
    if (scade.isEmpty()) {
        *motivo = Motivo("manca la data di scadenza");
        return false;
    }
    const QString dr = NormalizzaData(ril), ds = NormalizzaData(scade);
    if (dr.isEmpty()) {
        *motivo = QStringLiteral("la data di rilascio %1 non esiste").arg(Cita(ril));
        return false;
    }
    if (ds.isEmpty()) {
        *motivo = QStringLiteral("la data di scadenza %1 non esiste").arg(Cita(scade));
        return false;
    }
    if (DataDa(dr) > DataDa(ds)) {
        *motivo = QStringLiteral("la data di scadenza (%1) è anteriore a quella di rilascio (%2)")
                      .arg(ds, dr);
        return false;
    }
    ril = dr;
    scade = ds;
    auto &preavviso = v[size_t(C(Campo::Preavviso))];
    if (preavviso.isEmpty())
        preavviso = QStringLiteral("0");
    if (!Testo::SoloCifre(preavviso) || preavviso.size() > 3) {
        *motivo = QStringLiteral("i giorni di preavviso (%1) non sono un numero da 0 a 999")
                      .arg(Cita(preavviso));
        return false;
    }
    auto &nascita = v[size_t(C(Campo::DataNasc))];
    if (const QString d = NormalizzaData(nascita); !d.isEmpty())
        nascita = d;
    else if (FormaDiData(nascita)) // kept as written: the field is free text
        avvisi->append(QStringLiteral("la data di nascita %1 non esiste").arg(Cita(nascita)));

    // A postal code read as a number lost its leading zeros.
    auto &cap = v[size_t(C(Campo::CapRes))];
    if (!cap.isEmpty() && cap.size() < 5 && Testo::SoloCifre(cap)) {
        const QString completo = cap.rightJustified(5, u'0');
        avvisi->append(
            QStringLiteral("CAP %1 completato con gli zeri iniziali: %2").arg(cap, completo));
        cap = completo;
    }

    // The screen's input rules: upper case, digits without blanks.
    for (Campo c : {Campo::ProvNasc, Campo::ProvRes, Campo::Sesso, Campo::CodFisc, Campo::Iban})
        v[size_t(C(c))] = Testo::MaiuscoleAZ(v[size_t(C(c))]);
    for (Campo c : {Campo::Carta, Campo::PartitaIva, Campo::Iban})
        v[size_t(C(c))] = SenzaSpazi(v[size_t(C(c))]);
    auto &annullata = v[size_t(C(Campo::Annullata))];
    annullata = Vero(annullata) ? AnnullataSi : AnnullataNo;

    // Codes that fail their check are kept, with a warning.
    const QString &cf = v[size_t(C(Campo::CodFisc))];
    if (!cf.isEmpty() && !(Testo::SoloCifre(cf) ? ControllaPartitaIva(cf) : ControllaCodFisc(cf)))
        avvisi->append(QStringLiteral("codice fiscale %1 non valido").arg(Cita(cf)));
    const QString &piva = v[size_t(C(Campo::PartitaIva))];
    if (!piva.isEmpty() && !ControllaPartitaIva(piva))
        avvisi->append(QStringLiteral("partita IVA %1 non valida").arg(Cita(piva)));
    const QString &iban = v[size_t(C(Campo::Iban))];
    if (!iban.isEmpty() && !ControllaIban(iban))
        avvisi->append(QStringLiteral("IBAN %1 non valido").arg(Cita(iban)));
    const QString &carta = v[size_t(C(Campo::Carta))];
    if (!carta.isEmpty() && (!Testo::SoloCifre(carta) || TipoCarta(carta) == 0))
        avvisi->append(QStringLiteral("carta di credito %1 non valida").arg(Cita(carta)));

    for (int i = 0; i < NumeroCampi; ++i) {
        const Campo c = static_cast<Campo>(i);
        if (v[size_t(i)].isEmpty()) // the record starts zero-filled: empty as it is
            continue;
        bool resto = false;
        Ripiega(v[size_t(i)], &resto);
        if (resto)
            avvisi->append(QStringLiteral("%1: caratteri che l'archivio non può contenere, "
                                          "scritti come ? (%2)")
                               .arg(NomeDestinazione(i), Cita(v[size_t(i)])));
        if (Tagliato(v[size_t(i)], c))
            avvisi->append(QStringLiteral("%1 troppo lungo, tagliato a %2 caratteri")
                               .arg(NomeDestinazione(i))
                               .arg(Definizione(c).capacita));
        s->Scrivi(c, v[size_t(i)]);
    }

    // Rows that match a record already in the archive, or one imported just before.
    if (!m_r.doppi) {
        const QString tessera = s->Leggi(Campo::NumTessera);
        const QString chiave =
            Testo::MinuscoleAZ(s->Leggi(Campo::Tesserato)) + u'\n' + s->Leggi(Campo::DataNasc);
        if (!tessera.isEmpty() && m_tessere.contains(tessera)) {
            *motivo = QStringLiteral("tessera n. %1 già presente nella scheda %2")
                          .arg(Cita(tessera))
                          .arg(m_tessere.value(tessera));
            return false;
        }
        if (m_nomi.contains(chiave)) {
            *motivo = QStringLiteral("%1 con la stessa data di nascita già presente nella "
                                     "scheda %2")
                          .arg(Cita(s->Leggi(Campo::Tesserato)))
                          .arg(m_nomi.value(chiave));
            return false;
        }
    }
    return true;
}

// A cancel seen by the reader ends the run as one seen between rows; any other error goes on.
void Importatore::AnnullataDalLettore(const ErroreFile &err, Esito &e) const
{
    if (!m_r.annulla || !m_r.annulla->load() || err.testo() != Foglio::MessaggioAnnullato())
        throw err;
    e.annullata = true;
}

void Importatore::IndicizzaChiavi(TDeposito &deposito)
{
    if (m_r.doppi)
        return;
    static constexpr std::array CampiDoppi = {Campo::NumTessera, Campo::Tesserato, Campo::DataNasc};
    deposito.Scorri(CampiDoppi, [this](int p, const TScheda &s) {
        Chiavi(s.Leggi(Campo::NumTessera), s.Leggi(Campo::Tesserato), s.Leggi(Campo::DataNasc), p);
        return true;
    });
}

bool Importatore::LeggiRiga(int numero, const QStringList &celle, const Avanzamento &avanza,
                            Esito &e)
{
    // Rows above the header are titles; the header itself names the columns.
    if (m_intestazione || numero <= m_r.intestazione) {
        m_intestazione = false;
        return true;
    }
    ++m_dati;
    if ((avanza && ++m_lette % 500 == 0 && !avanza(m_lette, 0)) ||
        (m_r.annulla && m_r.annulla->load(std::memory_order_relaxed))) {
        e.annullata = true;
        return false;
    }
    TScheda s;
    QStringList avvisi;
    QString fileFoto, motivo;
    if (!Componi(celle, &s, &avvisi, &fileFoto, &motivo)) {
        ++e.scartate;
        e.righe.append({numero, true, Unico(motivo), Unico(m_nome)});
        return true;
    }
    const int posizione = m_schede + e.importate + 1;
    ++e.importate;
    e.rilascioPredefinito += m_rilascioDato;
    e.scadenzaPredefinita += m_scadenzaData;
    if (!m_r.doppi)
        Chiavi(s.Leggi(Campo::NumTessera), s.Leggi(Campo::Tesserato), s.Leggi(Campo::DataNasc),
               posizione);
    if (!fileFoto.isEmpty()) {
        const QString percorso = m_base.absoluteFilePath(fileFoto);
        // Read as the photo load reads it: any size, any format the readers know. Only
        // noted here: the photos are written after the commit.
        if (LeggiImmagine(percorso).isNull())
            avvisi.append(QStringLiteral("foto %1 mancante o illeggibile").arg(Cita(fileFoto)));
        else if (m_scrivi)
            m_foto.append({posizione, numero, percorso});
    }
    if (!avvisi.isEmpty()) {
        ++e.avvisate;
        e.righe.append({numero, false, Unico(avvisi.join(QStringLiteral("; "))), Unico(m_nome)});
    }
    if (m_scrivi)
        m_importazione->Accoda(s);
    return true;
}

void Importatore::LeggiRighe(TFoglio &foglio, const Avanzamento &avanza, Esito &e)
{
    try {
        foglio.Leggi(m_r.foglio, [&](int numero, QStringList &celle) {
            return LeggiRiga(numero, celle, avanza, e);
        });
    } catch (const ErroreFile &err) {
        AnnullataDalLettore(err, e);
    }
    if (!e.annullata && (m_intestazione || m_dati == 0))
        throw ErroreFile(m_intestazione ? Foglio::MessaggioVuoto()
                                        : Foglio::MessaggioSoloIntestazione());
    if (avanza && !e.annullata && !avanza(m_lette, 0))
        e.annullata = true;
}

void Importatore::Conferma(Esito &e)
{
    QList<int> posizioniFoto;
    for (const FotoDaScrivere &f : m_foto)
        posizioniFoto << f.posizione;
    e.senzaCopia = !m_importazione->Conferma(posizioniFoto);
    m_importazione.reset();
}

void Importatore::ScriviFoto(TDeposito &deposito, Esito &e)
{
    for (const FotoDaScrivere &f : m_foto) {
        const QImage img = LeggiImmagine(f.percorso);
        if (img.isNull() || !deposito.ScriviFoto(f.posizione, img))
            e.righe.append({f.riga, false,
                            QStringLiteral("la foto %1 non è stata salvata")
                                .arg(Cita(QFileInfo(f.percorso).fileName()))});
    }
}

Esito Importatore::Esegui(const Avanzamento &avanza)
{
    Esito e;
    e.prova = !m_scrivi;
    e.rilascio = m_r.rilascio;
    e.scadenza = m_r.scadenza;
    std::unique_ptr<TFoglio> foglio;
    try {
        foglio = ApriFoglio(m_r.percorso, m_r.annulla);
    } catch (const ErroreFile &err) {
        AnnullataDalLettore(err, e);
        return e;
    }
    if (m_r.foglio < 0 || m_r.foglio >= foglio->Fogli().size())
        throw ErroreFile(Foglio::MessaggioNonFoglio());

    const std::unique_ptr<TDeposito> deposito = ApriDeposito(m_cartella);
    m_schede = deposito->NumeroSchede();
    IndicizzaChiavi(*deposito);
    // The new records go aside, after the old ones; only a complete import replaces the
    // archive, and a refused file writes nothing at all.
    if (m_scrivi)
        m_importazione = deposito->IniziaImportazione(m_schede);
    LeggiRighe(*foglio, avanza, e);
    if (!m_scrivi)
        return e;
    if (e.annullata) {
        // Nothing is written: the outcome says so, not what was read before the stop.
        m_importazione.reset();
        Esito vuoto;
        vuoto.annullata = true;
        return vuoto;
    }
    Conferma(e);
    // Only now, with the records in the archive: a photo never lies beside a missing record.
    ScriviFoto(*deposito, e);
    std::stable_sort(e.righe.begin(), e.righe.end(),
                     [](const Riga &a, const Riga &b) { return a.numero < b.numero; });
    return e;
}

} // namespace

QString Esito::Riepilogo() const
{
    if (annullata)
        return prova ? QStringLiteral("Prova annullata: nessuna riga è stata importata.")
                     : QStringLiteral("Importazione annullata: nessuna riga importata, "
                                      "l'archivio non è stato modificato.");
    QString r = prova ? QStringLiteral("Prova: %1 sarebbero importate, %2 sarebbero scartate, "
                                       "%3 con avvisi.")
                      : QStringLiteral("Righe: %1 importate, %2 scartate, %3 con avvisi.");
    r = r.arg(importate).arg(scartate).arg(avvisate);
    if (rilascioPredefinito > 0)
        r += QStringLiteral(" Data di rilascio %1 data alle %2 righe che non l'avevano.")
                 .arg(Testo::TestoData(rilascio))
                 .arg(rilascioPredefinito);
    if (scadenzaPredefinita > 0)
        r += QStringLiteral(" Data di scadenza %1 data alle %2 righe che non l'avevano.")
                 .arg(Testo::TestoData(scadenza))
                 .arg(scadenzaPredefinita);
    if (senzaCopia)
        r += QStringLiteral(" La copia per annullare l'importazione non è stata salvata.");
    return r;
}

QString Esito::Linea(const Riga &r)
{
    return QStringLiteral("Riga %1: %2 - %3")
        .arg(r.numero)
        .arg(r.scartata ? QStringLiteral("scartata") : QStringLiteral("avviso"), r.motivo);
}

QByteArray CsvEsito(const QString &riepilogo, const QList<Riga> &righe)
{
    // The row number is a bare number; the texts are always quoted.
    const auto testi = [](const QStringList &t) { return Csv::Riga(t, u';', true); };
    QString s = QStringLiteral("Riga;Tesserato;Esito;Motivo\r\n;;") +
                testi({QStringLiteral("riepilogo"), riepilogo}) + QStringLiteral("\r\n");
    for (const Riga &r : righe)
        s += QString::number(r.numero) + u';' +
             testi({r.tesserato, r.scartata ? QStringLiteral("scartata") : QStringLiteral("avviso"),
                    r.motivo}) +
             QStringLiteral("\r\n");
    return QByteArray("\xEF\xBB\xBF") + s.toUtf8();
}

Esito Importa(const QString &cartella, const Richiesta &r, bool scrivi, const Avanzamento &avanza)
{
    Importatore i(cartella, r, scrivi);
    return i.Esegui(avanza);
}

} // namespace Importazione
