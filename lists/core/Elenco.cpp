#include "lists/core/Elenco.h"

#include "archive/Testo.h"
#include "storage/Deposito.h"

#include <algorithm>
#include <memory>

namespace Elenchi {

const std::array<Campo, NumeroFiltri> CampiFiltro = {
    Campo::Tesserato,  Campo::Carica,    Campo::NumTessera, Campo::DataRil, Campo::DataScade,
    Campo::ComuneNasc, Campo::ComuneRes, Campo::CodFisc,    Campo::Titoli,  Campo::Note};

namespace {
// The fields a line shows (RigaScheda).
constexpr std::array CampiRiga = {Campo::Tesserato, Campo::NumTessera, Campo::DataScade,
                                  Campo::Recapito, Campo::Note};

// The trimmed value with `larghezza` blanks appended, cut to `larghezza`.
void Aggiungi(QString &riga, const QString &valore, int larghezza)
{
    const qsizetype n = std::min<qsizetype>(valore.size(), larghezza);
    riga.append(QStringView(valore).first(n));
    riga.append(QString(larghezza - n, u' '));
}

inline char16_t Piega(char16_t c)
{
    return (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c;
}
} // namespace

QString RigaScheda(const TScheda &s)
{
    const QString note = s.Leggi(Campo::Note);
    QString riga;
    riga.reserve(102 + note.size());
    Aggiungi(riga, s.Leggi(Campo::Tesserato), LarghezzaTesserato);
    riga.append(EtichettaTessera);
    Aggiungi(riga, s.Leggi(Campo::NumTessera), LarghezzaTessera);
    riga.append(EtichettaScadenza);
    Aggiungi(riga, s.Leggi(Campo::DataScade), LarghezzaScadenza);
    riga.append(QLatin1String("  Tel. "));
    Aggiungi(riga, s.Leggi(Campo::Recapito), 12);
    riga.append(QLatin1String("  "));
    riga.append(note);
    return riga;
}

bool PrimaDi(const QString &a, const QString &b)
{
    const qsizetype n = std::min(a.size(), b.size());
    const QChar *pa = a.constData();
    const QChar *pb = b.constData();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t x = Piega(pa[i].unicode());
        const char16_t y = Piega(pb[i].unicode());
        if (x != y)
            return x < y;
    }
    return a.size() < b.size();
}

void Ordina(Elenco &e)
{
    e.Ordina();
}

int FiltriAttivi(const Filtri &filtri)
{
    return static_cast<int>(std::count_if(filtri.begin(), filtri.end(), [](const QString &f) {
        return !Testo::Trim32(f).isEmpty();
    }));
}

bool Valida(const TScheda &s)
{
    return s.Leggi(Campo::Annullata) == AnnullataNo;
}

Elenco Cerca(const QString &cartella, const Filtri &filtri)
{
    // The filters go to the archive as typed; it keeps the records they all match.
    std::vector<TChiaveRicerca> chiavi;
    for (int i = 0; i < NumeroFiltri; ++i)
        chiavi.push_back({CampiFiltro[static_cast<size_t>(i)], filtri[static_cast<size_t>(i)]});
    Elenco e;
    {
        const std::unique_ptr<TDeposito> deposito = ApriDeposito(cartella);
        deposito->Cerca(chiavi, CampiRiga, [&](int p, const TScheda &s) {
            e.Aggiungi(p, s);
            return true;
        });
    }
    Ordina(e);
    return e;
}

bool DaRinnovare(const TScheda &s, const QDate &oggi)
{
    if (!Valida(s))
        return false;
    const QDate scade = Testo::ConvertiData(s.Leggi(Campo::DataScade));
    bool ok = false;
    const int preavviso = s.Leggi(Campo::Preavviso).toInt(&ok);
    if (!scade.isValid() || !ok)
        return false;
    return scade.addDays(-preavviso) <= oggi;
}

void InRinnovo(const QString &cartella, const QDate &oggi, Elenco &elenco)
{
    elenco.clear();
    try {
        const std::unique_ptr<TDeposito> deposito = ApriDeposito(cartella);
        static constexpr std::array CampiRinnovo = {
            Campo::Tesserato, Campo::NumTessera, Campo::DataScade, Campo::Recapito,
            Campo::Note,      Campo::Annullata,  Campo::Preavviso};
        deposito->Scorri(CampiRinnovo, [&](int p, const TScheda &s) {
            if (DaRinnovare(s, oggi))
                elenco.Aggiungi(p, s);
            return true;
        });
    } catch (...) {
        Ordina(elenco);
        throw;
    }
    Ordina(elenco);
}

void Posizioni(const QString &cartella, const QList<int> &posizioni, Elenco &elenco)
{
    elenco.clear();
    if (posizioni.isEmpty())
        return;
    const int ultima = *std::max_element(posizioni.begin(), posizioni.end());
    std::vector<bool> scelta(size_t(std::max(ultima, 0)) + 1, false);
    for (int p : posizioni)
        if (p > 0)
            scelta[size_t(p)] = true;
    try {
        const std::unique_ptr<TDeposito> deposito = ApriDeposito(cartella);
        static constexpr std::array CampiRiga = {Campo::Tesserato, Campo::NumTessera,
                                                 Campo::DataScade, Campo::Recapito, Campo::Note};
        deposito->Scorri(CampiRiga, [&](int p, const TScheda &s) {
            if (p < int(scelta.size()) && scelta[size_t(p)])
                elenco.push_back({RigaScheda(s), p});
            return p < ultima;
        });
    } catch (...) {
        Ordina(elenco);
        throw;
    }
    Ordina(elenco);
}

int Trova(const Elenco &e, int selezionata, const QString &chiave, const QString &ultimaChiave)
{
    const int n = static_cast<int>(e.size());
    if (n == 0 || chiave.isEmpty())
        return -1;
    if (chiave != ultimaChiave)
        return e.TrovaDa(chiave, 0, false);
    // After the selected line, wrapping round to it.
    return e.TrovaDa(chiave, (std::clamp(selezionata, 0, n - 1) + 1) % n, true);
}

} // namespace Elenchi
