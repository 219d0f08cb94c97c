// The ODS reader: content.xml as a stream, repeated rows and cells, spanned cells.
#include "import/core/FoglioZip.h"

#include <QDate>
#include <QHash>

using namespace FoglioZip;

namespace {

// A repeat or span count: 1 when missing or not a number, at most `massimo`, so that the
// row and column arithmetic never leaves the range of int.
int Conteggio(QStringView testo, int massimo)
{
    bool ok = false;
    const qint64 n = testo.toLongLong(&ok);
    if (!ok || n < 1)
        return 1;
    return int(std::min<qint64>(n, massimo));
}

class TFoglioOds : public TFoglio {
public:
    TFoglioOds(const QString &percorso, const std::atomic<bool> *annulla);
    QStringList Fogli() const override { return m_nomi; }
    void Leggi(int foglio, const Riga &f) override;

private:
    static QString TestoCella(QXmlStreamReader &x);
    const std::atomic<bool> *m_annulla;
    TFileZip m_file;
    QuaZip m_zip;
    QStringList m_nomi;
};

TFoglioOds::TFoglioOds(const QString &percorso, const std::atomic<bool> *annulla)
    : m_annulla(annulla), m_file(percorso), m_zip(&m_file)
{
    ApriZip(m_zip);
    {
        TVoceZip tipo(&m_zip, QStringLiteral("mimetype"), m_annulla);
        const QByteArray t = tipo.Esiste() ? tipo.read(200) : QByteArray();
        if (!t.startsWith("application/vnd.oasis.opendocument.spreadsheet"))
            throw ErroreFile(Foglio::MessaggioNonFoglio());
    }
    {
        // A document saved with a password lists how its entries are encrypted.
        TVoceZip manifesto(&m_zip, QStringLiteral("META-INF/manifest.xml"), m_annulla);
        if (manifesto.Esiste() && manifesto.read(4 << 20).contains("encryption-data"))
            throw ErroreFile(Foglio::MessaggioProtetto());
    }
    TVoceZip voce(&m_zip, QStringLiteral("content.xml"), m_annulla);
    if (!voce.Esiste())
        throw ErroreFile(Foglio::MessaggioNonFoglio());
    QXmlStreamReader x(&voce);
    while (!x.atEnd()) {
        if (x.readNext() == QXmlStreamReader::StartElement && x.name() == u"table") {
            if (m_nomi.size() >= Limiti::Fogli)
                throw ErroreFile(Foglio::MessaggioTroppiFogli());
            m_nomi << x.attributes().value(QStringLiteral("table:name")).toString();
            x.skipCurrentElement();
        }
    }
    voce.Verifica(x);
    voce.Chiudi(true);
    if (m_nomi.isEmpty())
        throw ErroreFile(Foglio::MessaggioNonFoglio());
}

// A document holds far fewer number formats and cell styles: past this many the rest
// are not kept, so that their sets stay small.
constexpr qsizetype MassimoStili = 65536;

// The digits a number style always shows, from x on its <number:number-style>, kept by
// the style's name when more than one.
void CifreFormato(QXmlStreamReader &x, QHash<QString, int> &cifre)
{
    const QString formato = x.attributes().value(QStringLiteral("style:name")).toString();
    while (x.readNextStartElement()) {
        if (x.name() == u"number" && cifre.size() < MassimoStili) {
            const int n = x.attributes().value(QStringLiteral("number:min-integer-digits")).toInt();
            if (n > 1)
                cifre.insert(formato, std::min(n, 30));
        }
        x.skipCurrentElement();
    }
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
                testo += QString(
                    std::min<qsizetype>(std::clamp(c, 1, 1000), Limiti::Cella + 1 - testo.size()),
                    u' ');
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
        if (testo.size() > Limiti::Cella) // a cell holds no more
            testo.truncate(Limiti::Cella);
    }
    return testo;
}

void TFoglioOds::Leggi(int foglio, const Riga &f)
{
    // Number formats that always show some digits ("00000" for a postal code): the
    // data styles, the cell styles that use them, and each column's cell style.
    QHash<QString, int> cifreFormato, cifreStile;
    QStringList stiliColonne;
    {
        // The number formats the program keeps with the document's own styles.
        TVoceZip stili(&m_zip, QStringLiteral("styles.xml"), m_annulla);
        if (stili.Esiste()) {
            QXmlStreamReader s(&stili);
            while (!s.atEnd())
                if (s.readNext() == QXmlStreamReader::StartElement && s.name() == u"number-style")
                    CifreFormato(s, cifreFormato);
            stili.Verifica(s);
            stili.Chiudi(true);
        }
    }
    TVoceZip voce(&m_zip, QStringLiteral("content.xml"), m_annulla);
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
        if (!dentro) {
            if (nome == u"number-style") {
                CifreFormato(x, cifreFormato);
            } else if (nome == u"style") {
                const auto a = x.attributes();
                const int n =
                    cifreFormato.value(a.value(QStringLiteral("style:data-style-name")).toString());
                if (n > 1 && cifreStile.size() < MassimoStili)
                    cifreStile.insert(a.value(QStringLiteral("style:name")).toString(), n);
            }
            continue;
        }
        if (nome == u"table-column") {
            const auto a = x.attributes();
            const QString stile =
                a.value(QStringLiteral("table:default-cell-style-name")).toString();
            const int volte =
                Conteggio(a.value(QStringLiteral("table:number-columns-repeated")), MassimoColonne);
            for (int i = 0; i < volte && stiliColonne.size() < MassimoColonne; ++i)
                stiliColonne.append(stile);
            continue;
        }
        if (nome != u"table-row")
            continue;
        const int ripetute = Conteggio(
            x.attributes().value(QStringLiteral("table:number-rows-repeated")), MassimoRighe);
        const int riga = numero + 1;
        celle.clear();
        qsizetype caratteri = 0; // of the different texts of the row: repeats share theirs
        int vuote = 0;           // empty cells not yet added: trailing ones never are
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
                Conteggio(a.value(QStringLiteral("table:number-columns-repeated")), MassimoColonne);
            const int righeUnite =
                Conteggio(a.value(QStringLiteral("table:number-rows-spanned")), MassimoRighe);
            const int colonneUnite =
                Conteggio(a.value(QStringLiteral("table:number-columns-spanned")), MassimoColonne);
            const QStringView tipo = a.value(QStringLiteral("office:value-type"));
            QString testo;
            if (tipo == u"date") {
                const QDate d = QDate::fromString(
                    a.value(QStringLiteral("office:date-value")).left(10).toString(), Qt::ISODate);
                testo = Testo::TestoDataDiretta(d);
                x.skipCurrentElement();
            } else if (tipo == u"float" || tipo == u"percentage" || tipo == u"currency") {
                bool ok = false;
                const double v = a.value(QStringLiteral("office:value")).toDouble(&ok);
                QString stile = a.value(QStringLiteral("table:style-name")).toString();
                if (stile.isEmpty())
                    stile = stiliColonne.value(int(celle.size()) + vuote);
                testo = TestoCella(x);
                if (ok)
                    testo = Foglio::ConZeri(Foglio::TestoNumero(v),
                                            tipo == u"float" ? cifreStile.value(stile) : 0);
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
            caratteri += testo.size();
            if (caratteri > Limiti::Riga)
                throw ErroreFile(Foglio::MessaggioRigaTroppoGrande());
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

std::unique_ptr<TFoglio> ApriOds(const QString &percorso, const std::atomic<bool> *annulla)
{
    return std::make_unique<TFoglioOds>(percorso, annulla);
}
