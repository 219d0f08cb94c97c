// Which field a column of the imported sheet fills: the choices, the headers that name
// them, and the date texts the import accepts.
#include "import/core/Importazione.h"

#include "archive/Scheda.h"
#include "archive/Testo.h"

#include <QCryptographicHash>
#include <QDate>
#include <QHash>
#include <QSet>

#include <array>

using Testo::Trim32;

namespace Importazione {

namespace {

// Captions of the record fields in the column choices.
constexpr std::array<const char *, NumeroCampi> NomiCampi = {"Cognome e nome",
                                                             "Carica ricoperta",
                                                             "Tessera n.",
                                                             "Data di rilascio",
                                                             "Data di scadenza",
                                                             "Data di nascita",
                                                             "Comune di nascita",
                                                             "Provincia di nascita",
                                                             "Sesso",
                                                             "Comune di residenza",
                                                             "Provincia di residenza",
                                                             "CAP",
                                                             "Via e numero civico",
                                                             "Giorni di preavviso",
                                                             "Titoli di studio e altre qualifiche",
                                                             "Tel. casa",
                                                             "Tel. ufficio",
                                                             "Tel. cellulare",
                                                             "Recapito preferenziale",
                                                             "Fax",
                                                             "E-mail",
                                                             "Codice fiscale",
                                                             "Carta di credito n.",
                                                             "Scadenza carta",
                                                             "Partita IVA",
                                                             "IBAN",
                                                             "Intestatario C/C",
                                                             "Note",
                                                             "Tessera annullata",
                                                             "Allegato 1",
                                                             "Allegato 2",
                                                             "Allegato 3",
                                                             "Descrizione allegato 1",
                                                             "Descrizione allegato 2",
                                                             "Descrizione allegato 3"};

// Lower case, accents dropped, letters and digits only: "Tessera n." -> "tesseran".
QString Chiave(const QString &testo)
{
    const QString d = testo.normalized(QString::NormalizationForm_D).toLower();
    QString r;
    for (const QChar c : d)
        if ((c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9'))
            r += c;
    return r;
}

const QHash<QString, int> &Sinonimi()
{
    static const QHash<QString, int> tabella = [] {
        QHash<QString, int> t;
        auto metti = [&t](std::initializer_list<const char *> nomi, int d) {
            for (const char *n : nomi)
                t.insert(Chiave(QString::fromUtf8(n)), d);
        };
        // The field names, then the export's headers and the usual Italian ones.
        for (int i = 0; i < NumeroCampi; ++i)
            t.insert(Chiave(QString::fromLatin1(CampiScheda[size_t(i)].nome)), i);
        metti({"Cognome e nome", "Nome e cognome", "Nominativo", "Tesserato", "Socio", "Iscritto"},
              C(Campo::Tesserato));
        metti({"Cognome"}, Cognome);
        metti({"Nome"}, Nome);
        metti({"Carica ricoperta", "Carica", "Ruolo", "Qualifica"}, C(Campo::Carica));
        metti({"Tessera n.", "Tessera", "N. tessera", "Numero tessera", "Num. tessera",
               "Tessera numero"},
              C(Campo::NumTessera));
        metti({"Data di rilascio", "Data rilascio", "Rilascio", "Data emissione",
               "Data di emissione", "Data iscrizione", "Data di iscrizione"},
              C(Campo::DataRil));
        metti({"Data di scadenza", "Data scadenza", "Scadenza tessera"}, C(Campo::DataScade));
        metti({"Data di nascita", "Data nascita", "Nato il", "Nata il"}, C(Campo::DataNasc));
        metti({"Comune di nascita"}, ComuneProvNascita);
        metti({"Luogo di nascita", "Comune nascita", "Citta di nascita"}, C(Campo::ComuneNasc));
        metti({"Provincia di nascita", "Prov. nascita", "Prov. di nascita"}, C(Campo::ProvNasc));
        metti({"Sesso", "Genere"}, C(Campo::Sesso));
        metti({"Comune di residenza"}, CapComuneProvResidenza);
        metti({"Comune", "Città", "Località", "Residenza", "Comune residenza"},
              C(Campo::ComuneRes));
        metti({"Provincia", "Prov.", "Provincia di residenza", "Prov. residenza"},
              C(Campo::ProvRes));
        metti({"CAP", "C.A.P.", "Codice postale"}, C(Campo::CapRes));
        metti({"Via e numero civico", "Indirizzo", "Via", "Indirizzo di residenza"},
              C(Campo::IndirizzoRes));
        metti({"Giorni di preavviso", "Preavviso"}, C(Campo::Preavviso));
        metti({"Titoli di studio e altre qualifiche", "Titolo di studio e altre qualifiche",
               "Titolo di studio", "Titoli"},
              C(Campo::Titoli));
        metti({"Tel. casa", "Telefono", "Tel.", "Telefono casa", "Telefono di casa"},
              C(Campo::TelCasa));
        metti({"Tel. ufficio", "Telefono ufficio"}, C(Campo::TelUff));
        metti({"Tel. cellulare", "Cellulare", "Cell.", "Telefono cellulare", "Mobile"},
              C(Campo::TelCel));
        metti({"Recapito preferenziale", "Recapito"}, C(Campo::Recapito));
        metti({"Fax"}, C(Campo::Fax));
        metti({"E-mail", "Email", "Mail", "Posta elettronica", "Indirizzo e-mail"},
              C(Campo::Email));
        metti({"Codice fiscale", "Cod. fiscale", "C.F.", "CF"}, C(Campo::CodFisc));
        metti({"Carta di credito n.", "Carta di credito", "Numero carta"}, C(Campo::Carta));
        // In our own export "Scadenza" is the card's expiry.
        metti({"Scadenza", "Scadenza carta"}, C(Campo::ScadeCarta));
        metti({"Partita IVA", "P. IVA", "P.IVA", "PIVA"}, C(Campo::PartitaIva));
        metti({"IBAN"}, C(Campo::Iban));
        metti({"Intestatario C/C", "Intestatario", "Intestatario conto"}, C(Campo::Intestatario));
        metti({"Note", "Annotazioni"}, C(Campo::Note));
        metti({"Tessera annullata", "Annullata"}, C(Campo::Annullata));
        metti({"Foto", "Fotografia", "Immagine"}, Foto);
        return t;
    }();
    return tabella;
}

} // namespace

const QList<Voce> &Destinazioni()
{
    static const QList<Voce> voci = [] {
        QList<Voce> l;
        l.append({Nessuna, QStringLiteral("(nessuno)")});
        for (int i = 0; i < NumeroCampi; ++i)
            l.append({i, QString::fromUtf8(NomiCampi[size_t(i)])});
        l.append({Cognome, QStringLiteral("Cognome")});
        l.append({Nome, QStringLiteral("Nome")});
        l.append({ComuneProvNascita, QStringLiteral("Comune e provincia di nascita")});
        l.append({CapComuneProvResidenza, QStringLiteral("CAP, comune e provincia di residenza")});
        l.append({Foto, QStringLiteral("Foto")});
        return l;
    }();
    return voci;
}

QString NomeDestinazione(int destinazione)
{
    for (const Voce &v : Destinazioni())
        if (v.destinazione == destinazione)
            return v.testo;
    return QString();
}

int DestinazioneDa(const QString &intestazione)
{
    return Sinonimi().value(Chiave(intestazione), Nessuna);
}

QList<int> Abbina(const QStringList &intestazioni)
{
    QList<int> r;
    QSet<int> usate;
    for (const QString &i : intestazioni) {
        int d = DestinazioneDa(i);
        // "Prov." or "Provincia" right after the birth town is the birth province.
        const QString k = Chiave(i);
        if ((k == u"prov" || k == u"provincia" || k == u"pr") && !r.isEmpty() &&
            r.last() == C(Campo::ComuneNasc))
            d = C(Campo::ProvNasc);
        if (d != Nessuna && usate.contains(d))
            d = Nessuna;
        usate.insert(d);
        r.append(d);
    }
    return r;
}

int TrovaIntestazione(const QList<QStringList> &righe)
{
    int una = -1;
    for (int i = 0; i < righe.size(); ++i) {
        int nomi = 0;
        for (const QString &c : righe[i])
            nomi += DestinazioneDa(c) != Nessuna;
        if (nomi >= 2)
            return i;
        if (nomi == 1 && una < 0)
            una = i;
    }
    return std::max(una, 0);
}

QString ChiaveIntestazioni(const QStringList &intestazioni)
{
    QStringList chiavi;
    for (const QString &i : intestazioni)
        chiavi << Chiave(i);
    while (!chiavi.isEmpty() && chiavi.last().isEmpty())
        chiavi.removeLast();
    return QString::fromLatin1(
        QCryptographicHash::hash(chiavi.join(u'|').toUtf8(), QCryptographicHash::Sha1)
            .toHex()
            .left(16));
}

QString Ripiega(const QString &testo, bool *resto)
{
    // Letters whose stroke or bar is no separate mark: no decomposition gives their base.
    static const QHash<QChar, QChar> senzaSegno = {
        {QChar(0x0141), u'L'}, {QChar(0x0142), u'l'}, {QChar(0x0110), u'D'}, {QChar(0x0111), u'd'},
        {QChar(0x0126), u'H'}, {QChar(0x0127), u'h'}, {QChar(0x0131), u'i'}, {QChar(0x0166), u'T'},
        {QChar(0x0167), u't'}, {QChar(0x013F), u'L'}, {QChar(0x0140), u'l'}, {QChar(0x0138), u'k'},
        {QChar(0x0189), u'D'}, {QChar(0x0256), u'd'}, {QChar(0x0180), u'b'}, {QChar(0x0197), u'I'},
        {QChar(0x0268), u'i'}, {QChar(0x01B5), u'Z'}, {QChar(0x01B6), u'z'}, {QChar(0x0246), u'E'},
        {QChar(0x0247), u'e'}};
    if (resto)
        *resto = false;
    // Most texts are all in Windows-1252: given back as they are, without a copy.
    qsizetype primo = 0;
    while (primo < testo.size() &&
           (testo[primo].unicode() < 0x80 || Testo::ToWin1252(testo[primo]) != '?'))
        ++primo;
    if (primo == testo.size())
        return testo;
    // Letters and marks written apart are joined first: "o" and a grave accent are "ò".
    const QString unito = testo.normalized(QString::NormalizationForm_C);
    QString r;
    r.reserve(unito.size());
    for (const QChar c : unito) {
        if (c.unicode() < 0x80 || c == u'?' || Testo::ToWin1252(c) != '?') {
            r += c;
            continue;
        }
        if (c.category() == QChar::Mark_NonSpacing)
            continue; // a mark written apart from its letter ("S" then a comma below)
        QChar base = senzaSegno.value(c);
        if (base.isNull()) {
            const QString d = QString(c).normalized(QString::NormalizationForm_D);
            if (d.size() > 1 && d[0] != u'?' && Testo::ToWin1252(d[0]) != '?')
                base = d[0];
        }
        if (base.isNull() && resto)
            *resto = true;
        r += base.isNull() ? c : base;
    }
    return r;
}

QString NormalizzaData(const QString &testo)
{
    const QDate d = DataDa(testo);
    return d.isValid() ? Testo::TestoDataDiretta(d) : QString();
}

QDate DataDa(const QString &testo)
{
    const QString t = Trim32(testo);
    if (t.isEmpty() || t.size() > 19)
        return QDate();
    int n[3] = {0, 0, 0}, cifre[3] = {0, 0, 0}, parte = 0;
    QChar separatore;
    qsizetype i = 0;
    for (; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c >= u'0' && c <= u'9') {
            if (++cifre[parte] > 4)
                return QDate();
            n[parte] = n[parte] * 10 + (c.unicode() - '0');
        } else if ((c == u'/' || c == u'-' || c == u'.') && parte < 2 &&
                   (separatore.isNull() || c == separatore) && cifre[parte] > 0) {
            separatore = c;
            ++parte;
        } else if ((c == u'T' || c == u' ') && parte == 2 && cifre[0] == 4) {
            break; // the time of an ISO date-time
        } else {
            return QDate();
        }
    }
    if (parte != 2 || cifre[2] == 0)
        return QDate();
    QDate d;
    if (cifre[0] == 4 && cifre[1] <= 2 && cifre[2] <= 2)
        d = QDate(n[0], n[1], n[2]);
    else if (cifre[0] <= 2 && cifre[1] <= 2 && i == t.size()) {
        int anno = n[2];
        if (cifre[2] == 2)
            anno += anno < 30 ? 2000 : 1900;
        else if (cifre[2] != 4)
            return QDate();
        d = QDate(anno, n[1], n[0]);
    }
    return d.year() >= 1000 && d.year() <= 9999 ? d : QDate();
}

} // namespace Importazione
