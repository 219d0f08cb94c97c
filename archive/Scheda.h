#pragma once
// The member record: 35 length-prefixed Windows-1252 fields, 2764 bytes, no padding.
#include <QString>

#include <array>
#include <cstddef>

enum class Campo {
    Tesserato,
    Carica,
    NumTessera,
    DataRil,
    DataScade,
    DataNasc,
    ComuneNasc,
    ProvNasc,
    Sesso,
    ComuneRes,
    ProvRes,
    CapRes,
    IndirizzoRes,
    Preavviso,
    Titoli,
    TelCasa,
    TelUff,
    TelCel,
    Recapito,
    Fax,
    Email,
    CodFisc,
    Carta,
    ScadeCarta,
    PartitaIva,
    Iban,
    Intestatario,
    Note,
    Annullata,
    File01,
    File02,
    File03,
    Desc01,
    Desc02,
    Desc03
};

struct DefinizioneCampo {
    const char *nome;
    int capacita; // N: characters the field holds
    int offset;   // position of its length byte in the record
};

inline constexpr int NumeroCampi = 35;
inline constexpr int DimensioneScheda = 2764;

// Fields in record order with capacity and offset.
extern const std::array<DefinizioneCampo, NumeroCampi> CampiScheda;

inline const DefinizioneCampo &Definizione(Campo c)
{
    return CampiScheda[static_cast<int>(c)];
}

// The stored texts of the cancelled mark.
inline const QString AnnullataSi = QStringLiteral("S\u00EC");
inline const QString AnnullataNo = QStringLiteral("No");

struct TScheda {
    std::array<unsigned char, DimensioneScheda> byte{};

    QString Leggi(Campo c) const;               // read rule
    void Scrivi(Campo c, const QString &testo); // store rule
    // Raw Windows-1252 bytes of a field, length byte clamped to the capacity.
    const unsigned char *Dati(Campo c, int *lunghezza) const;
};
static_assert(sizeof(TScheda) == DimensioneScheda, "TScheda must be exactly one record");

// Store rule: trim codes up to 32, convert to Windows-1252, cut to N, length byte first.
void ScriviCampo(unsigned char *destinazione, int capacita, const QString &testo);
// Read rule: the L characters after the length byte from Windows-1252, trimmed.
// A length byte larger than the capacity reads as the capacity.
QString LeggiCampo(const unsigned char *origine, int capacita);
