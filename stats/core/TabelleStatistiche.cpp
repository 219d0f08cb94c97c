#include "stats/core/TabelleStatistiche.h"

#include "archive/Errori.h"
#include "archive/FileSicuro.h"
#include "lists/core/Esportazione.h"

#include <QLocale>
#include <QSaveFile>

namespace Statistiche {

QString TitoloGrafico(Grafico g)
{
    switch (g) {
    case Grafico::Scadenze:
        return QStringLiteral("Scadenze per mese");
    case Grafico::Piramide:
        return QStringLiteral("Soci per sesso ed et\u00E0");
    case Grafico::Comuni:
        return QStringLiteral("Comuni di residenza");
    case Grafico::Province:
        return QStringLiteral("Province di residenza");
    case Grafico::Cariche:
        return QStringLiteral("Soci per carica");
    case Grafico::Quote:
        return QStringLiteral("Quote per mese");
    case Grafico::Rinnovi:
        return QStringLiteral("Rinnovi entro 60 giorni");
    }
    return QString();
}

QString NomeMese(int mese)
{
    static const char *const nomi[] = {"gen", "feb", "mar", "apr", "mag", "giu",
                                       "lug", "ago", "set", "ott", "nov", "dic"};
    return QStringLiteral("%1 %2").arg(QLatin1String(nomi[mese % 12])).arg(mese / 12);
}

QString Euro(qint64 centesimi)
{
    return QLocale(QLocale::Italian).toString(double(centesimi) / 100.0, 'f', 2) +
           QStringLiteral(" \u20AC");
}

namespace {

void Gruppi(TTabella &t, const QString &colonna, const std::vector<TVoce> &voci)
{
    t.intestazioni = {colonna, QStringLiteral("Soci")};
    for (const TVoce &v : voci)
        t.righe.append(
            {v.nome.isEmpty() ? QStringLiteral("(nessuna)") : v.nome, QString::number(v.quanti)});
}

} // namespace

TTabella Tabella(const TStatistiche &s, Grafico g)
{
    TTabella t;
    t.titolo = TitoloGrafico(g);
    switch (g) {
    case Grafico::Scadenze:
        t.intestazioni = {QStringLiteral("Mese"), QStringLiteral("Scadenze")};
        for (size_t i = 0; i < s.scadenze.valori.size(); ++i)
            t.righe.append({NomeMese(s.scadenze.primo + int(i)),
                            QString::number(qint64(s.scadenze.valori[i]))});
        break;
    case Grafico::Piramide:
        t.intestazioni = {QStringLiteral("Et\u00E0"), QStringLiteral("Maschi"),
                          QStringLiteral("Femmine")};
        for (int f = 0; f < FasceEta; ++f)
            t.righe.append({NomeFascia(f), QString::number(s.schede.maschi[size_t(f)]),
                            QString::number(s.schede.femmine[size_t(f)])});
        t.righe.append(
            {QStringLiteral("Et\u00E0 non nota"), QString::number(s.schede.etaIgnota), QString()});
        t.righe.append(
            {QStringLiteral("Sesso non noto"), QString::number(s.schede.sessoIgnoto), QString()});
        break;
    case Grafico::Comuni:
        Gruppi(t, QStringLiteral("Comune"), s.comuni);
        break;
    case Grafico::Province:
        Gruppi(t, QStringLiteral("Provincia"), s.province);
        break;
    case Grafico::Cariche:
        Gruppi(t, QStringLiteral("Carica"), s.cariche);
        break;
    case Grafico::Quote:
        t.intestazioni = {QStringLiteral("Mese"), QStringLiteral("Quote"),
                          QStringLiteral("Stesso mese, anno prima")};
        for (size_t i = 0; i < s.quotePerMese.valori.size(); ++i)
            t.righe.append({NomeMese(s.quotePerMese.primo + int(i)),
                            Euro(qint64(s.quotePerMese.valori[i])),
                            Euro(qint64(s.quoteAnnoPrima.valori[i]))});
        break;
    case Grafico::Rinnovi:
        t.intestazioni = {QStringLiteral("Mese di scadenza"), QStringLiteral("Tessere scadute"),
                          QStringLiteral("Rinnovate entro 60 giorni (%)")};
        for (size_t i = 0; i < s.rinnoviInTempo.valori.size(); ++i)
            t.righe.append({NomeMese(s.rinnoviInTempo.primo + int(i)),
                            QString::number(qint64(s.scaduteNelMese.valori[i])),
                            QString::number(qRound(s.rinnoviInTempo.valori[i] * 100.0))});
        break;
    }
    return t;
}

void ScriviTabella(const QString &percorso, const TTabella &t)
{
    QByteArray out;
    AccodaInizioFoglio(out, t.titolo);
    out.append("<table border=\"1\"><tr>");
    for (const QString &h : t.intestazioni) {
        out.append("<th>");
        AccodaTestoFile(out, h);
        out.append("</th>");
    }
    out.append("</tr>");
    for (const QStringList &riga : t.righe) {
        out.append("<tr>");
        for (int i = 0; i < riga.size(); ++i) {
            // The first column names the row (a month like "gen 2026" stays text).
            out.append(i == 0 ? "<td class=t>" : "<td>");
            AccodaTestoFile(out, riga.at(i));
            out.append("</td>");
        }
        out.append("</tr>");
    }
    out.append("</table></body></html>");
    QSaveFile file(percorso);
    if (!ApriInScrittura(file) || file.write(out) != out.size() || !ConfermaFile(file)) {
        file.cancelWriting();
        throw ErroreFile(QStringLiteral("Unable to write to ") + percorso);
    }
}

} // namespace Statistiche
