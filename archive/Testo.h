#pragma once
// Text rules shared by every part of the program: trimming, A-Z casing,
// Windows-1252 conversion, the "dd/mm/yyyy" date text and digit checks.
#include <QByteArray>
#include <QDate>
#include <QString>

namespace Testo {

// Removes every character with a code up to 32 from both ends.
QString Trim32(const QString &s);
// Changes only the letters a to z.
QString MaiuscoleAZ(const QString &s);
// Changes only the letters A to Z.
QString MinuscoleAZ(const QString &s);

// Windows-1252 in both directions; a character it cannot represent becomes '?'.
QByteArray ToWin1252(const QString &s);
char ToWin1252(QChar c);
QString FromWin1252(const char *data, qsizetype len);
inline QString FromWin1252(const QByteArray &b)
{
    return FromWin1252(b.constData(), b.size());
}
QChar FromWin1252(unsigned char c);

// A value on one line: control characters (line breaks) become blanks, and the ends are
// trimmed.
QString UnaRiga(const QString &testo);

// The application-wide short date format.
inline constexpr const char *FormatoData = "dd/MM/yyyy";
// Converts "dd/mm/yyyy" to a date; invalid date when the text is not a real calendar date.
QDate ConvertiData(const QString &s);
QString TestoData(const QDate &d);
// The same text written directly, for the import's hundreds of thousands of dates; a year
// outside 1000-9999 goes through TestoData.
QString TestoDataDiretta(const QDate &d);
// True when the text converts under the date format to a real calendar date.
bool DataValida(const QString &s);

// True when the text is non-empty and made only of the digits 0 to 9.
bool SoloCifre(const QString &s);

} // namespace Testo
