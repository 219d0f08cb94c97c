#include "archive/Scheda.h"

#include "archive/Testo.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr std::array<std::pair<const char *, int>, NumeroCampi> Capacita = {{
    {"Tesserato", 50},    {"Carica", 50},    {"NumTessera", 50},   {"DataRil", 10},
    {"DataScade", 10},    {"DataNasc", 10},  {"ComuneNasc", 50},   {"ProvNasc", 2},
    {"Sesso", 1},         {"ComuneRes", 50}, {"ProvRes", 2},       {"CapRes", 5},
    {"IndirizzoRes", 50}, {"Preavviso", 3},  {"Titoli", 250},      {"TelCasa", 30},
    {"TelUff", 30},       {"TelCel", 30},    {"Recapito", 50},     {"Fax", 30},
    {"Email", 50},        {"CodFisc", 16},   {"Carta", 30},        {"ScadeCarta", 30},
    {"PartitaIva", 11},   {"Iban", 27},      {"Intestatario", 50}, {"Note", 250},
    {"Annullata", 2},     {"File01", 250},   {"File02", 250},      {"File03", 250},
    {"Desc01", 250},      {"Desc02", 250},   {"Desc03", 250},
}};

constexpr std::array<DefinizioneCampo, NumeroCampi> CostruisciCampi()
{
    std::array<DefinizioneCampo, NumeroCampi> r{};
    int offset = 0;
    for (int i = 0; i < NumeroCampi; ++i) {
        r[i] = {Capacita[i].first, Capacita[i].second, offset};
        offset += Capacita[i].second + 1;
    }
    return r;
}
constexpr auto Campi = CostruisciCampi();
static_assert(Campi[NumeroCampi - 1].offset + Campi[NumeroCampi - 1].capacita + 1 ==
                  DimensioneScheda,
              "fields must add up to the record size");
} // namespace

const std::array<DefinizioneCampo, NumeroCampi> CampiScheda = Campi;

void ScriviCampo(unsigned char *destinazione, int capacita, const QString &testo)
{
    const QByteArray b = Testo::ToWin1252(Testo::Trim32(testo));
    const int n = static_cast<int>(std::min<qsizetype>(b.size(), capacita));
    std::memset(destinazione, 0, static_cast<size_t>(capacita) + 1);
    destinazione[0] = static_cast<unsigned char>(n);
    std::memcpy(destinazione + 1, b.constData(), static_cast<size_t>(n));
}

QString LeggiCampo(const unsigned char *origine, int capacita)
{
    const int n = std::min<int>(origine[0], capacita);
    return Testo::Trim32(Testo::FromWin1252(reinterpret_cast<const char *>(origine + 1), n));
}

QString TScheda::Leggi(Campo c) const
{
    const DefinizioneCampo &d = Definizione(c);
    return LeggiCampo(byte.data() + d.offset, d.capacita);
}

void TScheda::Scrivi(Campo c, const QString &testo)
{
    const DefinizioneCampo &d = Definizione(c);
    ScriviCampo(byte.data() + d.offset, d.capacita, testo);
}

const unsigned char *TScheda::Dati(Campo c, int *lunghezza) const
{
    const DefinizioneCampo &d = Definizione(c);
    *lunghezza = std::min<int>(byte[d.offset], d.capacita);
    return byte.data() + d.offset + 1;
}
