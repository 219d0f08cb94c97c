// The compact list: record lines kept as the bytes of their five shown fields, sorted by
// a key of byte ranks, searched as bytes.
#include "archive/Testo.h"
#include "lists/core/Elenco.h"

#include <algorithm>
#include <cstring>
#include <numeric>
#include <string>

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

struct Elemento {
    quint64 cifra; // eight ranks of the key from the current depth, the first highest
    quint32 voce;
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
        return presi == 8 ? c : c << (8 * (8 - presi));
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
            const quint64 x = a[0].cifra, y = a[n / 2].cifra, z = a[n - 1].cifra;
            const quint64 perno = std::max(std::min(x, y), std::min(std::max(x, y), z));
            size_t minori = 0, i = 0, maggiori = n;
            while (i < maggiori) {
                if (a[i].cifra < perno)
                    std::swap(a[minori++], a[i++]);
                else if (a[i].cifra > perno)
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
                    uguali[k].cifra = Cifra(uguali[k].voce, d + 8);
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
        quint64 cp = p.cifra, cq = q.cifra;
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
}

const unsigned char *Elenco::Voce(quint32 rif) const
{
    return m_blocchi[rif >> BitBlocco].data() + (rif & (DimensioneBlocco - 1));
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
    m_rif.push_back(quint32((m_blocchi.size() - 1) << BitBlocco) | quint32(blocco.size()));
    m_posizioni.push_back(posizione);
    for (int n : lunghezze)
        blocco.push_back(static_cast<unsigned char>(n));
    for (size_t k = 0; k < CampiVoce.size(); ++k)
        blocco.insert(blocco.end(), dati[k], dati[k] + lunghezze[k]);
    if (!m_colonna.empty())
        m_colonna.push_back(0);
}

void Elenco::push_back(const VoceElenco &v)
{
    m_rif.push_back(DiTesto | quint32(m_testi.size()));
    m_testi.push_back(v.riga);
    m_posizioni.push_back(v.posizione);
    if (!m_colonna.empty())
        m_colonna.push_back(0);
}

QString Elenco::Riga(size_t i) const
{
    const quint32 rif = m_rif[i];
    const quint32 colonna = m_colonna.empty() ? 0 : m_colonna[i];
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

QString Elenco::Tesserato(size_t i) const
{
    const quint32 rif = m_rif[i];
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
    m_colonna[i] = *id;
}

int Elenco::LunghezzaMassima() const
{
    qsizetype massima = 0;
    if (m_colonna.empty()) {
        // Block by block: only the notes differ in length.
        for (const std::vector<unsigned char> &b : m_blocchi)
            for (size_t o = 0; o < b.size();) {
                massima = std::max<qsizetype>(massima, ParteFissa + b[o + 4]);
                o += CampiVoce.size() + b[o] + b[o + 1] + b[o + 2] + b[o + 3] + b[o + 4];
            }
        for (const QString &t : m_testi)
            massima = std::max(massima, t.size());
        return static_cast<int>(massima);
    }
    for (size_t i = 0; i < size(); ++i) {
        const quint32 rif = m_rif[i];
        const bool testo = rif & DiTesto;
        qsizetype n = testo ? m_testi[rif & ~DiTesto].size() : ParteFissa + Voce(rif)[4];
        if (m_colonna[i] && (!testo || n >= Elenchi::FineScadenza))
            n += m_colonne[m_colonna[i] - 1].size();
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
    for (size_t i = 0; i < n; ++i)
        a[i] = {o.Cifra(quint32(i), 0), quint32(i)};
    o.Ordina(a.data(), n, 0);
    // Position and reference side by side in the sort's own array, then back in order.
    for (Elemento &e : a)
        e.cifra = (quint64(quint32(m_posizioni[e.voce])) << 32) | m_rif[e.voce];
    for (size_t i = 0; i < n; ++i) {
        m_posizioni[i] = static_cast<int>(quint32(a[i].cifra >> 32));
        m_rif[i] = quint32(a[i].cifra);
    }
}

void Elenco::OrdinaTesti()
{
    // Lines given as text or with a column: compared as the lines they show.
    const size_t n = size();
    std::vector<QString> righe(n);
    for (size_t i = 0; i < n; ++i)
        righe[i] = Riga(i);
    std::vector<quint32> ordine(n);
    std::iota(ordine.begin(), ordine.end(), 0U);
    std::sort(ordine.begin(), ordine.end(), [&](quint32 x, quint32 y) {
        if (Elenchi::PrimaDi(righe[x], righe[y]))
            return true;
        if (Elenchi::PrimaDi(righe[y], righe[x]))
            return false;
        return m_posizioni[x] != m_posizioni[y] ? m_posizioni[x] < m_posizioni[y] : x < y;
    });
    std::vector<int> posizioni(n);
    std::vector<quint32> rif(n), colonna(m_colonna.empty() ? 0 : n);
    for (size_t i = 0; i < n; ++i) {
        posizioni[i] = m_posizioni[ordine[i]];
        rif[i] = m_rif[ordine[i]];
        if (!colonna.empty())
            colonna[i] = m_colonna[ordine[i]];
    }
    m_posizioni = std::move(posizioni);
    m_rif = std::move(rif);
    m_colonna = std::move(colonna);
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
    // Columns as bytes, or compared as text when a character has no byte.
    std::vector<std::string> colonne(m_colonne.size());
    std::vector<char> esatte(m_colonne.size());
    for (size_t c = 0; c < m_colonne.size(); ++c) {
        const QByteArray b = Testo::ToWin1252(m_colonne[c]);
        colonne[c] = b.toStdString();
        esatte[c] = Testo::FromWin1252(b) == m_colonne[c];
    }
    std::string riga;
    riga.reserve(512);
    const auto contiene = [&](size_t i) {
        const quint32 rif = m_rif[i];
        const quint32 colonna = m_colonna.empty() ? 0 : m_colonna[i];
        if ((rif & DiTesto) || (colonna && !esatte[colonna - 1]))
            return Testo::MinuscoleAZ(Riga(i)).contains(chiave);
        if (!inByte)
            return false;
        ScriviRiga(Voce(rif), colonna ? &colonne[colonna - 1] : nullptr, riga);
        for (char &c : riga)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c + 32);
        return memmem(riga.data(), riga.size(), k.data(), k.size()) != nullptr;
    };
    const int quante = giro ? n : n - inizio;
    for (int j = 0; j < quante; ++j) {
        const int i = (inizio + j) % n;
        if (contiene(size_t(i)))
            return i;
    }
    return -1;
}
