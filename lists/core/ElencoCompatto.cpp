// The compact list: record lines kept as the bytes of their five shown fields, sorted by
// a key of byte ranks, searched as bytes.
#include "archive/Testo.h"
#include "lists/core/Elenco.h"

#include <algorithm>
#include <cstring>
#include <numeric>
#include <string>
#include <thread>

namespace {
// The shown fields in line order, and what is kept of each: the name whole (the key of
// the reminders' log), the others as far as the line shows them.
constexpr std::array CampiVoce = {Campo::Tesserato, Campo::NumTessera, Campo::DataScade,
                                  Campo::Recapito, Campo::Note};
constexpr std::array<int, 5> Conservati = {50, Elenchi::LarghezzaTessera,
                                           Elenchi::LarghezzaScadenza, 12, 250};
// Widths in the line; the note takes its own length.
constexpr std::array<int, 4> Larghezze = {Elenchi::LarghezzaTesserato, Elenchi::LarghezzaTessera,
                                          Elenchi::LarghezzaScadenza, 12};
// Everything of a record line but its note.
constexpr int ParteFissa = 102;
constexpr int BitBlocco = 20;
constexpr size_t DimensioneBlocco = size_t(1) << BitBlocco;
// Blocks a reference can address beside its text mark.
constexpr size_t BlocchiMassimi = 2048;

// The line's Windows-1252 bytes; `colonna` goes right after the expiry date.
void ScriviRiga(const unsigned char *v, const std::string *colonna, std::string &out)
{
    out.clear();
    const unsigned char *d = v + CampiVoce.size();
    const auto campo = [&](size_t k) {
        const int n = std::min<int>(v[k], Larghezze[k]);
        out.append(reinterpret_cast<const char *>(d), size_t(n));
        out.append(size_t(Larghezze[k] - n), ' ');
        d += v[k];
    };
    campo(0);
    out.append("  Tessera n. ");
    campo(1);
    out.append("  Scad. ");
    campo(2);
    if (colonna)
        out.append(*colonna);
    out.append("  Tel. ");
    campo(3);
    out.append("  ");
    out.append(reinterpret_cast<const char *>(d), v[4]);
}

// The line's bytes with A-Z lowered, for the find; `colonna` is already lowered. The
// buffer holds ParteFissa + 255 + the column.
size_t RigaMinuscola(const unsigned char *v, const std::string *colonna, char *out)
{
    static const std::array<char, 256> minuscola = [] {
        std::array<char, 256> m{};
        for (int b = 0; b < 256; ++b)
            m[size_t(b)] = static_cast<char>(b >= 'A' && b <= 'Z' ? b + 32 : b);
        return m;
    }();
    char *o = out;
    const unsigned char *d = v + CampiVoce.size();
    const auto campo = [&](size_t k, int larghezza) {
        const int n = std::min<int>(v[k], larghezza);
        for (int j = 0; j < n; ++j)
            *o++ = minuscola[d[j]];
        std::memset(o, ' ', size_t(larghezza - n));
        o += larghezza - n;
        d += v[k];
    };
    const auto fisso = [&](const char *testo, size_t n) {
        std::memcpy(o, testo, n);
        o += n;
    };
    campo(0, Larghezze[0]);
    fisso("  tessera n. ", 13);
    campo(1, Larghezze[1]);
    fisso("  scad. ", 8);
    campo(2, Larghezze[2]);
    if (colonna)
        fisso(colonna->data(), colonna->size());
    fisso("  tel. ", 7);
    campo(3, Larghezze[3]);
    fisso("  ", 2);
    campo(4, v[4]);
    return size_t(o - out);
}

// The order of PrimaDi on single Windows-1252 bytes: the rank of each byte's character
// with a-z taken as A-Z, from 1; 0 is the end of a key, before every character.
// Windows-1252's 0x80-0x9F stand for characters above 0xFF, so ranks follow the
// characters, not the bytes.
const std::array<unsigned char, 256> &Ranghi()
{
    static const std::array<unsigned char, 256> ranghi = [] {
        std::array<char16_t, 256> peso{};
        for (int b = 0; b < 256; ++b) {
            const char16_t c = Testo::FromWin1252(static_cast<unsigned char>(b)).unicode();
            peso[size_t(b)] = (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c;
        }
        std::array<char16_t, 256> distinti = peso;
        std::sort(distinti.begin(), distinti.end());
        const auto fine = std::unique(distinti.begin(), distinti.end());
        std::array<unsigned char, 256> r{};
        for (size_t b = 0; b < 256; ++b)
            r[b] = static_cast<unsigned char>(std::lower_bound(distinti.begin(), fine, peso[b]) -
                                              distinti.begin() + 1);
        return r;
    }();
    return ranghi;
}

// Twelve bytes: eight ranks of the key from the current depth, the first highest, and
// the line. Kept small, as a million of them sit beside the list while it sorts.
struct Elemento {
    quint32 alta, bassa, voce;
    quint64 Cifra() const { return (quint64(alta) << 32) | bassa; }
    void Imposta(quint64 c)
    {
        alta = quint32(c >> 32);
        bassa = quint32(c);
    }
};

// Multikey quicksort on eight key characters at a time: lines that share a long start
// (a surname, a name, the padding) are split by the characters after it, not compared
// again from the beginning. The key is the line without its fixed labels, which every
// record line has at the same columns: the same order.
class Ordinamento {
public:
    Ordinamento(const std::vector<std::vector<unsigned char>> &blocchi,
                const std::vector<quint32> &rif, const std::vector<int> &posizioni)
        : m_blocchi(blocchi), m_rif(rif), m_posizioni(posizioni), m_ranghi(Ranghi())
    {
    }

    quint64 Cifra(quint32 voce, int d) const
    {
        const quint32 r = m_rif[voce];
        const unsigned char *v = m_blocchi[r >> BitBlocco].data() + (r & (DimensioneBlocco - 1));
        const unsigned char *dati = v + CampiVoce.size();
        const unsigned char spazio = m_ranghi[' '];
        quint64 c = 0;
        int presi = 0, inizio = 0;
        for (size_t k = 0; k < CampiVoce.size() && presi < 8; ++k) {
            const int n = k < Larghezze.size() ? std::min<int>(v[k], Larghezze[k]) : v[k];
            const int fine = inizio + (k < Larghezze.size() ? Larghezze[k] : n);
            for (; presi < 8 && d < fine; ++d, ++presi) {
                const int j = d - inizio;
                c = (c << 8) | (j < n ? m_ranghi[dati[j]] : spazio);
            }
            inizio = fine;
            dati += v[k];
        }
        // Past the end: zeros, the end mark (a shift of 64 would be undefined).
        return presi == 0 ? 0 : presi == 8 ? c : c << (8 * (8 - presi));
    }

    void Ordina(Elemento *a, size_t n, int d) const
    {
        while (n > 1) {
            if (n < 16) {
                for (size_t i = 1; i < n; ++i)
                    for (size_t j = i; j > 0 && Prima(a[j], a[j - 1], d); --j)
                        std::swap(a[j], a[j - 1]);
                return;
            }
            const quint64 x = a[0].Cifra(), y = a[n / 2].Cifra(), z = a[n - 1].Cifra();
            const quint64 perno = std::max(std::min(x, y), std::min(std::max(x, y), z));
            size_t minori = 0, i = 0, maggiori = n;
            while (i < maggiori) {
                const quint64 c = a[i].Cifra();
                if (c < perno)
                    std::swap(a[minori++], a[i++]);
                else if (c > perno)
                    std::swap(a[i], a[--maggiori]);
                else
                    ++i;
            }
            Ordina(a, minori, d);
            Elemento *uguali = a + minori;
            const size_t quanti = maggiori - minori;
            if ((perno & 0xFF) == 0) {
                // The keys ended: equal lines, in archive order.
                std::sort(uguali, uguali + quanti, [&](const Elemento &p, const Elemento &q) {
                    return PerPosizione(p.voce, q.voce);
                });
            } else {
                for (size_t k = 0; k < quanti; ++k)
                    uguali[k].Imposta(Cifra(uguali[k].voce, d + 8));
                Ordina(uguali, quanti, d + 8);
            }
            a += maggiori;
            n -= maggiori;
        }
    }

private:
    bool PerPosizione(quint32 p, quint32 q) const
    {
        return m_posizioni[p] != m_posizioni[q] ? m_posizioni[p] < m_posizioni[q] : p < q;
    }

    bool Prima(const Elemento &p, const Elemento &q, int d) const
    {
        quint64 cp = p.Cifra(), cq = q.Cifra();
        for (int e = d + 8; cp == cq; e += 8) {
            if ((cp & 0xFF) == 0)
                return PerPosizione(p.voce, q.voce);
            cp = Cifra(p.voce, e);
            cq = Cifra(q.voce, e);
        }
        return cp < cq;
    }

    const std::vector<std::vector<unsigned char>> &m_blocchi;
    const std::vector<quint32> &m_rif;
    const std::vector<int> &m_posizioni;
    const std::array<unsigned char, 256> &m_ranghi;
};
} // namespace

void Elenco::clear()
{
    *this = Elenco();
}

void Elenco::reserve(size_t n)
{
    m_posizioni.reserve(n);
    m_rif.reserve(n);
    m_ordine.reserve(n);
}

const unsigned char *Elenco::Voce(quint32 rif) const
{
    return m_blocchi[rif >> BitBlocco].data() + (rif & (DimensioneBlocco - 1));
}

void Elenco::Accoda(int posizione, quint32 rif)
{
    m_ordine.push_back(quint32(m_posizioni.size()));
    m_posizioni.push_back(posizione);
    m_rif.push_back(rif);
    if (!m_colonna.empty())
        m_colonna.push_back(0);
}

void Elenco::Aggiungi(int posizione, const TScheda &s)
{
    std::array<const unsigned char *, CampiVoce.size()> dati{};
    std::array<int, CampiVoce.size()> lunghezze{};
    size_t totale = CampiVoce.size();
    for (size_t k = 0; k < CampiVoce.size(); ++k) {
        int n = 0;
        const unsigned char *d = s.Dati(CampiVoce[k], &n);
        // Trimmed of codes up to 32, as the read rule trims: those bytes are those codes.
        while (n > 0 && d[0] <= 32) {
            ++d;
            --n;
        }
        while (n > 0 && d[n - 1] <= 32)
            --n;
        dati[k] = d;
        lunghezze[k] = std::min(n, Conservati[k]);
        totale += size_t(lunghezze[k]);
    }
    if (m_blocchi.empty() || m_blocchi.back().size() + totale > DimensioneBlocco) {
        if (m_blocchi.size() == BlocchiMassimi) {
            push_back({Elenchi::RigaScheda(s), posizione});
            return;
        }
        m_blocchi.emplace_back().reserve(DimensioneBlocco);
    }
    std::vector<unsigned char> &blocco = m_blocchi.back();
    Accoda(posizione, quint32((m_blocchi.size() - 1) << BitBlocco) | quint32(blocco.size()));
    for (int n : lunghezze)
        blocco.push_back(static_cast<unsigned char>(n));
    for (size_t k = 0; k < CampiVoce.size(); ++k)
        blocco.insert(blocco.end(), dati[k], dati[k] + lunghezze[k]);
}

void Elenco::push_back(const VoceElenco &v)
{
    Accoda(v.posizione, DiTesto | quint32(m_testi.size()));
    m_testi.push_back(v.riga);
}

QString Elenco::RigaVoce(quint32 voce) const
{
    const quint32 rif = m_rif[voce];
    const quint32 colonna = m_colonna.empty() ? 0 : m_colonna[voce];
    QString riga;
    if (rif & DiTesto) {
        riga = m_testi[rif & ~DiTesto];
        if (colonna && riga.size() >= Elenchi::FineScadenza)
            riga.insert(Elenchi::FineScadenza, m_colonne[colonna - 1]);
        return riga;
    }
    std::string byte;
    ScriviRiga(Voce(rif), nullptr, byte);
    riga = Testo::FromWin1252(byte.data(), qsizetype(byte.size()));
    if (colonna)
        riga.insert(Elenchi::FineScadenza, m_colonne[colonna - 1]);
    return riga;
}

QString Elenco::Riga(size_t i) const
{
    return RigaVoce(m_ordine[i]);
}

QString Elenco::Tesserato(size_t i) const
{
    const quint32 rif = m_rif[m_ordine[i]];
    if (rif & DiTesto)
        return {};
    const unsigned char *v = Voce(rif);
    return Testo::FromWin1252(reinterpret_cast<const char *>(v + CampiVoce.size()), v[0]);
}

void Elenco::ImpostaColonna(size_t i, const QString &testo)
{
    if (m_colonna.empty())
        m_colonna.assign(size(), 0);
    auto id = m_indiceColonne.constFind(testo);
    if (id == m_indiceColonne.constEnd()) {
        m_colonne.push_back(testo);
        id = m_indiceColonne.insert(testo, quint32(m_colonne.size()));
    }
    m_colonna[m_ordine[i]] = *id;
}

int Elenco::LunghezzaMassima() const
{
    // Line by line in the order they were added, which is the order of the blocks.
    qsizetype massima = 0;
    for (size_t v = 0; v < size(); ++v) {
        const quint32 rif = m_rif[v];
        const bool testo = rif & DiTesto;
        qsizetype n = testo ? m_testi[rif & ~DiTesto].size() : ParteFissa + Voce(rif)[4];
        const quint32 colonna = m_colonna.empty() ? 0 : m_colonna[v];
        if (colonna && (!testo || n >= Elenchi::FineScadenza))
            n += m_colonne[colonna - 1].size();
        massima = std::max(massima, n);
    }
    return static_cast<int>(massima);
}

void Elenco::Ordina()
{
    if (!m_testi.empty() || !m_colonna.empty()) {
        OrdinaTesti();
        return;
    }
    const size_t n = size();
    const Ordinamento o(m_blocchi, m_rif, m_posizioni);
    std::vector<Elemento> a(n);
    for (size_t v = 0; v < n; ++v) {
        a[v].Imposta(o.Cifra(quint32(v), 0));
        a[v].voce = quint32(v);
    }
    o.Ordina(a.data(), n, 0);
    for (size_t i = 0; i < n; ++i)
        m_ordine[i] = a[i].voce;
}

void Elenco::OrdinaTesti()
{
    // Lines given as text or with a column: compared as the lines they show.
    const size_t n = size();
    std::vector<QString> righe(n);
    for (size_t v = 0; v < n; ++v)
        righe[v] = RigaVoce(quint32(v));
    std::sort(m_ordine.begin(), m_ordine.end(), [&](quint32 x, quint32 y) {
        if (Elenchi::PrimaDi(righe[x], righe[y]))
            return true;
        if (Elenchi::PrimaDi(righe[y], righe[x]))
            return false;
        return m_posizioni[x] != m_posizioni[y] ? m_posizioni[x] < m_posizioni[y] : x < y;
    });
}

int Elenco::TrovaDa(const QString &chiave, int inizio, bool giro) const
{
    const int n = static_cast<int>(size());
    if (n == 0 || chiave.isEmpty() || inizio < 0 || inizio >= n)
        return -1;
    // The key as bytes; a character with no byte is in no record line.
    std::string k;
    bool inByte = true;
    for (const QChar c : chiave) {
        const char b = Testo::ToWin1252(c);
        if (Testo::FromWin1252(static_cast<unsigned char>(b)) != c) {
            inByte = false;
            break;
        }
        k.push_back(b);
    }
    // Columns as lowered bytes, or compared as text when a character has no byte.
    std::vector<std::string> colonne(m_colonne.size());
    std::vector<char> esatte(m_colonne.size());
    size_t colonnaMassima = 0;
    for (size_t c = 0; c < m_colonne.size(); ++c) {
        esatte[c] = Testo::FromWin1252(Testo::ToWin1252(m_colonne[c])) == m_colonne[c];
        colonne[c] = Testo::ToWin1252(Testo::MinuscoleAZ(m_colonne[c])).toStdString();
        colonnaMassima = std::max(colonnaMassima, colonne[c].size());
    }
    // Every line is tested in the order of the blocks, which reads memory straight
    // through, on two threads; then the first line that holds the key is taken in the
    // list's order.
    std::vector<char> tiene(size_t(n), 0);
    const auto prova = [&](size_t da, size_t a) {
        std::vector<char> riga(size_t(ParteFissa) + 256 + colonnaMassima);
        for (size_t v = da; v < a; ++v) {
            const quint32 rif = m_rif[v];
            const quint32 colonna = m_colonna.empty() ? 0 : m_colonna[v];
            if ((rif & DiTesto) || (colonna && !esatte[colonna - 1])) {
                tiene[v] = Testo::MinuscoleAZ(RigaVoce(quint32(v))).contains(chiave);
            } else if (inByte) {
                const size_t lunga = RigaMinuscola(
                    Voce(rif), colonna ? &colonne[colonna - 1] : nullptr, riga.data());
                tiene[v] = memmem(riga.data(), lunga, k.data(), k.size()) != nullptr;
            }
        }
    };
    if (n < 2048) {
        prova(0, size_t(n));
    } else {
        std::thread secondo(prova, size_t(n) / 2, size_t(n));
        prova(0, size_t(n) / 2);
        secondo.join();
    }
    const int quante = giro ? n : n - inizio;
    for (int j = 0; j < quante; ++j) {
        const int i = (inizio + j) % n;
        if (tiene[m_ordine[size_t(i)]])
            return i;
    }
    return -1;
}
