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
#include <QTime>

#include <optional>

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

// One attempt in the log, the only shape in which lines are written and read: the order
// and format of the columns are known to Riga and LeggiRiga alone.
struct TRigaAvviso {
    QDate data;
    QTime ora;
    int posizione = 0; // 0 for a line about the whole run
    QString tesserato;
    QString indirizzo;
    QDate scadenza;
    QString esito;
    bool operator==(const TRigaAvviso &) const = default;
};

// A date of the log, yyyy-mm-dd or (older logs) dd/mm/yyyy.
QDate LeggiData(const QString &testo);

// A member in the log: position and name, so a record written over by someone else
// does not inherit the reminders.
QString Chiave(int posizione, const QString &nome);
// The date of the last reminder sent to each member.
QHash<QString, QDate> UltimiInvii(const QString &cartella);

// The log line of a record, without its line end: each value on one line, dates as
// yyyy-mm-dd, time as hh:mm:ss, CSV cells (Csv::Riga).
QString Riga(const TRigaAvviso &r);
// The record of a log line; nothing for the header or a line that is not a record.
std::optional<TRigaAvviso> LeggiRiga(const QString &riga);

// Appends records to the log, each flushed at once.
class TRegistro {
public:
    explicit TRegistro(const QString &cartella);
    bool Aperto() const { return m_file.isOpen(); }
    // False when the line could not be written whole.
    bool Scrivi(const TRigaAvviso &riga);

private:
    QFile m_file;
};

} // namespace RegistroAvvisi
