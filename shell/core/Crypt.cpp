#include "shell/core/Crypt.h"

namespace Crypt {

namespace {
constexpr quint16 ChiaveIniziale = 0xE2A9;
constexpr quint16 C1 = 0xA4E7;
constexpr quint16 C2 = 0xB7D4;

quint16 Avanza(quint16 chiave, quint8 b)
{
    return static_cast<quint16>((static_cast<quint32>(b) + chiave) * C1 + C2);
}

int Cifra(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    return -1;
}
} // namespace

QString Encrypt(const QString &testo)
{
    static const char Esa[] = "0123456789ABCDEF";
    QString r;
    r.reserve(testo.size() * 2);
    quint16 chiave = ChiaveIniziale;
    for (QChar c : testo) {
        const quint8 b = static_cast<quint8>((c.unicode() & 0xFF) ^ (chiave >> 8));
        r.append(QChar::fromLatin1(Esa[b >> 4]));
        r.append(QChar::fromLatin1(Esa[b & 0x0F]));
        chiave = Avanza(chiave, b);
    }
    return r;
}

QString Decrypt(const QString &testo)
{
    const qsizetype n = testo.size() / 2;
    QString r;
    r.reserve(n);
    quint16 chiave = ChiaveIniziale;
    for (qsizetype i = 0; i < n; ++i) {
        const int alta = Cifra(testo.at(2 * i));
        const int bassa = Cifra(testo.at(2 * i + 1));
        if (alta < 0 || bassa < 0)
            throw std::invalid_argument("'" + testo.mid(2 * i, 2).toStdString() +
                                        "' is not a valid hexadecimal value");
        const quint8 b = static_cast<quint8>(alta * 16 + bassa);
        r.append(QChar(char16_t(b ^ (chiave >> 8))));
        chiave = Avanza(chiave, b);
    }
    return r;
}

} // namespace Crypt
