// XLSX and ODS readers: zip entries read through QuaZip, XML read as a stream.
#include "registry/Foglio.h"

#include "archive/Errori.h"
#include "archive/Testo.h"

#include <QByteArrayMatcher>
#include <QDate>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QXmlStreamReader>

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipfileinfo.h>

#include <algorithm>
#include <vector>

namespace {

constexpr int MassimoColonne = 16384;
constexpr int MassimoRighe = 1048576;

// One zip entry as a read-only device that refuses to unpack beyond the limit and
// remembers why it stopped.
class TVoceZip : public QIODevice {
public:
    TVoceZip(QuaZip *zip, const QString &nome) : m_file(zip)
    {
        if (!zip->setCurrentFile(nome, QuaZip::csSensitive))
            return;
        QuaZipFileInfo64 info;
        if (!zip->getCurrentFileInfo(&info))
            throw ErroreFile(Foglio::MessaggioDanneggiato());
        // A declared size beyond the limit is refused before anything is unpacked.
        if (info.uncompressedSize > quint64(LimiteDecompresso))
            throw ErroreFile(Foglio::MessaggioTroppoGrande());
        if (!m_file.open(QIODevice::ReadOnly))
            throw ErroreFile(Foglio::MessaggioDanneggiato());
        m_esiste = true;
        open(QIODevice::ReadOnly);
    }
    ~TVoceZip() override
    {
        if (m_file.isOpen())
            m_file.close();
    }
    bool Esiste() const { return m_esiste; }
    bool isSequential() const override { return true; }
    bool atEnd() const override { return m_fine; }
    qint64 bytesAvailable() const override { return 0; }

    // After the XML reader stopped: throws the reason as the user's message.
    void Verifica(const QXmlStreamReader &x)
    {
        if (m_troppo)
            throw ErroreFile(Foglio::MessaggioTroppoGrande());
        if (m_guasto)
            throw ErroreFile(Foglio::MessaggioDanneggiato());
        if (x.hasError() && x.error() != QXmlStreamReader::CustomError)
            throw ErroreFile(Foglio::MessaggioXml());
    }
    // Closes the entry; a fully read entry whose checksum fails is damaged.
    void Chiudi(bool letta)
    {
        if (!m_file.isOpen())
            return;
        m_file.close();
        if (letta && m_file.getZipError() != UNZ_OK)
            throw ErroreFile(Foglio::MessaggioDanneggiato());
    }

protected:
    qint64 readData(char *data, qint64 massimo) override
    {
        if (m_fine)
            return -1;
        const qint64 n = m_file.read(data, massimo);
        if (n < 0) {
            m_guasto = true;
            m_fine = true;
            return -1;
        }
        if (n == 0) {
            m_fine = true;
            return -1;
        }
        m_letti += n;
        if (m_letti > LimiteDecompresso) {
            m_troppo = true;
            m_fine = true;
            return -1;
        }
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QuaZipFile m_file;
    bool m_esiste = false, m_fine = false, m_guasto = false, m_troppo = false;
    qint64 m_letti = 0;
};

// Merged ranges: the top-left cell's text fills every cell of the range.
class TFusioni {
public:
    void Aggiungi(int r1, int c1, int r2, int c2)
    {
        if (r1 < 1 || c1 < 0 || r2 < r1 || c2 < c1 || c2 >= MassimoColonne || m_f.size() > 100000)
            return;
        m_f.push_back({r1, c1, r2, c2, QString()});
    }
    void Applica(int riga, QStringList &celle)
    {
        for (Fusione &f : m_f) {
            if (riga < f.r1 || riga > f.r2)
                continue;
            if (riga == f.r1)
                f.testo = celle.value(f.c1);
            if (f.testo.isEmpty())
                continue;
            while (celle.size() <= f.c2)
                celle.append(QString());
            for (int c = f.c1; c <= f.c2; ++c)
                if (celle[c].isEmpty())
                    celle[c] = f.testo;
        }
    }
    bool Vuota() const { return m_f.empty(); }

private:
    struct Fusione {
        int r1, c1, r2, c2;
        QString testo;
    };
    std::vector<Fusione> m_f;
};

bool RigaVuota(const QStringList &celle)
{
    for (const QString &c : celle)
        if (!Testo::Trim32(c).isEmpty())
            return false;
    return true;
}

// "AB12" -> column 27 (0-based) and row 12; false when it is no cell reference.
bool Riferimento(QStringView ref, int *colonna, int *riga)
{
    int c = 0, i = 0;
    while (i < ref.size() && ref[i].isLetter()) {
        c = c * 26 + (ref[i].toUpper().unicode() - 'A' + 1);
        if (c > MassimoColonne)
            return false;
        ++i;
    }
    if (i == 0)
        return false;
    bool ok = true;
    const int r = i < ref.size() ? ref.mid(i).toInt(&ok) : 0;
    if (!ok)
        return false;
    *colonna = c - 1;
    if (riga)
        *riga = r;
    return true;
}

void OpenZip(QuaZip &zip)
{
    if (!zip.open(QuaZip::mdUnzip))
        throw ErroreFile(Foglio::MessaggioDanneggiato());
}

// ---- XLSX -----------------------------------------------------------------------------

class TFoglioXlsx : public TFoglio {
public:
    explicit TFoglioXlsx(const QString &percorso);
    QStringList Fogli() const override { return m_nomi; }
    void Leggi(int foglio, const Riga &f) override;

private:
    void LeggiRelazioni(QHash<QString, QString> *bersagli);
    void LeggiStili();
    void LeggiStringhe();
    TFusioni CercaFusioni(const QString &voce);
    static QString TestoRicco(QXmlStreamReader &x); // <si> or <is>: its <t> texts

    QuaZip m_zip;
    QStringList m_nomi, m_voci;
    bool m_1904 = false;
    QString m_voceStringhe = QStringLiteral("xl/sharedStrings.xml");
    QString m_voceStili = QStringLiteral("xl/styles.xml");
    QSet<int> m_stiliData;          // cellXfs indices that show a date
    QString m_stringhe;             // the shared strings one after another
    std::vector<qsizetype> m_inizi; // where each starts, plus the end
    bool m_stringheLette = false;
};

QString Bersaglio(const QString &target)
{
    if (target.startsWith(u'/'))
        return target.mid(1);
    return QStringLiteral("xl/") + target;
}

TFoglioXlsx::TFoglioXlsx(const QString &percorso) : m_zip(percorso)
{
    OpenZip(m_zip);
    QHash<QString, QString> bersagli;
    LeggiRelazioni(&bersagli);
    TVoceZip voce(&m_zip, QStringLiteral("xl/workbook.xml"));
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
    TVoceZip voce(&m_zip, QStringLiteral("xl/_rels/workbook.xml.rels"));
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
        bersagli->insert(a.value(QStringLiteral("Id")).toString(), bersaglio);
    }
    voce.Verifica(x);
    voce.Chiudi(true);
}

// True for a number format that shows a date: d or y outside quoted text and [..]
// sections ("General" and the times are no dates).
bool FormatoData(const QString &codice)
{
    bool d = false, y = false, virgolette = false;
    int parentesi = 0;
    for (int i = 0; i < codice.size(); ++i) {
        const QChar c = codice[i].toLower();
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
        else if (parentesi > 0)
            continue;
        else if (c == u'd')
            d = true;
        else if (c == u'y')
            y = true;
    }
    return d || y;
}

void TFoglioXlsx::LeggiStili()
{
    TVoceZip voce(&m_zip, m_voceStili);
    if (!voce.Esiste())
        return;
    // Built-in date formats, then the workbook's own codes.
    QSet<int> formatiData = {14, 15, 16, 17, 22, 27, 28, 29, 30, 31,
                             34, 35, 36, 50, 51, 52, 53, 54, 57, 58};
    QXmlStreamReader x(&voce);
    bool cellXfs = false;
    int xf = 0;
    while (!x.atEnd()) {
        const auto t = x.readNext();
        if (t == QXmlStreamReader::EndElement && x.name() == u"cellXfs")
            cellXfs = false;
        if (t != QXmlStreamReader::StartElement)
            continue;
        const auto a = x.attributes();
        if (x.name() == u"numFmt") {
            const int id = a.value(QStringLiteral("numFmtId")).toInt();
            if (FormatoData(a.value(QStringLiteral("formatCode")).toString()))
                formatiData.insert(id);
            else
                formatiData.remove(id);
        } else if (x.name() == u"cellXfs") {
            cellXfs = true;
        } else if (cellXfs && x.name() == u"xf") {
            if (formatiData.contains(a.value(QStringLiteral("numFmtId")).toInt()))
                m_stiliData.insert(xf);
            ++xf;
        }
    }
    voce.Verifica(x);
    voce.Chiudi(true);
}

QString TFoglioXlsx::TestoRicco(QXmlStreamReader &x)
{
    QString testo;
    const QString fine = x.name().toString();
    while (!x.atEnd()) {
        const auto t = x.readNext();
        if (t == QXmlStreamReader::EndElement && x.name() == fine)
            break;
        if (t != QXmlStreamReader::StartElement)
            continue;
        if (x.name() == u"t")
            testo += x.readElementText();
        else if (x.name() == u"rPh") // phonetic guide: not part of the text
            x.skipCurrentElement();
    }
    return testo;
}

void TFoglioXlsx::LeggiStringhe()
{
    m_stringheLette = true;
    TVoceZip voce(&m_zip, m_voceStringhe);
    m_inizi.push_back(0);
    if (!voce.Esiste())
        return;
    QXmlStreamReader x(&voce);
    while (!x.atEnd()) {
        if (x.readNext() == QXmlStreamReader::StartElement && x.name() == u"si") {
            m_stringhe += TestoRicco(x);
            m_inizi.push_back(m_stringhe.size());
        }
    }
    voce.Verifica(x);
    voce.Chiudi(true);
    m_stringhe.squeeze();
}

// The merged ranges come after the cells in the sheet's XML: a quick pass over the raw
// bytes finds them first, so that the rows can still be read in one stream.
TFusioni TFoglioXlsx::CercaFusioni(const QString &nome)
{
    TFusioni fusioni;
    TVoceZip voce(&m_zip, nome);
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

void TFoglioXlsx::Leggi(int foglio, const Riga &f)
{
    if (foglio < 0 || foglio >= m_voci.size())
        return;
    if (!m_stringheLette) {
        LeggiStili();
        LeggiStringhe();
    }
    TFusioni fusioni = CercaFusioni(m_voci[foglio]);
    TVoceZip voce(&m_zip, m_voci[foglio]);
    if (!voce.Esiste())
        throw ErroreFile(Foglio::MessaggioDanneggiato());
    QXmlStreamReader x(&voce);
    QStringList celle;
    int numero = 0;
    bool fermo = false;
    while (!x.atEnd() && !fermo) {
        const auto tok = x.readNext();
        if (tok == QXmlStreamReader::EndElement && x.name() == u"row") {
            fusioni.Applica(numero, celle);
            if (!RigaVuota(celle) && !f(numero, celle))
                fermo = true;
            continue;
        }
        if (tok != QXmlStreamReader::StartElement)
            continue;
        if (x.name() == u"row") {
            const int r = x.attributes().value(QStringLiteral("r")).toInt();
            numero = r > numero ? r : numero + 1;
            if (numero > MassimoRighe)
                break;
            celle.clear();
        } else if (x.name() == u"c") {
            const auto a = x.attributes();
            int colonna = int(celle.size());
            const QStringView ref = a.value(QStringLiteral("r"));
            if (!ref.isEmpty() && !Riferimento(ref, &colonna, nullptr))
                colonna = int(celle.size());
            if (colonna >= MassimoColonne)
                colonna = MassimoColonne - 1;
            const QString tipo = a.value(QStringLiteral("t")).toString();
            const int stile = a.value(QStringLiteral("s")).toInt();
            QString v, testo;
            bool inLinea = false;
            while (!x.atEnd()) {
                const auto t = x.readNext();
                if (t == QXmlStreamReader::EndElement && x.name() == u"c")
                    break;
                if (t != QXmlStreamReader::StartElement)
                    continue;
                if (x.name() == u"v")
                    v = x.readElementText();
                else if (x.name() == u"is") {
                    testo = TestoRicco(x);
                    inLinea = true;
                } else
                    x.skipCurrentElement();
            }
            if (inLinea) {
            } else if (tipo == u"s") {
                bool ok = false;
                const qsizetype i = v.toLongLong(&ok);
                if (ok && i >= 0 && size_t(i) + 1 < m_inizi.size())
                    testo =
                        QStringView(m_stringhe)
                            .mid(m_inizi[size_t(i)], m_inizi[size_t(i) + 1] - m_inizi[size_t(i)])
                            .toString();
            } else if (tipo == u"b") {
                testo = v == u"1" ? QStringLiteral("VERO") : QStringLiteral("FALSO");
            } else if (tipo == u"d") {
                const QDate d = QDate::fromString(v.left(10), Qt::ISODate);
                testo = d.isValid() ? Testo::TestoData(d) : v;
            } else if (tipo.isEmpty() || tipo == u"n") {
                bool ok = false;
                const double n = v.toDouble(&ok);
                if (!ok)
                    testo = v;
                else if (m_stiliData.contains(stile))
                    testo = Foglio::DataDaSeriale(n, m_1904);
                else
                    testo = Foglio::TestoNumero(n);
            } else {
                testo = v; // formula text, error value
            }
            while (celle.size() < colonna)
                celle.append(QString());
            if (celle.size() == colonna)
                celle.append(testo);
            else
                celle[colonna] = testo;
        }
    }
    voce.Verifica(x);
    voce.Chiudi(!fermo);
}

// ---- ODS ------------------------------------------------------------------------------

class TFoglioOds : public TFoglio {
public:
    explicit TFoglioOds(const QString &percorso);
    QStringList Fogli() const override { return m_nomi; }
    void Leggi(int foglio, const Riga &f) override;

private:
    static QString TestoCella(QXmlStreamReader &x);
    QuaZip m_zip;
    QStringList m_nomi;
};

TFoglioOds::TFoglioOds(const QString &percorso) : m_zip(percorso)
{
    OpenZip(m_zip);
    {
        TVoceZip tipo(&m_zip, QStringLiteral("mimetype"));
        const QByteArray t = tipo.Esiste() ? tipo.read(200) : QByteArray();
        if (!t.startsWith("application/vnd.oasis.opendocument.spreadsheet"))
            throw ErroreFile(Foglio::MessaggioNonFoglio());
    }
    {
        // A document saved with a password lists how its entries are encrypted.
        TVoceZip manifesto(&m_zip, QStringLiteral("META-INF/manifest.xml"));
        if (manifesto.Esiste() && manifesto.read(4 << 20).contains("encryption-data"))
            throw ErroreFile(Foglio::MessaggioProtetto());
    }
    TVoceZip voce(&m_zip, QStringLiteral("content.xml"));
    if (!voce.Esiste())
        throw ErroreFile(Foglio::MessaggioNonFoglio());
    QXmlStreamReader x(&voce);
    while (!x.atEnd()) {
        if (x.readNext() == QXmlStreamReader::StartElement && x.name() == u"table") {
            m_nomi << x.attributes().value(QStringLiteral("table:name")).toString();
            x.skipCurrentElement();
        }
    }
    voce.Verifica(x);
    voce.Chiudi(true);
    if (m_nomi.isEmpty())
        throw ErroreFile(Foglio::MessaggioNonFoglio());
}

QString TFoglioOds::TestoCella(QXmlStreamReader &x)
{
    QString testo;
    int paragrafi = 0, profondita = 1, dentroP = 0;
    while (profondita > 0 && !x.atEnd()) {
        const auto t = x.readNext();
        if (t == QXmlStreamReader::StartElement) {
            const QStringView n = x.name();
            if (n == u"p" || n == u"h") {
                if (paragrafi++ > 0)
                    testo += u'\n';
                ++dentroP;
                ++profondita;
            } else if (n == u"s") {
                const int c = x.attributes().value(QStringLiteral("text:c")).toInt();
                testo += QString(std::clamp(c, 1, 1000), u' ');
                x.skipCurrentElement();
            } else if (n == u"tab") {
                testo += u'\t';
                x.skipCurrentElement();
            } else if (n == u"line-break") {
                testo += u'\n';
                x.skipCurrentElement();
            } else if (n == u"annotation" || n == u"note") {
                x.skipCurrentElement();
            } else {
                ++profondita;
            }
        } else if (t == QXmlStreamReader::EndElement) {
            --profondita;
            if (x.name() == u"p" || x.name() == u"h")
                --dentroP;
        } else if (t == QXmlStreamReader::Characters && dentroP > 0) {
            testo += x.text();
        }
    }
    return testo;
}

void TFoglioOds::Leggi(int foglio, const Riga &f)
{
    TVoceZip voce(&m_zip, QStringLiteral("content.xml"));
    QXmlStreamReader x(&voce);
    int tabella = -1, numero = 0;
    bool dentro = false, fermo = false;
    TFusioni fusioni;
    QStringList celle;
    while (!x.atEnd() && !fermo) {
        const auto tok = x.readNext();
        if (tok == QXmlStreamReader::EndElement && dentro && x.name() == u"table")
            break;
        if (tok != QXmlStreamReader::StartElement)
            continue;
        const QStringView nome = x.name();
        if (nome == u"table" && !dentro) {
            if (++tabella == foglio)
                dentro = true;
            else
                x.skipCurrentElement();
            continue;
        }
        if (!dentro || nome != u"table-row")
            continue;
        const int ripetute =
            std::max(1, x.attributes().value(QStringLiteral("table:number-rows-repeated")).toInt());
        const int riga = numero + 1;
        celle.clear();
        int vuote = 0; // empty cells not yet added: trailing ones never are
        while (!x.atEnd()) {
            const auto t = x.readNext();
            if (t == QXmlStreamReader::EndElement && x.name() == u"table-row")
                break;
            if (t != QXmlStreamReader::StartElement)
                continue;
            if (x.name() != u"table-cell" && x.name() != u"covered-table-cell") {
                x.skipCurrentElement();
                continue;
            }
            const auto a = x.attributes();
            const int volte =
                std::clamp(a.value(QStringLiteral("table:number-columns-repeated")).toInt(), 1,
                           MassimoColonne);
            const int righeUnite = a.value(QStringLiteral("table:number-rows-spanned")).toInt();
            const int colonneUnite =
                a.value(QStringLiteral("table:number-columns-spanned")).toInt();
            const QStringView tipo = a.value(QStringLiteral("office:value-type"));
            QString testo;
            if (tipo == u"date") {
                const QDate d = QDate::fromString(
                    a.value(QStringLiteral("office:date-value")).left(10).toString(), Qt::ISODate);
                testo = Testo::TestoData(d);
                x.skipCurrentElement();
            } else if (tipo == u"float" || tipo == u"percentage" || tipo == u"currency") {
                bool ok = false;
                const double v = a.value(QStringLiteral("office:value")).toDouble(&ok);
                testo = TestoCella(x);
                if (ok)
                    testo = Foglio::TestoNumero(v);
            } else if (tipo == u"boolean") {
                testo = a.value(QStringLiteral("office:boolean-value")) == u"true"
                            ? QStringLiteral("VERO")
                            : QStringLiteral("FALSO");
                x.skipCurrentElement();
            } else {
                testo = TestoCella(x);
            }
            const int colonna = int(celle.size()) + vuote;
            if (righeUnite > 1 || colonneUnite > 1)
                fusioni.Aggiungi(riga, colonna, riga + std::max(righeUnite, 1) - 1,
                                 colonna + std::max(colonneUnite, 1) - 1);
            if (testo.isEmpty()) {
                vuote = std::min(vuote + volte, MassimoColonne);
                continue;
            }
            for (; vuote > 0 && celle.size() < MassimoColonne; --vuote)
                celle.append(QString());
            vuote = 0;
            for (int i = 0; i < volte && celle.size() < MassimoColonne; ++i)
                celle.append(testo);
        }
        // A repeated row stands for that many rows of the same cells.
        for (int i = 0; i < ripetute && !fermo; ++i) {
            ++numero;
            if (numero > MassimoRighe) {
                fermo = true;
                break;
            }
            QStringList copia = celle;
            fusioni.Applica(numero, copia);
            if (RigaVuota(copia)) {
                if (fusioni.Vuota()) { // the rest are empty as well
                    numero += ripetute - i - 1;
                    break;
                }
                continue;
            }
            if (!f(numero, copia))
                fermo = true;
        }
    }
    voce.Verifica(x);
    voce.Chiudi(!fermo && dentro);
}

} // namespace

std::unique_ptr<TFoglio> ApriXlsx(const QString &percorso)
{
    return std::make_unique<TFoglioXlsx>(percorso);
}

std::unique_ptr<TFoglio> ApriOds(const QString &percorso)
{
    return std::make_unique<TFoglioOds>(percorso);
}
