#include "widgets/Tavolozza.h"

#include <QHash>
#include <QRegularExpression>

namespace Tavolozza {

QString Colora(const QString &foglio)
{
    static const QHash<QString, QRgb> colori = {
        {QStringLiteral("Blu"), Blu},           {QStringLiteral("Acciaio"), Acciaio},
        {QStringLiteral("Bianco"), Bianco},     {QStringLiteral("Oro"), Oro},
        {QStringLiteral("Cremisi"), Cremisi},   {QStringLiteral("Beige"), Beige},
        {QStringLiteral("Mattone"), Mattone},   {QStringLiteral("Rubino"), Rubino},
        {QStringLiteral("Granata"), Granata},   {QStringLiteral("Cuoio"), Cuoio},
        {QStringLiteral("Grigio"), Grigio},     {QStringLiteral("GrigioScuro"), GrigioScuro},
        {QStringLiteral("Nero"), Nero},         {QStringLiteral("Nebbia"), Nebbia},
        {QStringLiteral("Ghiaccio"), Ghiaccio}, {QStringLiteral("Cielo"), Cielo},
        {QStringLiteral("Perla"), Perla},       {QStringLiteral("Fiordaliso"), Fiordaliso},
        {QStringLiteral("Polvere"), Polvere},   {QStringLiteral("Ardesia"), Ardesia},
        {QStringLiteral("Giallo"), Giallo},     {QStringLiteral("Crema"), Crema},
        {QStringLiteral("Paglia"), Paglia},     {QStringLiteral("Verde"), Verde},
        {QStringLiteral("BluNotte"), BluNotte}, {QStringLiteral("Arancio"), Arancio},
        {QStringLiteral("Nuvola"), Nuvola},     {QStringLiteral("Burro"), Burro},
    };
    static const QRegularExpression nome(QStringLiteral("@([A-Za-z]+)"));
    QString risultato;
    qsizetype da = 0;
    for (auto it = nome.globalMatch(foglio); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const auto c = colori.constFind(m.captured(1));
        if (c == colori.cend())
            continue; // not a colour of ours: left as written
        risultato += QStringView(foglio).mid(da, m.capturedStart() - da);
        risultato += Nome(*c);
        da = m.capturedEnd();
    }
    risultato += QStringView(foglio).mid(da);
    return risultato;
}

} // namespace Tavolozza
