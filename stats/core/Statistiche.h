#pragma once
// The association's figures for the statistics screen: headline counts, expiries per
// month, members by sex and age group, towns, provinces and roles, fees and renewals.
// The record counts come from the storage seam (TDeposito::ContaSchede): the folder
// counts them in one pass over the records, a server groups them on its side; both
// give the same TConteggiSchede, finished here into TStatistiche.
#include "archive/Scheda.h"

#include <QDate>
#include <QString>

#include <array>
#include <map>
#include <optional>
#include <vector>

class TDeposito;

// What the figures count: cancelled cards or not, and optionally only the cards whose
// expiry falls in [dal, al]. The period also bounds the monthly charts, the renewals and
// the fees (without it: this year, and expiries over the last and the next 12 months).
struct TFiltroStatistiche {
    QDate oggi;
    bool periodo = false;
    QDate dal, al;
    bool annullate = false; // cancelled cards count
};

namespace Statistiche {

// Whether the filter's period applies: asked for, both dates valid, in order.
bool ConPeriodo(const TFiltroStatistiche &f);

// Age groups 0-17, 18-29, 30-44, 45-59, 60-74, 75+.
inline constexpr int FasceEta = 6;
inline constexpr std::array<int, FasceEta - 1> InizioFasce = {18, 30, 45, 60, 75};
QString NomeFascia(int fascia);
// The days after today (today included) in which a card counts as expiring.
inline constexpr int GiorniInScadenza = 30;
// A card renewed at most this many days after its old expiry counts as renewed in time.
inline constexpr int GiorniRinnovo = 60;
// Towns, provinces and roles shown: the ones with most members.
inline constexpr int Primi = 15;

// A month as one number (year * 12 + month - 1), and back.
inline int Mese(const QDate &d)
{
    return d.year() * 12 + d.month() - 1;
}
inline QDate PrimoDelMese(int mese)
{
    return QDate(mese / 12, mese % 12 + 1, 1);
}

// The date of birth and sex in a valid fiscal code (16 characters A-Z/0-9 with the
// right check character, letters for digits allowed): the century is the latest that
// puts the date on or before `oggi`. Nothing when the code is not valid.
struct TDatiCodFisc {
    QDate nascita;
    bool femmina = false;
};
std::optional<TDatiCodFisc> DaCodFisc(const QString &codice, const QDate &oggi);
// Completed years from `nascita` to `oggi`; -1 when the date is not valid or later.
int Eta(const QDate &nascita, const QDate &oggi);
// 0..FasceEta-1, or -1 for an unknown age.
int Fascia(int eta);
// Town, province and role grouping: runs of blanks become one, ends trimmed, A-Z upper
// case. Two names with the same key (that text without blanks) are one group.
QString NomeGruppo(const QString &testo);
QString ChiaveGruppo(const QString &nome);

// What one record adds to the figures, under a filter.
struct TClassi {
    bool inPeriodo = false; // expiry in the period, or no period
    bool contata = false;   // passes the filter
    bool annullata = false;
    bool scadenzaValida = false;
    QDate scadenza;
    int sesso = -1;                    // 0 male, 1 female, -1 unknown
    int fascia = -1;                   // -1 unknown age
    bool nascitaNonValida = false;     // a date of birth given but not valid (or later than today)
    bool gruppi = false;               // the three below were made
    QString comune, provincia, carica; // NomeGruppo of each
};
// The fields the classification reads.
extern const std::array<Campo, 8> CampiStatistiche;
// `gruppi` makes town, province and role too (a one-pass count groups them its own way).
TClassi Classifica(const TScheda &s, const TFiltroStatistiche &f, bool gruppi = true);

struct TGruppo {
    QString nome; // the smallest NomeGruppo among the group's members
    int quanti = 0;
};
struct TMeseScadenze {
    int tutte = 0;   // counted cards expiring in the month
    int scadute = 0; // of which expiring before today
};

// The record counts, as a backend gives them.
struct TConteggiSchede {
    int schede = 0;     // records counted
    int attive = 0;     // not cancelled, expiry today or later
    int annullate = 0;  // cancelled (counted also when they do not count in the others)
    int scadute = 0;    // not cancelled, expiry before today
    int inScadenza = 0; // not cancelled, expiry in the next GiorniInScadenza days
    int scadenzeNonValide = 0;
    int nascitaNonValide = 0;          // dates of birth given but not valid (or later than today)
    std::map<int, TMeseScadenze> mesi; // by Mese() of the expiry
    std::array<int, FasceEta> maschi{}, femmine{};
    int etaIgnota = 0;
    int sessoIgnoto = 0;                                  // age known, sex unknown
    std::map<QString, TGruppo> comuni, province, cariche; // by ChiaveGruppo
    std::vector<int> posizioniAnnullate;                  // when cancelled cards do not count
};
// Adds one record's classes to the counts (the folder's pass, and the server's default).
void Aggiungi(TConteggiSchede &c, int posizione, const TClassi &k, const TFiltroStatistiche &f);
// One pass over the records through the seam, reading only CampiStatistiche.
TConteggiSchede ContaScorrendo(TDeposito &deposito, const TFiltroStatistiche &f);

struct TVoce {
    QString nome;
    QString chiave;
    int quanti = 0;
};
struct TSerieMesi {
    int primo = 0; // Mese() of the first
    std::vector<double> valori;
};

// Everything the screen shows.
struct TStatistiche {
    TConteggiSchede schede;
    TSerieMesi scadenze;                          // counted cards expiring per month
    std::vector<TVoce> comuni, province, cariche; // the Primi largest, largest first
    int rinnovate = 0;                            // members with a payment in the year/period
    qint64 quote = 0;                             // cents in the year/period
    TSerieMesi quotePerMese, quoteAnnoPrima;      // cents; the same months a year earlier
    TSerieMesi rinnoviInTempo;                    // share 0..1 of expired cards renewed in time
    TSerieMesi scaduteNelMese;                    // the cards behind each share
};

// The months of the expiry chart, and of the fees and renewals charts.
TSerieMesi MesiScadenze(const TFiltroStatistiche &f);
TSerieMesi MesiAnno(const TFiltroStatistiche &f);
// The first and last day of the year or the period for renewals and fees.
std::pair<QDate, QDate> Intervallo(const TFiltroStatistiche &f);

// Counts through the seam (ContaSchede), then the fee register; throws ErroreFile.
TStatistiche Calcola(TDeposito &deposito, const TFiltroStatistiche &f);

// The members behind a bar of a chart.
struct TSelezione {
    enum class Tipo {
        Scadenze,
        Piramide,
        Comune,
        Provincia,
        Carica,
        Attive,
        Scadute,
        ScaduteNelMese
    };
    Tipo tipo = Tipo::Scadenze;
    int mese = 0;  // Scadenze, ScaduteNelMese
    int sesso = 0; // Piramide
    int fascia = 0;
    QString chiave; // Comune, Provincia, Carica
};
bool Appartiene(const TClassi &k, const TSelezione &sel, const QDate &oggi);
// Positions of the counted members in the selection, in archive order.
std::vector<int> Membri(TDeposito &deposito, const TFiltroStatistiche &f, const TSelezione &sel);

} // namespace Statistiche
