#pragma once
// Spreadsheet readers for the import: CSV (UTF-8 or Windows-1252, separator taken from
// the header line, RFC 4180 quoting), XLSX and ODS (zip archives of XML read entry by
// entry with QuaZip and QXmlStreamReader, never the whole sheet in memory).
// A file that cannot be read throws ErroreFile with the message for the user.
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>

// No zip entry of a workbook may unpack to more than this.
inline constexpr qint64 LimiteDecompresso = qint64(1) << 30;

// Bounds that keep the memory of a reading small whatever the file says: a cell is cut,
// a row, a single piece of the XML (text, tag) and the shared strings have ceilings far
// above what a list of members needs.
namespace Limiti {
inline constexpr qsizetype Cella = 1 << 20;          // characters kept of a cell
inline constexpr qsizetype Riga = 4 << 20;           // characters of all the cells of a row
inline constexpr qint64 VoceXml = 8 << 20;           // bytes of one text or tag of the XML
inline constexpr qsizetype Stringhe = 2000000;       // shared strings of a workbook
inline constexpr qsizetype TestoStringhe = 32 << 20; // their characters in all
inline constexpr qsizetype Apertura = 64 * 1024;
inline constexpr qsizetype Fogli = 1000; // sheets of a workbook, each a choice on the screen     //
                                         // elements carried into each piece
} // namespace Limiti

class TFoglio {
public:
    virtual ~TFoglio() = default;
    // The sheets of the workbook, in order; one for a CSV file.
    virtual QStringList Fogli() const = 0;
    // Hands each non-empty row of the sheet to f with its 1-based row number in the file,
    // in order; f returns false to stop. Cells covered by a merged range carry the range's
    // text; dates come as "dd/mm/yyyy".
    using Riga = std::function<bool(int numero, QStringList &celle)>;
    virtual void Leggi(int foglio, const Riga &f) = 0;
};

// Opens a CSV, XLSX or ODS file, recognised by its content. While annulla (read from
// the reading threads, set from any other) is true, opening and reading stop soon with
// ErroreFile(Foglio::MessaggioAnnullato()).
std::unique_ptr<TFoglio> ApriFoglio(const QString &percorso,
                                    const std::atomic<bool> *annulla = nullptr);

namespace Foglio {
// Texts of the refusals.
QString MessaggioVuoto();
QString MessaggioNonFoglio();
QString MessaggioXls(); // an .xls file: to be saved as .xlsx or .ods
QString MessaggioDanneggiato();
QString MessaggioXml();
QString MessaggioTroppoGrande();
QString MessaggioProtetto();
QString MessaggioSoloIntestazione();
QString MessaggioAnnullato();
QString MessaggioVoceTroppoGrande();
QString MessaggioRigaTroppoGrande();
QString MessaggioTroppiTesti();
QString MessaggioTroppiFogli();
// Throws MessaggioAnnullato when annulla is set.
void Controlla(const std::atomic<bool> *annulla);

// Day number of a spreadsheet serial date ("1904" date system or not) as "dd/mm/yyyy";
// empty when the number is no date.
QString DataDaSeriale(double seriale, bool sistema1904);
// The shortest text that reads back as the same number ("3331234567", "0.5").
QString TestoNumero(double valore);
// A whole number's text as a format that always shows `cifre` digits shows it: "184"
// with 5 is "00184". Other texts come back as they are.
QString ConZeri(const QString &numero, int cifre);
} // namespace Foglio

// Internal readers, one per kind.
std::unique_ptr<TFoglio> ApriCsv(const QString &percorso, const std::atomic<bool> *annulla);
std::unique_ptr<TFoglio> ApriXlsx(const QString &percorso, const std::atomic<bool> *annulla);
std::unique_ptr<TFoglio> ApriOds(const QString &percorso, const std::atomic<bool> *annulla);
