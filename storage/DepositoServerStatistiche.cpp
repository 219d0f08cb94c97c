// The statistics' record counts on the server: one statement that classifies each record
// with the program's own rules written in SQL (data_testo, nascita_cf, fascia_eta,
// nome_gruppo in sql/quorvel.sql) and groups them all at once with GROUPING SETS.
#include "storage/DepositoServer.h"

#include <QSqlError>

namespace {

// Each record's classes as Statistiche::Classifica makes them; then one row for the
// headline counts, and one per month, sex and age group, town, province and role.
const char *const SqlStatistiche = R"(
WITH p AS (
    SELECT CAST(:oggi AS date) AS oggi, CAST(:periodo AS boolean) AS periodo,
           CAST(:dal AS date) AS dal, CAST(:al AS date) AS al,
           CAST(:annullate AS boolean) AS annullate, CAST(:giorni AS integer) AS giorni),
-- each text rule once per record: MATERIALIZED keeps the planner from copying the inlined
-- rules into every expression that uses them, which made the count twice as slow
r AS MATERIALIZED (
    SELECT s.annullata <> 'No' AS ann, data_testo(s.datascade) AS sc, s.datanasc AS tn,
           data_testo(s.datanasc) AS dr, upper(s.sesso) AS se, s.codfisc,
           nome_gruppo(s.comuneres) AS comune, nome_gruppo(s.provres) AS prov,
           nome_gruppo(s.carica) AS car
    FROM schede s),
b AS (
    SELECT r.ann, r.sc, r.tn, CASE WHEN r.dr <= p.oggi THEN r.dr END AS dn, r.se, r.codfisc,
           r.comune, r.prov, r.car
    FROM r CROSS JOIN p),
f AS (
    SELECT b.*, (NOT p.periodo OR b.sc BETWEEN p.dal AND p.al) IS TRUE AS inper
    FROM b CROSS JOIN p),
c AS (
    SELECT f.*, f.inper AND (p.annullate OR NOT f.ann) AS contata,
           -- the fiscal code only where the record itself does not tell
           CASE WHEN f.dn IS NULL OR f.se NOT IN ('M', 'F')
                THEN (nascita_cf(f.codfisc, p.oggi)).nascita END AS cf_nascita,
           CASE WHEN f.dn IS NULL OR f.se NOT IN ('M', 'F')
                THEN (nascita_cf(f.codfisc, p.oggi)).femmina END AS cf_femmina
    FROM f CROSS JOIN p),
k AS (
    SELECT c.ann, c.sc, c.inper, c.contata, c.comune, c.prov, c.car,
           c.tn <> '' AND c.dn IS NULL AS nascita_errata,
           CASE c.se WHEN 'M' THEN 0 WHEN 'F' THEN 1 ELSE
               CASE WHEN c.cf_femmina THEN 1 WHEN NOT c.cf_femmina THEN 0 ELSE -1 END
           END AS sesso,
           fascia_eta(coalesce(c.dn, c.cf_nascita), p.oggi) AS fascia,
           CASE WHEN c.sc IS NOT NULL THEN
               (extract(year FROM c.sc) * 12 + extract(month FROM c.sc) - 1)::integer END AS mese,
           replace(c.comune, ' ', '') AS kc, replace(c.prov, ' ', '') AS kp,
           replace(c.car, ' ', '') AS kr
    FROM c CROSS JOIN p)
SELECT GROUPING(k.mese, k.sesso, k.fascia, k.kc, k.kp, k.kr) AS g,
       k.mese, k.sesso, k.fascia, coalesce(k.kc, k.kp, k.kr) AS chiave,
       CASE WHEN GROUPING(k.kc) = 0 THEN min(k.comune) FILTER (WHERE k.contata)
            WHEN GROUPING(k.kp) = 0 THEN min(k.prov) FILTER (WHERE k.contata)
            WHEN GROUPING(k.kr) = 0 THEN min(k.car) FILTER (WHERE k.contata) END AS nome,
       count(*) FILTER (WHERE k.contata) AS schede,
       count(*) FILTER (WHERE k.contata AND k.sc < p.oggi) AS scadute_mese,
       count(*) FILTER (WHERE k.contata AND NOT k.ann AND k.sc >= p.oggi) AS attive,
       count(*) FILTER (WHERE k.contata AND NOT k.ann AND k.sc < p.oggi) AS scadute,
       count(*) FILTER (WHERE k.contata AND NOT k.ann AND k.sc >= p.oggi
                        AND k.sc < p.oggi + p.giorni) AS in_scadenza,
       count(*) FILTER (WHERE k.ann AND k.inper) AS annullate,
       count(*) FILTER (WHERE (p.annullate OR NOT k.ann) AND k.sc IS NULL) AS scadenze_errate,
       count(*) FILTER (WHERE k.contata AND k.nascita_errata) AS nascite_errate,
       count(*) FILTER (WHERE k.contata AND k.fascia < 0) AS eta_ignota,
       count(*) FILTER (WHERE k.contata AND k.fascia >= 0 AND k.sesso < 0) AS sesso_ignoto
FROM k CROSS JOIN p
GROUP BY GROUPING SETS ((), (k.mese), (k.sesso, k.fascia), (k.kc), (k.kp), (k.kr))
)";

} // namespace

Statistiche::TConteggiSchede TDepositoServer::ContaSchede(const TFiltroStatistiche &filtro)
{
    using namespace Statistiche;
    return Tenta(
        [&] {
            TConteggiSchede c;
            QSqlQuery &q = Prepara(QString::fromLatin1(SqlStatistiche));
            const bool periodo = filtro.periodo && filtro.dal.isValid() && filtro.al.isValid();
            q.bindValue(QStringLiteral(":oggi"), filtro.oggi);
            q.bindValue(QStringLiteral(":periodo"), periodo);
            q.bindValue(QStringLiteral(":dal"), periodo ? filtro.dal : filtro.oggi);
            q.bindValue(QStringLiteral(":al"), periodo ? filtro.al : filtro.oggi);
            q.bindValue(QStringLiteral(":annullate"), filtro.annullate);
            q.bindValue(QStringLiteral(":giorni"), GiorniInScadenza);
            Esegui(q, QStringLiteral("contare le schede"));
            // GROUPING bits, from the last argument: kr 1, kp 2, kc 4, fascia 8, sesso 16,
            // mese 32; a set groups by the arguments whose bits are clear.
            constexpr int Tutti = 63;
            while (q.next()) {
                const int g = q.value(0).toInt();
                const int n = q.value(6).toInt();
                if (g == Tutti) {
                    c.schede = n;
                    c.attive = q.value(8).toInt();
                    c.scadute = q.value(9).toInt();
                    c.inScadenza = q.value(10).toInt();
                    c.annullate = q.value(11).toInt();
                    c.scadenzeNonValide = q.value(12).toInt();
                    c.nascitaNonValide = q.value(13).toInt();
                    c.etaIgnota = q.value(14).toInt();
                    c.sessoIgnoto = q.value(15).toInt();
                    continue;
                }
                if (n == 0)
                    continue;
                if (g == Tutti - 32) {
                    if (!q.value(1).isNull())
                        c.mesi[q.value(1).toInt()] = {n, q.value(7).toInt()};
                } else if (g == Tutti - 16 - 8) {
                    const int sesso = q.value(2).toInt(), fascia = q.value(3).toInt();
                    if (fascia >= 0 && fascia < FasceEta && sesso >= 0)
                        (sesso == 0 ? c.maschi : c.femmine)[size_t(fascia)] = n;
                } else {
                    const QString chiave = q.value(4).toString();
                    TGruppo gruppo{q.value(5).toString(), n};
                    if (g == Tutti - 4 && !chiave.isEmpty())
                        c.comuni[chiave] = gruppo;
                    else if (g == Tutti - 2 && !chiave.isEmpty())
                        c.province[chiave] = gruppo;
                    else if (g == Tutti - 1)
                        c.cariche[chiave] = gruppo;
                }
            }
            q.finish();
            if (!filtro.annullate) {
                QSqlQuery &a = Prepara(QStringLiteral(
                    "SELECT posizione FROM schede WHERE annullata <> 'No' ORDER BY posizione"));
                Esegui(a, QStringLiteral("contare le schede"));
                while (a.next())
                    c.posizioniAnnullate.push_back(a.value(0).toInt());
                a.finish();
            }
            return c;
        },
        true);
}
