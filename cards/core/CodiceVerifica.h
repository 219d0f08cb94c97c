#pragma once
// The card's verification code: card number, expiry and a signature (HMAC-SHA256 with the
// archive's secret key, cut to 12 bytes), so a code whose expiry was edited, or one made
// without the key, no longer matches. "QV1" fixes the format the signature covers.
#include <QByteArray>
#include <QString>

#include <optional>

namespace CodiceVerifica {

inline constexpr int ByteChiave = 32;
inline constexpr int ByteFirma = 12;

// 32 random bytes from the system's generator.
QByteArray NuovaChiave();
// "QV1|<card number>|<expiry>|<signature>": the expiry as yyyyMMdd when it is a date
// dd/mm/yyyy, otherwise as written; the signature base64url without padding.
QString Componi(const QString &numTessera, const QString &scadenza, const QByteArray &chiave);

struct TLetto {
    QString numTessera;
    QString scadenza; // as in the code
    bool firmaValida = false;
};
// A code in the signed format, its signature checked with `chiave`; nothing when the text
// is not in that format (a plain-text code, a typed card number).
std::optional<TLetto> Leggi(const QString &codice, const QByteArray &chiave);

} // namespace CodiceVerifica
