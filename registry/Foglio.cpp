// Recognition of the file kind and the CSV reader.
#include "registry/Foglio.h"

#include "archive/Errori.h"
#include "archive/FileSicuro.h"
#include "archive/Testo.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <cmath>

namespace Foglio {

QString MessaggioVuoto()
{
    return QStringLiteral("Attenzione: il file scelto è vuoto.");
}
QString MessaggioNonFoglio()
{
    return QStringLiteral("Attenzione: il file scelto non è un foglio di calcolo CSV, XLSX "
                          "o ODS.");
}
QString MessaggioXls()
{
    return QStringLiteral("Attenzione: i file .xls non si possono leggere.\n\r\n\rAprire il file "
                          "con il programma del foglio di calcolo, salvarlo come .xlsx o .ods e "
                          "sceglierlo di nuovo.");
}
QString MessaggioDanneggiato()
{
    return QStringLiteral("Attenzione: il file scelto è danneggiato e non può essere letto.");
}
QString MessaggioXml()
{
    return QStringLiteral("Attenzione: il foglio di calcolo contiene dati non validi e non "
                          "può essere letto.");
}
QString MessaggioTroppoGrande()
{
    return QStringLiteral("Attenzione: il foglio di calcolo è troppo grande per essere "
                          "importato (oltre 1 GB di dati).");
}
QString MessaggioProtetto()
{
    return QStringLiteral("Attenzione: il foglio di calcolo è protetto da password. "
                          "Salvarlo senza password e riprovare.");
}
QString MessaggioSoloIntestazione()
{
    return QStringLiteral("Attenzione: il file contiene solo la riga di intestazione, "
                          "nessun tesserato da importare.");
}

QString DataDaSeriale(double seriale, bool sistema1904)
{
    if (!std::isfinite(seriale) || seriale < 1 || seriale > 2958465)
        return QString();
    const qint64 giorni = static_cast<qint64>(std::floor(seriale));
    QDate d;
    if (sistema1904)
        d = QDate(1904, 1, 1).addDays(giorni);
    else if (giorni < 60) // before the 29/02/1900 that the 1900 system counts but never was
        d = QDate(1899, 12, 31).addDays(giorni);
    else
        d = QDate(1899, 12, 30).addDays(giorni);
    return Testo::TestoDataDiretta(d);
}

QString ConZeri(const QString &numero, int cifre)
{
    if (numero.size() >= cifre || !Testo::SoloCifre(numero))
        return numero;
    return numero.rightJustified(cifre, u'0');
}

QString TestoNumero(double valore)
{
    if (std::isfinite(valore) && std::fabs(valore) < 1e15 && valore == std::floor(valore))
        return QString::number(static_cast<qint64>(valore));
    return QString::number(valore, 'g', QLocale::FloatingPointShortest);
}

} // namespace Foglio

namespace {

class TFoglioCsv : public TFoglio {
public:
    explicit TFoglioCsv(QString testo) : m_testo(std::move(testo)) {}
    QStringList Fogli() const override { return {QString()}; }
    void Leggi(int foglio, const Riga &f) override;

private:
    QChar Separatore() const;
    QString m_testo;
};

// The separator that appears most often outside quotes in the first record.
QChar TFoglioCsv::Separatore() const
{
    int pv = 0, v = 0, tab = 0;
    bool virgolette = false;
    for (const QChar c : m_testo) {
        if (c == u'"')
            virgolette = !virgolette;
        else if (virgolette)
            continue;
        else if (c == u'\n' || c == u'\r')
            break;
        else if (c == u';')
            ++pv;
        else if (c == u',')
            ++v;
        else if (c == u'\t')
            ++tab;
    }
    if (tab > pv && tab > v)
        return u'\t';
    if (v > pv)
        return u',';
    return u';';
}

void TFoglioCsv::Leggi(int, const Riga &f)
{
    const QChar sep = Separatore();
    const QChar *p = m_testo.constData();
    const QChar *const fine = p + m_testo.size();
    QStringList celle;
    QString cella;
    int numero = 1;
    auto consegna = [&]() {
        celle.append(cella);
        cella.clear();
        bool vuota = true;
        for (const QString &c : std::as_const(celle))
            if (!Testo::Trim32(c).isEmpty()) {
                vuota = false;
                break;
            }
        bool avanti = true;
        if (!vuota)
            avanti = f(numero, celle);
        celle.clear();
        ++numero;
        return avanti;
    };
    while (p < fine) {
        if (*p == u'"' && cella.isEmpty()) {
            // Quoted field: separators and line breaks are text, "" is one quote.
            ++p;
            while (p < fine) {
                if (*p == u'"') {
                    if (p + 1 < fine && p[1] == u'"') {
                        cella += u'"';
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                cella += *p++;
            }
            continue;
        }
        if (*p == sep) {
            celle.append(cella);
            cella.clear();
            ++p;
        } else if (*p == u'\n' || *p == u'\r') {
            if (*p == u'\r' && p + 1 < fine && p[1] == u'\n')
                ++p;
            ++p;
            if (!consegna())
                return;
        } else {
            // Plain run up to the next separator, quote or line end, in one append.
            const QChar *inizio = p;
            while (p < fine && *p != sep && *p != u'\n' && *p != u'\r' && *p != u'"')
                ++p;
            if (p == inizio) // a quote inside an unquoted field is text
                ++p;
            cella.append(inizio, p - inizio);
        }
    }
    if (!cella.isEmpty() || !celle.isEmpty())
        consegna();
}

} // namespace

std::unique_ptr<TFoglio> ApriCsv(const QString &percorso)
{
    QFile file(percorso);
    if (!ApriRegolare(file, QIODevice::ReadOnly))
        throw ErroreFile(QStringLiteral("Attenzione: impossibile aprire il file %1.")
                             .arg(QFileInfo(percorso).fileName()));
    if (file.size() > LimiteDecompresso)
        throw ErroreFile(Foglio::MessaggioTroppoGrande());
    QByteArray byte = file.readAll();
    if (byte.startsWith("\xEF\xBB\xBF"))
        byte.remove(0, 3);
    // A text file holds no NUL byte: anything else is not a spreadsheet we read.
    if (byte.contains('\0'))
        throw ErroreFile(Foglio::MessaggioNonFoglio());
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString testo = utf8.decode(byte);
    if (utf8.hasError())
        testo = Testo::FromWin1252(byte);
    byte = QByteArray();
    if (Testo::Trim32(testo).isEmpty())
        throw ErroreFile(Foglio::MessaggioVuoto());
    return std::make_unique<TFoglioCsv>(std::move(testo));
}

std::unique_ptr<TFoglio> ApriFoglio(const QString &percorso)
{
    QFile file(percorso);
    if (!ApriRegolare(file, QIODevice::ReadOnly))
        throw ErroreFile(QStringLiteral("Attenzione: impossibile aprire il file %1.")
                             .arg(QFileInfo(percorso).fileName()));
    if (file.size() == 0)
        throw ErroreFile(Foglio::MessaggioVuoto());
    const QByteArray testa = file.read(8);
    file.close();
    // An encrypted workbook (XLSX or ODS saved with a password by Excel) and the old
    // binary formats are compound files, not zip archives.
    if (testa.startsWith("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1")) {
        QFile f(percorso);
        QByteArray tutto;
        if (ApriRegolare(f, QIODevice::ReadOnly))
            tutto = f.read(1 << 20);
        const QByteArray cifrato = QByteArray("E\0n\0c\0r\0y\0p\0t\0i\0o\0n\0I\0n\0f\0o", 28);
        if (tutto.contains(cifrato))
            throw ErroreFile(Foglio::MessaggioProtetto());
        throw ErroreFile(QFileInfo(percorso).suffix().toLower() == u"xls"
                             ? Foglio::MessaggioXls()
                             : Foglio::MessaggioNonFoglio());
    }
    // Old Excel files, and web pages named as such, are no text to read as CSV.
    if (QFileInfo(percorso).suffix().toLower() == u"xls" && !testa.startsWith("PK"))
        throw ErroreFile(Foglio::MessaggioXls());
    if (testa.startsWith("PK")) {
        const QString est = QFileInfo(percorso).suffix().toLower();
        if (est == u"ods")
            return ApriOds(percorso);
        // The content decides when the name does not: an XLSX has a workbook entry.
        try {
            return ApriXlsx(percorso);
        } catch (const ErroreFile &e) {
            if (e.testo() != Foglio::MessaggioNonFoglio())
                throw;
        }
        return ApriOds(percorso);
    }
    return ApriCsv(percorso);
}
