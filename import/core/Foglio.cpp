// Recognition of the file kind and the CSV reader.
#include "import/core/Foglio.h"

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

QString MessaggioAnnullato()
{
    return QStringLiteral("Lettura del foglio di calcolo annullata.");
}
QString MessaggioVoceTroppoGrande()
{
    return QStringLiteral("Attenzione: il foglio di calcolo contiene un testo o un elemento "
                          "troppo grande (oltre 8 MB) e non può essere importato.");
}
QString MessaggioRigaTroppoGrande()
{
    return QStringLiteral(
        "Attenzione: una riga del foglio di calcolo è troppo grande (oltre "
        "16384 celle o quattro milioni di caratteri) e non può essere importata.");
}
QString MessaggioTroppiTesti()
{
    return QStringLiteral("Attenzione: il foglio di calcolo contiene troppi testi (oltre due "
                          "milioni, o 32 milioni di caratteri) e non può essere importato.");
}

QString MessaggioTroppiFogli()
{
    return QStringLiteral("Attenzione: il foglio di calcolo contiene troppi fogli (oltre 1000) "
                          "e non può essere importato.");
}

void Controlla(const std::atomic<bool> *annulla)
{
    if (annulla && annulla->load(std::memory_order_relaxed))
        throw ErroreFile(MessaggioAnnullato());
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

// The CSV file is read as a stream, a block at a time: memory does not grow with the file.
constexpr qint64 BloccoCsv = 1 << 20;

class TFoglioCsv : public TFoglio {
public:
    TFoglioCsv(const QString &percorso, bool utf8, const std::atomic<bool> *annulla)
        : m_percorso(percorso), m_utf8(utf8), m_annulla(annulla)
    {
    }
    QStringList Fogli() const override { return {QString()}; }
    void Leggi(int foglio, const Riga &f) override;

private:
    // Reads the file from its start, a decoded block at a time; f(testo) returns false to
    // stop.
    template <class F> void Blocchi(F &&f) const;
    QChar Separatore() const;
    QString m_percorso;
    bool m_utf8;
    const std::atomic<bool> *m_annulla;
};

template <class F> void TFoglioCsv::Blocchi(F &&f) const
{
    QFile file(m_percorso);
    if (!ApriRegolare(file, QIODevice::ReadOnly))
        throw ErroreFile(QStringLiteral("Attenzione: impossibile aprire il file %1.")
                             .arg(QFileInfo(m_percorso).fileName()));
    QStringDecoder utf8(QStringDecoder::Utf8);
    bool primo = true;
    while (true) {
        Foglio::Controlla(m_annulla);
        QByteArray byte = file.read(BloccoCsv);
        if (byte.isEmpty())
            return;
        if (primo && byte.startsWith("\xEF\xBB\xBF"))
            byte.remove(0, 3);
        primo = false;
        if (!f(m_utf8 ? QString(utf8.decode(byte)) : Testo::FromWin1252(byte)))
            return;
    }
}

// The separator that appears most often outside quotes in the first record (of its
// first megabyte).
QChar TFoglioCsv::Separatore() const
{
    int pv = 0, v = 0, tab = 0;
    bool virgolette = false;
    Blocchi([&](const QString &testo) {
        for (const QChar c : testo) {
            if (c == u'"')
                virgolette = !virgolette;
            else if (virgolette)
                continue;
            else if (c == u'\n' || c == u'\r')
                return false;
            else if (c == u';')
                ++pv;
            else if (c == u',')
                ++v;
            else if (c == u'\t')
                ++tab;
        }
        return false;
    });
    if (tab > pv && tab > v)
        return u'\t';
    if (v > pv)
        return u',';
    return u';';
}

// RFC 4180 read one character at a time across the blocks: the state is the open quote,
// a quote just seen inside one, and a CR whose LF is still to come.
void TFoglioCsv::Leggi(int, const Riga &f)
{
    const QChar sep = Separatore();
    QStringList celle;
    QString cella;
    qsizetype caratteri = 0; // kept in the row so far
    int numero = 1;
    bool virgolette = false, virgolettaVista = false, cr = false, fermo = false;
    auto aggiungi = [&](const QChar *p, qsizetype n) {
        n = std::min(n, Limiti::Cella - cella.size());
        if (n > 0) {
            cella.append(p, n);
            caratteri += n;
        }
        if (caratteri > Limiti::Riga)
            throw ErroreFile(Foglio::MessaggioRigaTroppoGrande());
    };
    auto chiudiCella = [&]() {
        if (celle.size() >= 16384)
            throw ErroreFile(Foglio::MessaggioRigaTroppoGrande());
        celle.append(cella);
        cella.clear();
    };
    auto consegna = [&]() {
        chiudiCella();
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
        caratteri = 0;
        ++numero;
        return avanti;
    };
    bool iniziata = false; // a cell or a row is under way
    Blocchi([&](const QString &testo) {
        const QChar *p = testo.constData();
        const QChar *const fine = p + testo.size();
        while (p < fine) {
            const QChar c = *p;
            if (cr) {
                cr = false;
                if (c == u'\n') {
                    ++p;
                    continue;
                }
            }
            if (virgolette) {
                if (virgolettaVista) {
                    virgolettaVista = false;
                    if (c == u'"') { // "" is one quote
                        aggiungi(p++, 1);
                        continue;
                    }
                    virgolette = false; // the quote closed the field: c is read below
                } else {
                    const QChar *inizio = p;
                    while (p < fine && *p != u'"')
                        ++p;
                    aggiungi(inizio, p - inizio);
                    if (p < fine) {
                        virgolettaVista = true;
                        ++p;
                    }
                    continue;
                }
            }
            if (c == u'"' && cella.isEmpty()) {
                // Quoted field: separators and line breaks are text.
                virgolette = true;
                iniziata = true;
                ++p;
            } else if (c == sep) {
                chiudiCella();
                iniziata = true;
                ++p;
            } else if (c == u'\n' || c == u'\r') {
                cr = c == u'\r';
                ++p;
                iniziata = false;
                if (!consegna()) {
                    fermo = true;
                    return false;
                }
            } else {
                // Plain run up to the next separator, quote or line end, in one append.
                const QChar *inizio = p;
                while (p < fine && *p != sep && *p != u'\n' && *p != u'\r' && *p != u'"')
                    ++p;
                if (p == inizio) // a quote inside an unquoted field is text
                    ++p;
                aggiungi(inizio, p - inizio);
                iniziata = true;
            }
        }
        return true;
    });
    if (!fermo && (iniziata || !cella.isEmpty() || !celle.isEmpty()))
        consegna();
}

} // namespace

std::unique_ptr<TFoglio> ApriCsv(const QString &percorso, const std::atomic<bool> *annulla)
{
    QFile file(percorso);
    if (!ApriRegolare(file, QIODevice::ReadOnly))
        throw ErroreFile(QStringLiteral("Attenzione: impossibile aprire il file %1.")
                             .arg(QFileInfo(percorso).fileName()));
    if (file.size() > LimiteDecompresso)
        throw ErroreFile(Foglio::MessaggioTroppoGrande());
    // One pass over the bytes: no NUL (a text file holds none, anything else is not a
    // spreadsheet we read), valid UTF-8 or else Windows-1252, something besides blanks.
    QStringDecoder utf8(QStringDecoder::Utf8);
    bool testo = false, primo = true;
    while (true) {
        Foglio::Controlla(annulla);
        QByteArray byte = file.read(BloccoCsv);
        if (byte.isEmpty())
            break;
        if (primo && byte.startsWith("\xEF\xBB\xBF"))
            byte.remove(0, 3);
        primo = false;
        if (byte.contains('\0'))
            throw ErroreFile(Foglio::MessaggioNonFoglio());
        for (qsizetype i = 0; !testo && i < byte.size(); ++i)
            testo = uchar(byte[i]) > 32;
        if (!utf8.hasError())
            (void)QString(utf8.decode(byte)); // decode converts only when taken as text
    }
    const bool valido = !utf8.hasError();
    if (!testo)
        throw ErroreFile(Foglio::MessaggioVuoto());
    return std::make_unique<TFoglioCsv>(percorso, valido, annulla);
}

std::unique_ptr<TFoglio> ApriFoglio(const QString &percorso, const std::atomic<bool> *annulla)
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
            return ApriOds(percorso, annulla);
        // The content decides when the name does not: an XLSX has a workbook entry.
        try {
            return ApriXlsx(percorso, annulla);
        } catch (const ErroreFile &e) {
            if (e.testo() != Foglio::MessaggioNonFoglio())
                throw;
        }
        return ApriOds(percorso, annulla);
    }
    return ApriCsv(percorso, annulla);
}
