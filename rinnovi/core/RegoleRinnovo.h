#pragma once
// The renewal: the expiry rules of the settings section "Rinnovo", the record and payment
// each member's renewal writes, and the run that renews many members in chunks through
// the storage seam (both or neither for each member). No widgets.
#include "archive/Avanzamento.h"
#include "storage/Deposito.h"

#include <QDate>
#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <span>
#include <vector>

// Section "Rinnovo" of the desk's "Quorvel.ini": "Durata" in months (12 when missing or
// not a number from 1 to 120), "Scadenza" = "anniversario" (the default) or "anno", and
// "Quota", the default amount in euro ("25", "25,50" or "25.50").
struct TRegoleRinnovo {
    enum class Scadenza { Anniversario, Anno };
    int durata = 12;
    Scadenza scadenza = Scadenza::Anniversario;
    qint64 quota = 0; // euro cents

    static TRegoleRinnovo Carica(const QString &cartella);
    void Salva(const QString &cartella) const;
};

// The new expiry of a card that expired (or expires) on `vecchia`, renewed on `oggi`.
// Both rules start from the later of the two (an invalid `vecchia` counts as `oggi`):
// anniversario adds the duration in months (31 January + 1 month = the end of February);
// anno gives 31 December of the year of the day after it, plus the whole years the
// duration holds beyond the first.
QDate NuovaScadenza(const QDate &vecchia, const QDate &oggi, const TRegoleRinnovo &regole);
// The first day a renewal covers: the day after the old expiry when renewed early, else today.
QDate InizioPeriodo(const QDate &vecchia, const QDate &oggi);

// An amount typed in euro ("25", "25,5", "1.234,56", "25.50") in cents; -1 when it is
// not one (or is negative, or past a million).
qint64 CentesimiDa(const QString &testo);
// Cents as the screens show them: "25,00".
QString TestoEuro(qint64 centesimi);
// The purpose a renewal proposes: "Quota associativa <year>".
QString CausaleProposta(int anno);

// What the secretary confirmed, the same for every member renewed in one go.
struct TDatiRinnovo {
    QDate oggi;           // the renewal date: the card's new issue date
    QDate scadenza;       // a new expiry typed by the user; invalid: computed per member
    qint64 centesimi = 0; // amount
    QString metodo;
    QDate dataPagamento;
    QString causale;
    QString inseritoDa;
    TRegoleRinnovo regole;
};

// Whether the record is of a cancelled card (never renewed).
bool Annullata(const TScheda &s);

// The renewal of one member read as `letta`: record with the new expiry and issue date,
// and its payment.
TDeposito::TRinnovo PreparaRinnovo(int posizione, const TDeposito::TSchedaLetta &letta,
                                   const TDatiRinnovo &dati);

// How a run of renewals went.
struct TEsitoRinnovi {
    int rinnovati = 0;
    qint64 centesimi = 0;
    QStringList nonRinnovati; // "Name: why", in the order of the list
    bool interrotto = false;  // stopped on request; what was done stays done
};

// Renews the members at `posizioni`, in chunks of `blocco`, each member both or neither;
// a cancelled card is left out and named. `fatto` hears each payment written, in order;
// `avanzamento` hears members done and may stop between chunks. Throws ErroreFile when
// the archive or the register cannot be written at all (chunks done before stay done).
TEsitoRinnovi RinnovaTutti(TDeposito &deposito, std::span<const int> posizioni,
                           const TDatiRinnovo &dati,
                           const std::function<void(const TPagamento &)> &fatto,
                           const Avanzamento &avanzamento = {}, int blocco = 500);

// The day of each member's last renewal payment dated in [dal, al] that stands (neither a
// counter-entry nor voided by one), by position: reminders skip who paid since.
QHash<int, QDate> UltimiRinnovi(TDeposito &deposito, const QDate &dal, const QDate &al);

// What a start says after finishing renewals a kill left half done: empty when none.
QString MessaggioCompletati(const std::vector<TPagamento> &completati);
