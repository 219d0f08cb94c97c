// The XLSX reader: workbook, relations, styles, shared strings, and the sheet read in pieces.
#include "import/core/FoglioZip.h"

#include <QByteArrayMatcher>
#include <QDate>
#include <QHash>
#include <QSet>

#include <limits>
#include <string_view>

using namespace FoglioZip;

namespace {

// Rows as a helper thread reads them: the cells' texts go one after another into a
// single string, or are the index of a shared string, so that the thread makes few
// allocations and the strings of the cells are made by the thread that uses them.
struct CellaLetta {
    int colonna;
    bool condivisa; // inizio is the index of a shared string, else a span of testo
    qsizetype inizio, lunghezza;
};
struct RigheLette {
    QString testo;
    std::vector<CellaLetta> celle;
    std::vector<std::pair<int, qsizetype>> righe; // "r" (0 when missing), number of cells
    int larghezza = 0;                            // of the row being read: last column + 1
    qsizetype inizioRiga = 0;                     // where the row's text starts in testo
    void Svuota()
    {
        testo.resize(0);
        celle.clear();
        righe.clear();
        inizioRiga = 0;
    }
};

class TFoglioXlsx : public TFoglio {
public:
    TFoglioXlsx(const QString &percorso, const std::atomic<bool> *annulla);
    QStringList Fogli() const override { return m_nomi; }
    void Leggi(int foglio, const Riga &f) override;

private:
    void LeggiRelazioni(QHash<QString, QString> *bersagli);
    void LeggiStili();
    void LeggiStringhe();
    TFusioni CercaFusioni(const QString &voce) const;
    void LeggiCella(QXmlStreamReader &x, RigheLette &l, QString &v) const;
    template <class F>
    void LeggiRighe(QXmlStreamReader &x, RigheLette &l, QStringList *aperti, F &&finita) const;
    struct TConsegna;
    void LeggiInSequenza(const QString &nome, TConsegna &consegna);
    static void TestoRicco(QXmlStreamReader &x, QString &testo); // <si> or <is>: its <t> texts
    static QStringList Stringhe(QXmlStreamReader &x, QStringList *aperti);

    QString m_percorso;
    const std::atomic<bool> *m_annulla;
    TFileZip m_file;
    QuaZip m_zip;
    QStringList m_nomi, m_voci;
    bool m_1904 = false;
    QString m_voceStringhe = QStringLiteral("xl/sharedStrings.xml");
    QString m_voceStili = QStringLiteral("xl/styles.xml");
    QSet<int> m_stiliData;        // cellXfs indices that show a date
    QHash<int, int> m_cifreStile; // cellXfs index -> digits shown ("00000": 5)
    QStringList m_stringhe;       // each cell of a shared string takes a copy, not a new string
    bool m_stringheLette = false;
};

// An element's name compared inline: the loops over rows and strings run for every
// token.
bool E(QStringView nome, std::u16string_view atteso)
{
    return size_t(nome.size()) == atteso.size() &&
           std::equal(atteso.begin(), atteso.end(), nome.utf16());
}

QString Bersaglio(const QString &target)
{
    if (target.startsWith(u'/'))
        return target.mid(1);
    return QStringLiteral("xl/") + target;
}

TFoglioXlsx::TFoglioXlsx(const QString &percorso, const std::atomic<bool> *annulla)
    : m_percorso(percorso), m_annulla(annulla), m_file(percorso), m_zip(&m_file)
{
    ApriZip(m_zip);
    QHash<QString, QString> bersagli;
    LeggiRelazioni(&bersagli);
    TVoceZip voce(&m_zip, QStringLiteral("xl/workbook.xml"), m_annulla);
    if (!voce.Esiste())
        throw ErroreFile(Foglio::MessaggioNonFoglio());
    QXmlStreamReader x(&voce);
    while (!x.atEnd()) {
        if (x.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (x.name() == u"workbookPr") {
            const QStringView v = x.attributes().value(QStringLiteral("date1904"));
            m_1904 = v == u"1" || v == u"true";
        } else if (x.name() == u"sheet") {
            QString id;
            for (const QXmlStreamAttribute &a : x.attributes())
                if (a.name() == u"id")
                    id = a.value().toString();
            const QString v = bersagli.value(id);
            if (v.isEmpty())
                continue;
            if (m_nomi.size() >= Limiti::Fogli)
                throw ErroreFile(Foglio::MessaggioTroppiFogli());
            m_nomi << x.attributes().value(QStringLiteral("name")).toString();
            m_voci << v;
        }
    }
    voce.Verifica(x);
    voce.Chiudi(true);
    if (m_nomi.isEmpty())
        throw ErroreFile(Foglio::MessaggioNonFoglio());
}

void TFoglioXlsx::LeggiRelazioni(QHash<QString, QString> *bersagli)
{
    TVoceZip voce(&m_zip, QStringLiteral("xl/_rels/workbook.xml.rels"), m_annulla);
    if (!voce.Esiste())
        throw ErroreFile(Foglio::MessaggioNonFoglio());
    QXmlStreamReader x(&voce);
    while (!x.atEnd()) {
        if (x.readNext() != QXmlStreamReader::StartElement || x.name() != u"Relationship")
            continue;
        const auto a = x.attributes();
        const QString bersaglio = Bersaglio(a.value(QStringLiteral("Target")).toString());
        const QStringView tipo = a.value(QStringLiteral("Type"));
        if (tipo.endsWith(u"/sharedStrings"))
            m_voceStringhe = bersaglio;
        else if (tipo.endsWith(u"/styles"))
            m_voceStili = bersaglio;
        // Each sheet has one, and the styles, strings and the like a few more.
        if (bersagli->size() >= 10 * Limiti::Fogli)
            throw ErroreFile(Foglio::MessaggioTroppiFogli());
        bersagli->insert(a.value(QStringLiteral("Id")).toString(), bersaglio);
    }
    voce.Verifica(x);
    voce.Chiudi(true);
}

// Hands each character a number format shows by its code to `f`, skipping quoted text,
// escaped and padding characters and [..] sections; `f` returns false to stop.
template <class F> void CodiciVisibili(const QString &codice, F f)
{
    bool virgolette = false;
    int parentesi = 0;
    for (int i = 0; i < codice.size(); ++i) {
        const QChar c = codice[i];
        if (c == u'"')
            virgolette = !virgolette;
        else if (virgolette)
            continue;
        else if (c == u'\\' || c == u'_' || c == u'*')
            ++i;
        else if (c == u'[')
            ++parentesi;
        else if (c == u']')
            parentesi = std::max(0, parentesi - 1);
        else if (parentesi == 0 && !f(c))
            return;
    }
}

// True for a number format that shows a date: d or y outside quoted text and [..]
// sections ("General" and the times are no dates).
bool FormatoData(const QString &codice)
{
    bool data = false;
    CodiciVisibili(codice, [&](QChar c) {
        c = c.toLower();
        data = data || c == u'd' || c == u'y';
        return true;
    });
    return data;
}

// The digits a number format always shows before the decimal point: the '0' of
// "00000" (a postal code keeps its leading zeros), outside quoted text and [..]
// sections of the first section.
int CifreIntere(const QString &codice)
{
    int zeri = 0;
    CodiciVisibili(codice, [&](QChar c) {
        if (c == u';' || c == u'.' || c == u'e' || c == u'E')
            return false;
        if (c == u'0')
            ++zeri;
        return true;
    });
    return zeri;
}

void TFoglioXlsx::LeggiStili()
{
    TVoceZip voce(&m_zip, m_voceStili, m_annulla);
    if (!voce.Esiste())
        return;
    // Built-in date formats, then the workbook's own codes.
    QSet<int> formatiData = {14, 15, 16, 17, 22, 27, 28, 29, 30, 31,
                             34, 35, 36, 50, 51, 52, 53, 54, 57, 58};
    QHash<int, int> cifre; // format id -> digits always shown, when more than one
    QXmlStreamReader x(&voce);
    bool cellXfs = false;
    // A workbook holds at most 64,000 cell formats: past that many formats or codes the
    // rest is not read, so that their sets stay small.
    constexpr int MassimoStili = 65536;
    int xf = 0, codici = 0;
    bool fermo = false;
    while (!x.atEnd()) {
        const auto t = x.readNext();
        if (xf >= MassimoStili || codici >= MassimoStili) {
            fermo = true;
            break;
        }
        if (t == QXmlStreamReader::EndElement && x.name() == u"cellXfs")
            cellXfs = false;
        if (t != QXmlStreamReader::StartElement)
            continue;
        const auto a = x.attributes();
        if (x.name() == u"numFmt") {
            ++codici;
            const int id = a.value(QStringLiteral("numFmtId")).toInt();
            const QString codice = a.value(QStringLiteral("formatCode")).toString();
            if (FormatoData(codice))
                formatiData.insert(id);
            else
                formatiData.remove(id);
            if (const int n = CifreIntere(codice); n > 1)
                cifre.insert(id, std::min(n, 30));
            else
                cifre.remove(id);
        } else if (x.name() == u"cellXfs") {
            cellXfs = true;
        } else if (cellXfs && x.name() == u"xf") {
            const int id = a.value(QStringLiteral("numFmtId")).toInt();
            if (formatiData.contains(id))
                m_stiliData.insert(xf);
            else if (cifre.contains(id))
                m_cifreStile.insert(xf, cifre.value(id));
            ++xf;
        }
    }
    voce.Verifica(x);
    voce.Chiudi(!fermo);
}

// Appends the texts of the <t> elements inside the element x is on, up to its end.
void TFoglioXlsx::TestoRicco(QXmlStreamReader &x, QString &testo)
{
    const qsizetype massimo = testo.size() + Limiti::Cella; // a cell holds no more
    int livello = 0; // of the element being read, below the starting one
    bool inT = false;
    while (!x.atEnd()) {
        const auto tok = x.readNext();
        if (tok == QXmlStreamReader::StartElement) {
            // A phonetic guide is no part of the text, nor an element inside a <t>.
            if (inT || E(x.name(), u"rPh")) {
                x.skipCurrentElement();
                continue;
            }
            inT = E(x.name(), u"t");
            ++livello;
        } else if (tok == QXmlStreamReader::EndElement) {
            if (livello-- == 0)
                break;
            inT = false;
        } else if (inT && (tok == QXmlStreamReader::Characters ||
                           tok == QXmlStreamReader::EntityReference)) {
            testo += x.text().left(std::max<qsizetype>(0, massimo - testo.size()));
        }
    }
}

// The <si> texts that follow in x. With aperti, the names of the elements still open
// are kept there.
QStringList TFoglioXlsx::Stringhe(QXmlStreamReader &x, QStringList *aperti)
{
    QStringList s;
    qsizetype caratteri = 0;
    while (!x.atEnd()) {
        const auto tok = x.readNext();
        if (tok == QXmlStreamReader::StartElement && E(x.name(), u"si")) {
            QString testo;
            TestoRicco(x, testo);
            caratteri += testo.size();
            if (s.size() >= Limiti::Stringhe || caratteri > Limiti::TestoStringhe)
                throw ErroreFile(Foglio::MessaggioTroppiTesti());
            s.append(std::move(testo));
        } else if (aperti && tok == QXmlStreamReader::StartElement) {
            aperti->append(x.qualifiedName().toString());
        } else if (aperti && tok == QXmlStreamReader::EndElement && !aperti->isEmpty()) {
            aperti->removeLast();
        }
    }
    return s;
}

// Read in pieces by helper threads, or in one stream when that cannot be done.
void TFoglioXlsx::LeggiStringhe()
{
    m_stringheLette = true;
    qsizetype testo = 0;
    auto aggiungi = [this, &testo](const QStringList &s) {
        for (const QString &t : s)
            testo += t.size();
        if (m_stringhe.size() + s.size() > Limiti::Stringhe || testo > Limiti::TestoStringhe)
            throw ErroreFile(Foglio::MessaggioTroppiTesti());
        m_stringhe += s;
        return true;
    };
    {
        TVoceZip voce(&m_zip, m_voceStringhe, m_annulla);
        if (!voce.Esiste())
            return;
        if (InPezzi(voce, "si>", Stringhe, aggiungi) == Lettura::Finita) {
            voce.Chiudi(true);
            return;
        }
    }
    m_stringhe.clear();
    testo = 0;
    TVoceZip voce(&m_zip, m_voceStringhe, m_annulla);
    QXmlStreamReader x(&voce);
    m_stringhe = Stringhe(x, nullptr);
    voce.Verifica(x);
    voce.Chiudi(true);
}

// The merged ranges come after the cells in the sheet's XML: a quick pass over the raw
// bytes finds them first, so that the rows can still be read in one stream.
TFusioni TFoglioXlsx::CercaFusioni(const QString &nome) const
{
    TFusioni fusioni;
    TFileZip file(m_percorso);
    QuaZip zip(&file);
    ApriZip(zip);
    TVoceZip voce(&zip, nome, m_annulla);
    static const QByteArrayMatcher cerca(QByteArrayLiteral("mergeCell "));
    QByteArray resto;
    while (true) {
        QByteArray blocco = voce.read(1 << 20);
        if (blocco.isEmpty())
            break;
        blocco.prepend(resto);
        qsizetype da = 0, ultimo = 0;
        while ((da = cerca.indexIn(blocco, da)) >= 0) {
            const qsizetype chiusa = blocco.indexOf('>', da);
            if (chiusa < 0)
                break;
            const QString tag = QString::fromUtf8(blocco.mid(da, chiusa - da));
            const qsizetype r = tag.indexOf(QLatin1String("ref=\""));
            if (r >= 0) {
                const QString ref = tag.mid(r + 5, tag.indexOf(u'"', r + 5) - r - 5);
                const QStringList parti = ref.split(u':');
                int c1, r1, c2, r2;
                if (parti.size() == 2 && Riferimento(parti[0], &c1, &r1) &&
                    Riferimento(parti[1], &c2, &r2))
                    fusioni.Aggiungi(r1, c1, r2, c2);
            }
            da = ultimo = chiusa + 1;
        }
        // Keep the tail in case a tag is cut by the block's end.
        resto = blocco.mid(std::max(ultimo, blocco.size() - 512));
    }
    voce.Verifica(QXmlStreamReader());
    return fusioni;
}

// Adds the cell that starts at x's current <c> to l. v is room for the cell's value,
// kept from cell to cell.
void TFoglioXlsx::LeggiCella(QXmlStreamReader &x, RigheLette &l, QString &v) const
{
    int colonna = l.larghezza, stile = 0;
    enum { Numero, Condivisa, Logico, Data, Altro } tipo = Numero;
    {
        // The attributes in one pass, let go before the next token: a copy still held
        // then would make the reader copy its own.
        const QXmlStreamAttributes attributi = x.attributes();
        for (const QXmlStreamAttribute &a : attributi) {
            const QStringView nome = a.qualifiedName(), dato = a.value();
            if (nome.size() != 1)
                continue;
            if (nome[0] == u'r') {
                if (!dato.isEmpty())
                    Riferimento(dato, &colonna, nullptr); // left as it is when no reference
            } else if (nome[0] == u't') {
                tipo = dato.isEmpty() || dato == u"n" ? Numero
                       : dato == u"s"                 ? Condivisa
                       : dato == u"b"                 ? Logico
                       : dato == u"d"                 ? Data
                                                      : Altro;
            } else if (nome[0] == u's') {
                qint64 k = 0;
                stile =
                    Cifre(dato, &k) && k <= std::numeric_limits<int>::max() ? int(k) : dato.toInt();
            }
        }
    }
    if (colonna >= MassimoColonne)
        colonna = MassimoColonne - 1;
    l.larghezza = std::max(l.larghezza, colonna + 1);
    v.resize(0);
    QString testo;
    CellaLetta c{colonna, false, l.testo.size(), 0};
    bool inLinea = false, valore = false;
    // Children other than <v> and <is> are passed over whole, so an end tag is the
    // value's or the cell's.
    while (!x.atEnd()) {
        const auto tok = x.readNext();
        if (tok == QXmlStreamReader::Characters) {
            if (valore && v.size() < Limiti::Cella)
                v += x.text().left(Limiti::Cella - v.size());
        } else if (tok == QXmlStreamReader::EndElement) {
            if (!valore)
                break;
            valore = false;
        } else if (tok == QXmlStreamReader::StartElement) {
            if (!valore && E(x.name(), u"v")) {
                valore = true;
            } else if (!valore && E(x.name(), u"is")) {
                TestoRicco(x, l.testo);
                inLinea = true;
            } else {
                x.skipCurrentElement();
            }
        }
    }
    if (inLinea) {
        c.lunghezza = l.testo.size() - c.inizio;
        l.celle.push_back(c);
        return;
    }
    if (tipo == Condivisa) {
        qint64 i = 0;
        bool ok = Cifre(v, &i);
        if (!ok)
            i = QStringView(v).toLongLong(&ok);
        if (ok && i >= 0 && i < m_stringhe.size()) {
            c.condivisa = true;
            c.inizio = qsizetype(i);
        }
    } else if (tipo == Logico) {
        testo = v == u"1" ? QStringLiteral("VERO") : QStringLiteral("FALSO");
    } else if (tipo == Data) {
        const QDate d = QDate::fromString(v.left(10), Qt::ISODate);
        testo = d.isValid() ? Testo::TestoDataDiretta(d) : v;
    } else if (tipo == Numero) {
        // Whole numbers, the most common, are read without the locale's machinery.
        qint64 intero = 0;
        bool ok = v.size() <= 15 && Cifre(v, &intero);
        const double n = ok ? double(intero) : QStringView(v).toDouble(&ok);
        if (!ok)
            testo = v;
        else if (m_stiliData.contains(stile))
            testo = Foglio::DataDaSeriale(n, m_1904);
        else
            testo = Foglio::ConZeri(Foglio::TestoNumero(n), m_cifreStile.value(stile));
    } else {
        testo = v; // formula text, error value
    }
    if (!c.condivisa) {
        l.testo += testo;
        c.lunghezza = testo.size();
    }
    l.celle.push_back(c);
}

// Reads the rows that follow in x into l, each with its "r" attribute (0 when it has
// none) and its cells; after each row finita() is called, which returns false to stop.
// With aperti, the names of the elements still open are kept there.
template <class F>
void TFoglioXlsx::LeggiRighe(QXmlStreamReader &x, RigheLette &l, QStringList *aperti,
                             F &&finita) const
{
    QString v;
    while (!x.atEnd()) {
        const auto tok = x.readNext();
        if (tok == QXmlStreamReader::EndElement) {
            if (aperti && !aperti->isEmpty())
                aperti->removeLast();
            if (E(x.name(), u"row") && !finita())
                return;
            continue;
        }
        if (tok != QXmlStreamReader::StartElement)
            continue;
        if (E(x.name(), u"c")) {
            if (l.righe.empty()) // a cell outside any row
                l.righe.push_back({0, 0});
            LeggiCella(x, l, v);
            if (++l.righe.back().second > MassimoColonne ||
                l.testo.size() - l.inizioRiga > Limiti::Riga)
                throw ErroreFile(Foglio::MessaggioRigaTroppoGrande());
            continue;
        }
        if (aperti)
            aperti->append(x.qualifiedName().toString());
        if (E(x.name(), u"row")) {
            l.righe.push_back({x.attributes().value(QLatin1StringView("r")).toInt(), 0});
            l.larghezza = 0;
            l.inizioRiga = l.testo.size();
        }
    }
}

// Numbers the rows, fills merged ranges, leaves out empty rows and hands the others
// over. Rows up to `salta` were handed over already and are passed by.
struct TFoglioXlsx::TConsegna {
    TConsegna(const QStringList &s, TFusioni &fu, const Riga &r) : stringhe(s), fusioni(fu), f(r) {}
    const QStringList &stringhe;
    TFusioni &fusioni;
    const Riga &f;
    int numero = 0, salta = 0;
    bool fermo = false;
    QStringList celle;

    // Hands over the rows of l; false when the reading stops here.
    bool operator()(const RigheLette &l)
    {
        size_t k = 0;
        for (const auto &[r, n] : l.righe) {
            const size_t fine = k + size_t(n);
            numero = r > numero ? r : numero + 1;
            if (numero > MassimoRighe) {
                fermo = true;
                return false;
            }
            if (numero <= salta) {
                k = fine;
                continue;
            }
            celle.clear();
            for (; k < fine; ++k) {
                const CellaLetta &c = l.celle[k];
                QString t = c.condivisa ? stringhe[c.inizio] : l.testo.mid(c.inizio, c.lunghezza);
                while (celle.size() < c.colonna)
                    celle.append(QString());
                if (celle.size() == c.colonna)
                    celle.append(std::move(t));
                else
                    celle[c.colonna] = std::move(t);
            }
            fusioni.Applica(numero, celle);
            if (!RigaVuota(celle) && !f(numero, celle)) {
                fermo = true;
                return false;
            }
        }
        return true;
    }
};

// The sheet in one stream, from the start.
void TFoglioXlsx::LeggiInSequenza(const QString &nome, TConsegna &consegna)
{
    TVoceZip voce(&m_zip, nome, m_annulla);
    if (!voce.Esiste())
        throw ErroreFile(Foglio::MessaggioDanneggiato());
    QXmlStreamReader x(&voce);
    RigheLette l;
    LeggiRighe(x, l, nullptr, [&] {
        const bool avanti = consegna(l);
        l.Svuota();
        return avanti;
    });
    voce.Verifica(x);
    voce.Chiudi(!consegna.fermo);
}

void TFoglioXlsx::Leggi(int foglio, const Riga &f)
{
    if (foglio < 0 || foglio >= m_voci.size())
        return;
    // The merged ranges are looked for through a second handle on the file while the
    // styles and the shared strings are read.
    const QString nome = m_voci[foglio];
    TInParallelo<TFusioni> cercate([this, nome] { return CercaFusioni(nome); });
    if (!m_stringheLette) {
        LeggiStili();
        LeggiStringhe();
    }
    TFusioni fusioni = cercate.Prendi();
    TConsegna consegna{m_stringhe, fusioni, f};
    Lettura l;
    {
        // Helper threads read the pieces; the rows are handed over here, in order.
        TVoceZip voce(&m_zip, nome, m_annulla);
        if (!voce.Esiste())
            throw ErroreFile(Foglio::MessaggioDanneggiato());
        auto righe = [this](QXmlStreamReader &x, QStringList *aperti) {
            RigheLette lette;
            lette.testo.reserve(64 * 1024);
            LeggiRighe(x, lette, aperti, [] { return true; });
            return lette;
        };
        l = InPezzi(voce, "row>", righe, consegna);
        if (l != Lettura::DaRifare)
            voce.Chiudi(l == Lettura::Finita);
    }
    if (l == Lettura::DaRifare) {
        consegna.salta = consegna.numero;
        consegna.numero = 0;
        LeggiInSequenza(nome, consegna);
    }
}

} // namespace

std::unique_ptr<TFoglio> ApriXlsx(const QString &percorso, const std::atomic<bool> *annulla)
{
    return std::make_unique<TFoglioXlsx>(percorso, annulla);
}
