#include "lists/core/Esportazione.h"

#include "archive/Errori.h"
#include "archive/FileSicuro.h"
#include "archive/Testo.h"

#include <QSaveFile>

#include <cstring>

const std::array<ColonnaGriglia, ColonneGriglia> Griglia = {{
    {"colNum", "N.", 60, true, Contenuto::Numero, Campo::Tesserato},
    {"colTesserato", "Cognome e nome", 200, true, Contenuto::Campo, Campo::Tesserato},
    {"colCarica", "Carica ricoperta", 200, true, Contenuto::Campo, Campo::Carica},
    {"colNumTessera", "Tessera n.", 200, true, Contenuto::Campo, Campo::NumTessera},
    {"colDataRil", "Data di rilascio", 200, false, Contenuto::Campo, Campo::DataRil},
    {"colDataScade", "Data di scadenza", 200, false, Contenuto::Campo, Campo::DataScade},
    {"colDataNasc", "Data di nascita", 150, true, Contenuto::Campo, Campo::DataNasc},
    {"colComuneNasc", "Comune di nascita", 250, true, Contenuto::ComuneNascita, Campo::ComuneNasc},
    {"colSesso", "Sesso", 60, true, Contenuto::Campo, Campo::Sesso},
    {"colComuneRes", "Comune di residenza", 250, true, Contenuto::Residenza, Campo::ComuneRes},
    {"colIndirizzoRes", "Via e numero civico", 250, false, Contenuto::Campo, Campo::IndirizzoRes},
    {"colTitoli", "Titolo di studio e altre qualifiche", 250, true, Contenuto::Campo,
     Campo::Titoli},
    {"colTelCasa", "Tel. casa", 200, true, Contenuto::Campo, Campo::TelCasa},
    {"colTelUff", "Tel. ufficio", 200, true, Contenuto::Campo, Campo::TelUff},
    {"colTelCel", "Tel. cellulare", 200, false, Contenuto::Campo, Campo::TelCel},
    {"colRecapito", "Recapito preferenziale", 250, true, Contenuto::Campo, Campo::Recapito},
    {"colFax", "Fax", 200, true, Contenuto::Campo, Campo::Fax},
    {"colEmail", "E-mail", 250, true, Contenuto::Campo, Campo::Email},
    {"colCodFisc", "Codice Fiscale", 200, false, Contenuto::Campo, Campo::CodFisc},
    {"colCarta", "Carta di credito n.", 250, false, Contenuto::Campo, Campo::Carta},
    {"colScadeCarta", "Scadenza", 200, false, Contenuto::Campo, Campo::ScadeCarta},
    {"colPartitaIva", "Partita IVA", 200, true, Contenuto::Campo, Campo::PartitaIva},
    {"colIban", "IBAN", 250, false, Contenuto::Campo, Campo::Iban},
    {"colIntestatario", "Intestatario C/C", 250, false, Contenuto::Campo, Campo::Intestatario},
    {"colNote", "Note", 300, false, Contenuto::Campo, Campo::Note},
    {"colAnnullata", "Tessera annullata", 120, false, Contenuto::Campo, Campo::Annullata},
}};

const std::array<ColonnaFile, ColonneFile> ColonneEsportate = {{
    {"Cognome e nome", 250},
    {"Carica ricoperta", 250},
    {"Tessera n.", 250},
    {"Data di rilascio", 200},
    {"Data di scadenza", 200},
    {"Data di nascita", 200},
    {"Comune di nascita", 250},
    {"Sesso", 100},
    {"Comune di residenza", 250},
    {"Via e numero civico", 300},
    {"Titoli di studio e altre qualifiche", 300},
    {"Tel. casa", 200},
    {"Tel. ufficio", 200},
    {"Tel. cellulare", 200},
    {"Recapito preferenziale", 250},
    {"Fax", 200},
    {"E-mail", 250},
    {"Codice fiscale", 250},
    {"Carta di credito n.", 250},
    {"Scadenza", 200},
    {"Partita IVA", 250},
    {"IBAN", 280},
    {"Intestatario C/C", 250},
    {"Note", 350},
    {"Tessera annullata", 150},
}};

namespace {

// A field's stored bytes without the characters up to 32 at either end (the read rule,
// on bytes: Windows-1252 keeps codes 0 to 127 as they are).
std::pair<const char *, int> ByteCampo(const TScheda &s, Campo c)
{
    int n = 0;
    const char *d = reinterpret_cast<const char *>(s.Dati(c, &n));
    while (n > 0 && static_cast<unsigned char>(d[0]) <= 32) {
        ++d;
        --n;
    }
    while (n > 0 && static_cast<unsigned char>(d[n - 1]) <= 32)
        --n;
    return {d, n};
}

void AccodaRiferimento(QByteArray &out, uint codice)
{
    out.append("&#");
    out.append(QByteArray::number(codice));
    out.append(';');
}

// One Windows-1252 byte of a cell. "<", ">" and "&" would be read as markup, a control
// character could bring a line break into the file, and a blank after a blank would be
// merged into it by the reader: they become references.
inline void AccodaByte(QByteArray &out, char b, char precedente)
{
    switch (b) {
    case ' ':
        if (precedente == ' ')
            out.append("&#32;");
        else
            out.append(' ');
        return;
    case '<':
        out.append("&lt;");
        return;
    case '>':
        out.append("&gt;");
        return;
    case '&':
        out.append("&amp;");
        return;
    default:
        if (static_cast<unsigned char>(b) < 32)
            AccodaRiferimento(out, static_cast<unsigned char>(b));
        else
            out.append(b);
    }
}

// Windows-1252 bytes that are letters: A-Z, a-z, the accented letters and the few
// letters among codes 128 to 191 (Š Œ Ž š œ ž Ÿ ƒ ª µ º).
bool Lettera(unsigned char b)
{
    if ((b | 0x20) >= 'a' && (b | 0x20) <= 'z')
        return true;
    if (b >= 0xC0)
        return b != 0xD7 && b != 0xF7;
    switch (b) {
    case 0x83:
    case 0x8A:
    case 0x8C:
    case 0x8E:
    case 0x9A:
    case 0x9C:
    case 0x9E:
    case 0x9F:
    case 0xAA:
    case 0xB5:
    case 0xBA:
        return true;
    default:
        return false;
    }
}

bool UgualeMaiuscolo(const char *d, int n, const char *parola)
{
    for (int i = 0; i < n; ++i, ++parola)
        if (*parola == '\0' || (static_cast<unsigned char>(d[i]) & ~0x20) != *parola)
            return false;
    return *parola == '\0';
}

} // namespace

bool LettoComeValore(const char *d, int n)
{
    if (n <= 0)
        return false;
    // A formula, or a sign that makes a number of what follows.
    if (d[0] == '=' || d[0] == '+' || d[0] == '-' || d[0] == '@')
        return true;
    for (const char *vero : {"TRUE", "FALSE", "VERO", "FALSO"})
        if (UgualeMaiuscolo(d, n, vero))
            return true;
    // Numbers, dates and times hold digits and at most one word: a month ("5 gen 2025"),
    // an exponent ("1e5"), besides the marks of the time of day ("10:30 PM"). Erring on
    // the safe side costs only a few bytes of markup.
    bool cifre = false;
    int parole = 0;
    for (int i = 0; i < n;) {
        const auto b = static_cast<unsigned char>(d[i]);
        if (!Lettera(b)) {
            cifre = cifre || (b >= '0' && b <= '9');
            ++i;
            continue;
        }
        const int inizio = i;
        while (i < n && Lettera(static_cast<unsigned char>(d[i])))
            ++i;
        const int lunga = i - inizio;
        const char *p = d + inizio;
        if (UgualeMaiuscolo(p, lunga, "A") || UgualeMaiuscolo(p, lunga, "P") ||
            UgualeMaiuscolo(p, lunga, "M") || UgualeMaiuscolo(p, lunga, "AM") ||
            UgualeMaiuscolo(p, lunga, "PM"))
            continue;
        if (++parole > 1 || lunga > 9)
            return false;
    }
    return cifre;
}

void AccodaInizioFoglio(QByteArray &out, const QString &foglio)
{
    out.append("<html xmlns:o=\"urn:schemas-microsoft-com:office:office\""
               " xmlns:x=\"urn:schemas-microsoft-com:office:excel\""
               " xmlns=\"http://www.w3.org/TR/REC-html40\"><head>"
               "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">"
               "<style>.t{mso-number-format:\"\\@\";}</style>"
               "<!--[if gte mso 9]><xml><x:ExcelWorkbook><x:ExcelWorksheets><x:ExcelWorksheet>"
               "<x:Name>");
    AccodaTestoFile(out, foglio.left(31));
    out.append("</x:Name><x:WorksheetOptions><x:Selected/></x:WorksheetOptions>"
               "</x:ExcelWorksheet></x:ExcelWorksheets></x:ExcelWorkbook></xml><![endif]-->"
               "</head><body>");
}

namespace {

const QByteArray &Intestazione()
{
    static const QByteArray testo = [] {
        QByteArray t;
        t.append("<html xmlns:o=\"urn:schemas-microsoft-com:office:office\""
                 " xmlns:x=\"urn:schemas-microsoft-com:office:excel\""
                 " xmlns=\"http://www.w3.org/TR/REC-html40\">");
        t.append("<head>");
        t.append("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">");
        // The cells of class t hold text for Excel, whatever they look like.
        t.append("<style>.t{mso-number-format:\"\\@\";}</style>");
        t.append("<!--[if gte mso 9]><xml>"
                 "<x:ExcelWorkbook>"
                 "<x:ExcelWorksheets>"
                 "<x:ExcelWorksheet>"
                 "<x:Name>Riepilogo Anagrafica Tesserati</x:Name>"
                 "<x:WorksheetOptions>"
                 "<x:Selected/>"
                 "<x:Panes>"
                 "<x:Pane>"
                 "<x:Number>1</x:Number>"
                 "<x:ActiveRow>3</x:ActiveRow>"
                 "</x:Pane>"
                 "</x:Panes>"
                 "<x:ProtectContents>False</x:ProtectContents>"
                 "<x:ProtectObjects>False</x:ProtectObjects>"
                 "<x:ProtectScenarios>False</x:ProtectScenarios>"
                 "</x:WorksheetOptions>"
                 "</x:ExcelWorksheet>"
                 "</x:ExcelWorksheets>"
                 "</x:ExcelWorkbook>");
        t.append("</xml><![endif]-->");
        t.append("</head>");
        t.append("<body>");
        t.append("<table x:str>");
        t.append("<tr>");
        for (const ColonnaFile &c : ColonneEsportate) {
            t.append("<td style=\"text-align: left; font-weight: bold;\" width=");
            t.append(QByteArray::number(c.larghezza));
            t.append('>');
            t.append(Testo::ToWin1252(QString::fromUtf8(c.titolo)));
            t.append("</td>");
        }
        t.append("</tr>");
        return t;
    }();
    return testo;
}

constexpr char ApriCella[] = "<td style=\"text-align: left;\">";
// A cell that a spreadsheet would read as a value: text for Excel (the class) and for
// LibreOffice (sdnum, which it reads on the cell only), so 00184 stays 00184.
constexpr char ApriCellaTesto[] = "<td style=\"text-align: left;\" class=t sdnum=\"1040;0;@\">";
constexpr char ChiudiCella[] = "</td>";
constexpr char Chiusura[] = "</table></body></html>";

} // namespace

void AccodaTestoFile(QByteArray &out, const QString &testo)
{
    const QString t = Testo::Trim32(testo);
    for (qsizetype i = 0; i < t.size(); ++i) {
        const QChar c = t.at(i);
        const char b = Testo::ToWin1252(c);
        if (b != '?' || c == u'?') {
            AccodaByte(out, b, i > 0 ? Testo::ToWin1252(t.at(i - 1)) : '\0');
            continue;
        }
        // Not in Windows-1252: a reference keeps the character the user typed.
        uint codice = c.unicode();
        if (c.isHighSurrogate() && i + 1 < t.size() && t.at(i + 1).isLowSurrogate())
            codice = QChar::surrogateToUcs4(c, t.at(++i));
        AccodaRiferimento(out, codice);
    }
}

void TCelleScheda::Leggi(const TScheda &s)
{
    usati = 0;
    // Joined cells trim each part and are not trimmed again.
    auto accoda = [&](int colonna, std::initializer_list<std::pair<const char *, int>> parti) {
        const int prima = usati;
        bool primo = true;
        for (const auto &[d, n] : parti) {
            if (!primo)
                byte[static_cast<size_t>(usati++)] = ' ';
            primo = false;
            std::memcpy(byte.data() + usati, d, static_cast<size_t>(n));
            usati += n;
        }
        inizio[static_cast<size_t>(colonna - 1)] = static_cast<std::uint16_t>(prima);
        lunghezze[static_cast<size_t>(colonna - 1)] = static_cast<std::uint8_t>(usati - prima);
    };
    for (int c = 1; c < ColonneGriglia; ++c) {
        const ColonnaGriglia &g = Griglia[static_cast<size_t>(c)];
        switch (g.contenuto) {
        case Contenuto::Campo:
            accoda(c, {ByteCampo(s, g.campo)});
            break;
        case Contenuto::ComuneNascita:
            accoda(c, {ByteCampo(s, Campo::ComuneNasc), ByteCampo(s, Campo::ProvNasc)});
            break;
        case Contenuto::Residenza:
            accoda(c, {ByteCampo(s, Campo::CapRes), ByteCampo(s, Campo::ComuneRes),
                       ByteCampo(s, Campo::ProvRes)});
            break;
        case Contenuto::Numero:
            break;
        }
    }
}

namespace {
void ApriCellaFile(QByteArray &out, bool valore)
{
    if (valore)
        out.append(ApriCellaTesto, sizeof ApriCellaTesto - 1);
    else
        out.append(ApriCella, sizeof ApriCella - 1);
}
} // namespace

void AccodaCellaFile(QByteArray &out, const QString &testo)
{
    const QByteArray byte = Testo::ToWin1252(Testo::Trim32(testo));
    ApriCellaFile(out, LettoComeValore(byte.constData(), static_cast<int>(byte.size())));
    AccodaTestoFile(out, testo);
    out.append(ChiudiCella, sizeof ChiudiCella - 1);
}

void AccodaCellaFile(QByteArray &out, const char *d, int n)
{
    // Trimmed like the grid's text: a joined cell may end in the blank of an empty part.
    while (n > 0 && static_cast<unsigned char>(d[0]) <= 32) {
        ++d;
        --n;
    }
    while (n > 0 && static_cast<unsigned char>(d[n - 1]) <= 32)
        --n;
    ApriCellaFile(out, LettoComeValore(d, n));
    // Runs of bytes that need no reference go in at once.
    int pronti = 0;
    for (int i = 0; i < n; ++i) {
        const auto b = static_cast<unsigned char>(d[i]);
        if (b > ' ' ? (b != '<' && b != '>' && b != '&')
                    : (b == ' ' && (i == 0 || d[i - 1] != ' ')))
            continue;
        out.append(d + pronti, i - pronti);
        AccodaByte(out, d[i], i > 0 ? d[i - 1] : '\0');
        pronti = i + 1;
    }
    out.append(d + pronti, n - pronti);
    out.append(ChiudiCella, sizeof ChiudiCella - 1);
}

void ScriviEsportazione(const QString &percorso, const TModelloRecords &griglia)
{
    QSaveFile file(percorso);
    auto fallisci = [&]() {
        file.cancelWriting();
        throw ErroreFile(QStringLiteral("Unable to write to ") + percorso);
    };
    if (!ApriInScrittura(file))
        fallisci();

    constexpr qsizetype Blocco = 1 << 20;
    QByteArray buffer;
    buffer.reserve(Blocco + 64 * 1024);
    auto scarica = [&]() {
        if (file.write(buffer) != buffer.size())
            fallisci();
        buffer.clear();
    };

    buffer.append(Intestazione());
    griglia.AccodaRigheFile(buffer, Blocco, scarica);
    buffer.append(Chiusura, sizeof Chiusura - 1);
    scarica();
    if (!ConfermaFile(file))
        throw ErroreFile(QStringLiteral("Unable to write to ") + percorso);
}
