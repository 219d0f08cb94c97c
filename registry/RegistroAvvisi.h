#pragma once
// The log of reminders "Avvisi.csv" in the program folder: one semicolon-separated line
// per attempt (date; time; position; name; address; expiry; result), each written and
// flushed as soon as the server has answered. No widgets.
#include <QDate>
#include <QFile>
#include <QHash>
#include <QString>
#include <QStringList>

namespace RegistroAvvisi {

QString Percorso(const QString &cartella);
inline const QString Inviato = QStringLiteral("inviato");

// A member in the log: position and name, so a record written over by someone else
// does not inherit the reminders.
QString Chiave(int posizione, const QString &nome);
// The date of the last reminder sent to each member.
QHash<QString, QDate> UltimiInvii(const QString &cartella);

// A value on one line: control characters (line breaks) become blanks.
QString UnaRiga(const QString &testo);
// One log line: each value on one line, values holding ";" or quotes in quotes.
QString Riga(const QStringList &campi);
// The fields of one line.
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
