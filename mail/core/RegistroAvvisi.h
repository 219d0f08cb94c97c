#pragma once
// The log of reminders "Avvisi.csv" in the program folder: UTF-8 with a byte order mark
// and a header row, then one semicolon-separated line per attempt (date; time; position;
// name; address; expiry; result), each written and flushed as soon as the server has
// answered. Dates are written as yyyy-mm-dd, which no spreadsheet reads day for month;
// older logs without the header and with dd/mm/yyyy dates are still read. Opened as the
// archive is, a regular file only. No widgets.
#include <QDate>
#include <QFile>
#include <QHash>
#include <QString>
#include <QStringList>

namespace RegistroAvvisi {

// The log of the folder `cartella`. These and TRegistro are the folder's own, kept with
// its storage (storage/RegistroAvvisiFile.cpp); programs reach the log through TDeposito.
QString Percorso(const QString &cartella);
inline const QString Inviato = QStringLiteral("inviato");
// The header row of a new log.
inline const QStringList Intestazione = {QStringLiteral("Data"),      QStringLiteral("Ora"),
                                         QStringLiteral("Posizione"), QStringLiteral("Tesserato"),
                                         QStringLiteral("Indirizzo"), QStringLiteral("Scadenza"),
                                         QStringLiteral("Esito")};

// A date as the log writes it (yyyy-mm-dd); a "dd/mm/yyyy" text is turned into it, any
// other text is kept as it is.
QString Data(const QDate &d);
QString Data(const QString &ggmmaaaa);
// A date of the log, yyyy-mm-dd or (older logs) dd/mm/yyyy.
QDate LeggiData(const QString &testo);

// A member in the log: position and name, so a record written over by someone else
// does not inherit the reminders.
QString Chiave(int posizione, const QString &nome);
// The date of the last reminder sent to each member.
QHash<QString, QDate> UltimiInvii(const QString &cartella);

// A value on one line: control characters (line breaks) become blanks.
QString UnaRiga(const QString &testo);
// One log line: each value on one line and a CSV cell (Csv::Cella).
QString Riga(const QStringList &campi);
// The fields of one line, without the apostrophe put before formula-like values.
QStringList Campi(const QString &riga);

// Appends lines to the log, each flushed at once.
class TRegistro {
public:
    explicit TRegistro(const QString &cartella);
    bool Aperto() const { return m_file.isOpen(); }
    // False when the line could not be written whole.
    bool Scrivi(const QStringList &campi);

private:
    QFile m_file;
};

} // namespace RegistroAvvisi
