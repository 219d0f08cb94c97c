#include "archive/Testo.h"

#include <QStringList>

#include <array>

namespace Testo {

namespace {
// Code points of bytes 0x80..0x9F in Windows-1252; 0 where the byte is undefined.
constexpr std::array<char16_t, 32> Alti = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
} // namespace

QString Trim32(const QString &s)
{
    qsizetype a = 0, b = s.size();
    while (a < b && s.at(a).unicode() <= 32)
        ++a;
    while (b > a && s.at(b - 1).unicode() <= 32)
        --b;
    return (a == 0 && b == s.size()) ? s : s.mid(a, b - a);
}

QString MaiuscoleAZ(const QString &s)
{
    QString r = s;
    for (QChar &c : r)
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - 32);
    return r;
}

QString MinuscoleAZ(const QString &s)
{
    QString r = s;
    for (QChar &c : r)
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + 32);
    return r;
}

char ToWin1252(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return static_cast<char>(u);
    // The five undefined bytes read as the control characters of the same code.
    if (u >= 0x80 && u <= 0x9F && Alti[u - 0x80] == 0)
        return static_cast<char>(u);
    for (size_t i = 0; i < Alti.size(); ++i)
        if (Alti[i] != 0 && Alti[i] == u)
            return static_cast<char>(0x80 + i);
    return '?';
}

QByteArray ToWin1252(const QString &s)
{
    QByteArray out(s.size(), Qt::Uninitialized);
    char *d = out.data();
    qsizetype n = 0;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s.at(i);
        // A surrogate pair is one character outside Windows-1252: one '?'.
        if (c.isHighSurrogate() && i + 1 < s.size() && s.at(i + 1).isLowSurrogate())
            ++i;
        d[n++] = ToWin1252(c);
    }
    out.truncate(n);
    return out;
}

QChar FromWin1252(unsigned char c)
{
    if (c >= 0x80 && c <= 0x9F) {
        const char16_t u = Alti[c - 0x80];
        return QChar(u ? u : char16_t(c));
    }
    return QChar(char16_t(c));
}

QString FromWin1252(const char *data, qsizetype len)
{
    QString r(len, Qt::Uninitialized);
    QChar *d = r.data();
    for (qsizetype i = 0; i < len; ++i)
        d[i] = FromWin1252(static_cast<unsigned char>(data[i]));
    return r;
}

QDate ConvertiData(const QString &s)
{
    // Day and month of one or two digits, a four-digit year, slashes between.
    const QStringList parti = s.split(u'/');
    if (parti.size() != 3)
        return {};
    const int lunghezze[3][2] = {{1, 2}, {1, 2}, {4, 4}};
    int n[3];
    for (int i = 0; i < 3; ++i) {
        const QString &p = parti.at(i);
        if (p.size() < lunghezze[i][0] || p.size() > lunghezze[i][1] || !SoloCifre(p))
            return {};
        n[i] = p.toInt();
    }
    if (n[2] < 1)
        return {};
    return QDate(n[2], n[1], n[0]); // invalid when the day does not exist
}

QString UnaRiga(const QString &testo)
{
    QString r = testo;
    for (QChar &c : r)
        if (c.unicode() < 32 || c.unicode() == 127)
            c = u' ';
    return r.trimmed();
}

QString TestoData(const QDate &d)
{
    return d.toString(QString::fromLatin1(FormatoData));
}

QString TestoDataDiretta(const QDate &d)
{
    if (!d.isValid() || d.year() < 1000 || d.year() > 9999)
        return TestoData(d);
    QString r(10, u'/');
    int n[3];
    d.getDate(&n[2], &n[1], &n[0]);
    r[0] = QChar(u'0' + n[0] / 10);
    r[1] = QChar(u'0' + n[0] % 10);
    r[3] = QChar(u'0' + n[1] / 10);
    r[4] = QChar(u'0' + n[1] % 10);
    for (int i = 0, a = n[2]; i < 4; ++i, a /= 10)
        r[9 - i] = QChar(u'0' + a % 10);
    return r;
}

bool DataValida(const QString &s)
{
    return ConvertiData(s).isValid();
}

bool SoloCifre(const QString &s)
{
    if (s.isEmpty())
        return false;
    for (QChar c : s)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

} // namespace Testo
