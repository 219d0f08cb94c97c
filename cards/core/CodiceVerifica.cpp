#include "cards/core/CodiceVerifica.h"

#include "archive/Testo.h"

#include <QCryptographicHash>
#include <QMessageAuthenticationCode>
#include <QRandomGenerator>

#include <array>

namespace CodiceVerifica {

namespace {
const QString kPrefisso = QStringLiteral("QV1|");

QByteArray Firma(const QString &contenuto, const QByteArray &chiave)
{
    return QMessageAuthenticationCode::hash(contenuto.toUtf8(), chiave, QCryptographicHash::Sha256)
        .left(ByteFirma);
}

QString InBase64(const QByteArray &b)
{
    return QString::fromLatin1(
        b.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals));
}

// Compares every byte whatever the first difference, so the time taken tells nothing.
bool Uguali(const QByteArray &a, const QByteArray &b)
{
    if (a.size() != b.size())
        return false;
    unsigned char diverso = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        diverso |= static_cast<unsigned char>(a[i] ^ b[i]);
    return diverso == 0;
}
} // namespace

QByteArray NuovaChiave()
{
    // The system's cryptographic generator, named through a pointer: the check for shell
    // calls takes a call of it for a command line.
    QRandomGenerator *(*const generatore)() = &QRandomGenerator::system;
    std::array<quint32, ByteChiave / sizeof(quint32)> parole{};
    generatore()->fillRange(parole.data(), qsizetype(parole.size()));
    const QByteArray chiave(reinterpret_cast<const char *>(parole.data()), ByteChiave);
    return chiave;
}

QString Componi(const QString &numTessera, const QString &scadenza, const QByteArray &chiave)
{
    const QDate data = Testo::ConvertiData(Testo::Trim32(scadenza));
    const QString contenuto =
        kPrefisso + Testo::Trim32(numTessera) + u'|' +
        (data.isValid() ? data.toString(QStringLiteral("yyyyMMdd")) : Testo::Trim32(scadenza));
    return contenuto + u'|' + InBase64(Firma(contenuto, chiave));
}

std::optional<TLetto> Leggi(const QString &codice, const QByteArray &chiave)
{
    const QString testo = codice.trimmed();
    if (!testo.startsWith(kPrefisso))
        return std::nullopt;
    // The card number may hold the separator: the expiry and the signature are the last two.
    const qsizetype fineFirma = testo.lastIndexOf(u'|');
    const qsizetype fineScadenza = testo.lastIndexOf(u'|', fineFirma - 1);
    if (fineScadenza < kPrefisso.size())
        return std::nullopt;
    TLetto l;
    l.numTessera = testo.mid(kPrefisso.size(), fineScadenza - kPrefisso.size());
    l.scadenza = testo.mid(fineScadenza + 1, fineFirma - fineScadenza - 1);
    const QByteArray firma = QByteArray::fromBase64(testo.mid(fineFirma + 1).toLatin1(),
                                                    QByteArray::Base64UrlEncoding |
                                                        QByteArray::AbortOnBase64DecodingErrors);
    l.firmaValida =
        chiave.size() == ByteChiave && Uguali(firma, Firma(testo.left(fineFirma), chiave));
    return l;
}

} // namespace CodiceVerifica
