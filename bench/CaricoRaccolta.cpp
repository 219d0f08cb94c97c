// What the coordinator gathers from the desks, the checks on the archive after the run,
// and the report.
#include "bench/Carico.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace Carico {

void Raccolta::Leggi(const QString &testo, qint64 riavvio)
{
    qint64 prima = -1;
    for (const QString &riga : testo.split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList c = riga.split(u' ');
        const QString &tipo = c.first();
        if (tipo == QLatin1String("L") && c.size() == 5) {
            if (c[3] == QLatin1String("1")) {
                fatte[c[1]].push_back(c[2].toDouble());
                const qint64 quando = c[4].toLongLong() - riavvio;
                if (riavvio > 0 && quando >= 0 && (prima < 0 || quando < prima))
                    prima = quando;
            } else {
                ++nonFatte[c[1]];
            }
        } else if (tipo == QLatin1String("M") && c.size() == 4) {
            modifiche[c[1].toInt()].push_back({c[2].toLongLong(), c[3]});
        } else if (tipo == QLatin1String("Q")) {
            ++domande;
        } else if (tipo == QLatin1String("X") && c.size() == 3) {
            modificheNonFatte[c[1].toInt()] << c[2];
        } else if (tipo == QLatin1String("A") && c.size() == 2) {
            accodate.push_back(c[1].toInt());
        } else if (tipo == QLatin1String("E")) {
            if (errori.size() < 10)
                errori << riga.mid(2);
        }
    }
    if (riavvio > 0) {
        ripresa.push_back(prima);
        if (prima < 0)
            problemi << QStringLiteral("uno sportello non ha più fatto nulla dopo il riavvio");
    }
}

void Raccolta::Verifica(qint64 righePrima, const Conteggio &dopo, const Versioni &prima,
                        const Versioni &ora)
{
    if (dopo.righe != dopo.massima || dopo.massima != dopo.ultima)
        problemi << QStringLiteral("posizioni non 1..n: %1 schede, posizione massima %2, "
                                   "contatore %3")
                        .arg(dopo.righe)
                        .arg(dopo.massima)
                        .arg(dopo.ultima);
    // Appends: each one done is there, under a position of its own.
    const std::set<int> posizioni(accodate.begin(), accodate.end());
    if (posizioni.size() != accodate.size())
        problemi << QStringLiteral("due accodamenti con la stessa posizione");
    for (int p : posizioni)
        if (p <= righePrima || p > dopo.massima)
            problemi << QStringLiteral("accodamento alla posizione %1 non trovato").arg(p);
    const auto nf = nonFatte.find(QStringLiteral("accodamento"));
    const qint64 aggiunte = dopo.righe - righePrima;
    const qint64 massimo = qint64(accodate.size()) + (nf == nonFatte.end() ? 0 : nf->second);
    if (aggiunte < qint64(accodate.size()) || aggiunte > massimo)
        problemi << QStringLiteral("%1 schede aggiunte, ma %2 accodamenti riusciti")
                        .arg(aggiunte)
                        .arg(accodate.size());
    // Edits: each one done is a version step of its own; the steps left over belong to
    // edits reported not done; the record holds the mark of its last step.
    for (const auto &[p, valori] : ora) {
        const qint64 da = prima.count(p) ? prima.at(p).first : 1;
        const auto m = modifiche.find(p);
        std::vector<std::pair<qint64, QString>> fatte_;
        if (m != modifiche.end())
            fatte_ = m->second;
        std::sort(fatte_.begin(), fatte_.end());
        const QStringList altre =
            modificheNonFatte.count(p) ? modificheNonFatte.at(p) : QStringList();
        for (size_t i = 0; i < fatte_.size(); ++i)
            if (fatte_[i].first <= da || fatte_[i].first > valori.first ||
                (i > 0 && fatte_[i].first == fatte_[i - 1].first))
                problemi << QStringLiteral("scheda %1: versione %2 fuori posto o doppia")
                                .arg(p)
                                .arg(fatte_[i].first);
        const qint64 passi = valori.first - da;
        if (passi < qint64(fatte_.size()) || passi > qint64(fatte_.size()) + altre.size())
            problemi << QStringLiteral("scheda %1: %2 versioni nuove per %3 modifiche riuscite "
                                       "e %4 non riuscite")
                            .arg(p)
                            .arg(passi)
                            .arg(fatte_.size())
                            .arg(altre.size());
        const bool ultimaNostra = !fatte_.empty() && fatte_.back().first == valori.first;
        if (passi > 0 &&
            !(ultimaNostra ? fatte_.back().second == valori.second : altre.contains(valori.second)))
            problemi << QStringLiteral("scheda %1: contiene \"%2\", non l'ultima modifica")
                            .arg(p)
                            .arg(valori.second);
    }
}

QString Raccolta::Rapporto(int secondi) const
{
    QString r = QStringLiteral("%1 %2 %3 %4 %5 %6\n")
                    .arg(QStringLiteral("azione"), -12)
                    .arg(QStringLiteral("fatte"), 7)
                    .arg(QStringLiteral("non fatte"), 10)
                    .arg(QStringLiteral("p50 ms"), 8)
                    .arg(QStringLiteral("p99 ms"), 8)
                    .arg(QStringLiteral("max ms"), 8);
    int totale = 0;
    double p99max = 0;
    std::set<QString> tipi;
    for (const auto &[k, v] : fatte)
        tipi.insert(k);
    for (const auto &[k, v] : nonFatte)
        tipi.insert(k);
    for (const QString &k : tipi) {
        std::vector<double> v = fatte.count(k) ? fatte.at(k) : std::vector<double>();
        std::sort(v.begin(), v.end());
        auto quantile = [&v](double q) {
            return v.empty()
                       ? 0.0
                       : v[std::min(v.size() - 1, size_t(std::ceil(q * double(v.size())) - 1))];
        };
        totale += int(v.size());
        p99max = std::max(p99max, quantile(0.99));
        r += QStringLiteral("%1 %2 %3 %4 %5 %6\n")
                 .arg(k, -12)
                 .arg(v.size(), 7)
                 .arg(nonFatte.count(k) ? nonFatte.at(k) : 0, 10)
                 .arg(quantile(0.5), 8, 'f', 1)
                 .arg(quantile(0.99), 8, 'f', 1)
                 .arg(v.empty() ? 0.0 : v.back(), 8, 'f', 1);
    }
    r += QStringLiteral("azioni fatte: %1 (%2 al secondo); domande per modifiche concorrenti: "
                        "%3; p99 peggiore %4 ms (%5 100 ms)\n")
             .arg(totale)
             .arg(double(totale) / secondi, 0, 'f', 1)
             .arg(domande)
             .arg(p99max, 0, 'f', 1)
             .arg(p99max <= 100 ? QStringLiteral("entro") : QStringLiteral("oltre"));
    if (!ripresa.empty()) {
        const auto ripresi =
            std::count_if(ripresa.begin(), ripresa.end(), [](qint64 ms) { return ms >= 0; });
        r += QStringLiteral("sportelli ripresi da soli dopo il riavvio: %1 su %2, l'ultimo "
                            "%3 ms dopo\n")
                 .arg(ripresi)
                 .arg(ripresa.size())
                 .arg(*std::max_element(ripresa.begin(), ripresa.end()));
    }
    for (const QString &e : errori)
        r += QStringLiteral("errore: %1\n").arg(e);
    r += problemi.isEmpty() ? QStringLiteral("verifiche: nessun aggiornamento perso senza "
                                             "domanda, posizioni 1..n, accodamenti presenti\n")
                            : QStringLiteral("VERIFICHE NON RIUSCITE:\n  ") +
                                  problemi.join(QStringLiteral("\n  ")) + u'\n';
    return r;
}

} // namespace Carico
