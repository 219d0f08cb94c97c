#pragma once
// The record lists of the search and the renewal screens: the fixed-width record
// line, its order, the scans that fill the lists and the find inside a list.
// Every line keeps the position of its record, so the record behind a chosen
// line is read again by position, never guessed from the text.
#include "archive/Scheda.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>

#include <array>
#include <cstddef>
#include <vector>

struct VoceElenco {
    QString riga;
    int posizione = 0; // 1-based position in the archive file
};

// A list of record lines kept small: of each record only the bytes of the five fields
// its line shows (Windows-1252, as stored), the line built when it is asked for. A
// million lines then take tens of megabytes instead of hundreds, and sort on keys of
// bytes. Lines handed over as text (push_back) are kept as text.
class Elenco {
public:
    size_t size() const { return m_posizioni.size(); }
    bool empty() const { return m_posizioni.empty(); }
    void clear();
    void reserve(size_t n);

    // The line of the record at `posizione` (RigaScheda).
    void Aggiungi(int posizione, const TScheda &s);
    // A line given as text.
    void push_back(const VoceElenco &v);

    int Posizione(size_t i) const { return m_posizioni[m_ordine[i]]; }
    QString Riga(size_t i) const;
    // The member's name of a record line; a null string for a line given as text.
    QString Tesserato(size_t i) const;
    VoceElenco operator[](size_t i) const { return {Riga(i), Posizione(i)}; }
    // Inserts `testo` in line i right after the expiry date (a column of the renewal
    // list); lines given as text shorter than that stay as they are.
    void ImpostaColonna(size_t i, const QString &testo);
    // Characters of the longest line.
    int LunghezzaMassima() const;

    // Sorts by PrimaDi, equal lines by position.
    void Ordina();
    // The first line from `inizio` on (wrapping when `giro`) that contains `chiave`
    // once A-Z are lowered; -1 when none.
    int TrovaDa(const QString &chiave, int inizio, bool giro) const;

    class const_iterator {
    public:
        using value_type = VoceElenco;
        using difference_type = std::ptrdiff_t;
        const_iterator(const Elenco *e, size_t i) : m_e(e), m_i(i) {}
        VoceElenco operator*() const { return (*m_e)[m_i]; }
        const_iterator &operator++()
        {
            ++m_i;
            return *this;
        }
        bool operator==(const const_iterator &o) const { return m_i == o.m_i; }
        bool operator!=(const const_iterator &o) const { return m_i != o.m_i; }

    private:
        const Elenco *m_e;
        size_t m_i;
    };
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

private:
    // A record line: in a block, five length bytes then the fields' bytes. A line given
    // as text: DiTesto | index in m_testi.
    static constexpr quint32 DiTesto = 0x80000000U;
    const unsigned char *Voce(quint32 rif) const;
    void Accoda(int posizione, quint32 rif);
    QString RigaVoce(quint32 voce) const;
    void OrdinaTesti();

    // By line in the order added: position and reference (blocks fill in that order).
    std::vector<int> m_posizioni;
    std::vector<quint32> m_rif;
    // The lines in the list's order.
    std::vector<quint32> m_ordine;
    std::vector<std::vector<unsigned char>> m_blocchi;
    std::vector<QString> m_testi;
    // Inserted columns by line added: 0 none, else 1 + index in m_colonne (empty when
    // none is set).
    std::vector<quint32> m_colonna;
    std::vector<QString> m_colonne;
    QHash<QString, quint32> m_indiceColonne;
};

namespace Elenchi {

inline constexpr int NumeroFiltri = 10;
using Filtri = std::array<QString, NumeroFiltri>;

// The record fields the ten filters compare against, in the order of the filter boxes.
extern const std::array<Campo, NumeroFiltri> CampiFiltro;

// Tesserato(30) "  Tessera n. " NumTessera(20) "  Scad. " DataScade(10) "  Tel. "
// Recapito(12) "  " Note.
QString RigaScheda(const TScheda &s);
// The parts of the line up to the expiry date, and where it ends: a column inserted
// there keeps the columns after it aligned.
inline constexpr int LarghezzaTesserato = 30, LarghezzaTessera = 20, LarghezzaScadenza = 10;
inline constexpr QLatin1String EtichettaTessera("  Tessera n. "), EtichettaScadenza("  Scad. ");
inline constexpr qsizetype FineScadenza = LarghezzaTesserato + EtichettaTessera.size() +
                                          LarghezzaTessera + EtichettaScadenza.size() +
                                          LarghezzaScadenza;

// Character codes with a-z taken as A-Z; a line that begins another comes first.
bool PrimaDi(const QString &a, const QString &b);
void Ordina(Elenco &e);

// Filters whose text, trimmed, is not empty.
int FiltriAttivi(const Filtri &filtri);
// Not cancelled: Annullata is exactly "No".
bool Valida(const TScheda &s);
// Scans the archive of the folder and lists, sorted, every valid record in which each
// active filter, as typed and lower-cased A-Z, occurs in its field.
// Throws ErroreFile when the archive cannot be opened or read.
Elenco Cerca(const QString &cartella, const Filtri &filtri);

// Expiry date minus the notice days on or before today, and not cancelled.
// A record whose expiry date or notice cannot be read is not due.
bool DaRinnovare(const TScheda &s, const QDate &oggi);
// Scans the archive into `elenco` (sorted also when the scan stops on an error,
// which is then thrown as ErroreFile).
void InRinnovo(const QString &cartella, const QDate &oggi, Elenco &elenco);

// Lists, sorted, the records at the given positions, read in one pass over the archive.
// Throws ErroreFile (the records read so far stay listed, sorted).
void Posizioni(const QString &cartella, const QList<int> &posizioni, Elenco &elenco);

// Find inside a list: returns the line to select, or -1 to keep the selection.
// Both keys are already lower-cased A-Z. A key equal to the last one continues after
// the selected line, wrapping; a new key searches from the top.
int Trova(const Elenco &e, int selezionata, const QString &chiave, const QString &ultimaChiave);

} // namespace Elenchi
