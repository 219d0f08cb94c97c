// The XLSX reader: workbook, relations, styles, shared strings and the sheet as a stream.
#include "registry/FoglioZip.h"

#include <QByteArrayMatcher>
#include <QDate>
#include <QHash>
#include <QSet>

using namespace FoglioZip;

namespace {

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
    ApriZip(m_zip);
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

} // namespace

std::unique_ptr<TFoglio> ApriXlsx(const QString &percorso)
{
    return std::make_unique<TFoglioXlsx>(percorso);
}
