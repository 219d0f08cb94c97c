#pragma once
// What the XLSX and ODS readers share: a zip entry read with a limit, merged ranges,
// cell references.
#include "archive/Errori.h"
#include "archive/FileSicuro.h"
#include "archive/Testo.h"
#include "import/core/Foglio.h"

#include <QIODevice>
#include <QStringList>
#include <QXmlStreamReader>

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipfileinfo.h>

#include <QThread>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstring>
#include <deque>
#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace FoglioZip {

constexpr int MassimoColonne = 16384;
constexpr int MassimoRighe = 1048576;

// The zip file as a device that reads the disk in blocks of 64 KB and keeps the last
// block: the zip library reads headers a few bytes at a time, seeking in between, and a
// crafted file would otherwise cost a system call for every few bytes.
class TFileZip : public QIODevice {
public:
    explicit TFileZip(const QString &percorso) : m_file(percorso)
    {
        if (!ApriRegolare(m_file, QIODevice::ReadOnly | QIODevice::Unbuffered))
            throw ErroreFile(Foglio::MessaggioDanneggiato());
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    bool isSequential() const override { return false; }
    qint64 size() const override { return m_file.size(); }

protected:
    qint64 readData(char *data, qint64 massimo) override
    {
        constexpr qint64 Blocco = 64 * 1024;
        qint64 letti = 0, p = pos();
        while (letti < massimo) {
            if (p < m_inizio || p >= m_inizio + m_blocco.size()) {
                m_inizio = p - p % Blocco;
                m_blocco.clear();
                if (!m_file.seek(m_inizio))
                    break;
                m_blocco = m_file.read(Blocco);
                if (p >= m_inizio + m_blocco.size())
                    break; // the file's end
            }
            const qint64 n = std::min(massimo - letti, m_inizio + m_blocco.size() - p);
            std::memcpy(data + letti, m_blocco.constData() + (p - m_inizio), size_t(n));
            letti += n;
            p += n;
        }
        return letti;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QFile m_file;
    QByteArray m_blocco;
    qint64 m_inizio = 0;
};

// Watches the XML as it is unpacked, byte by byte: a text, a tag, a comment, a CDATA
// section or a processing instruction longer than Limiti::VoceXml would be held whole
// by the XML reader, so a few bytes of zip could fill the memory.
class TGuardiaXml {
public:
    // False as soon as one piece of the XML is too long.
    bool Passa(const char *p, qint64 n)
    {
        const char *const fine = p + n;
        while (p < fine) {
            if (m_stato == Testo) {
                const void *lt = std::memchr(p, '<', size_t(fine - p));
                if (!lt) {
                    m_corsa += fine - p;
                    break;
                }
                m_corsa += static_cast<const char *>(lt) - p;
                if (m_corsa > Limiti::VoceXml)
                    return false;
                p = static_cast<const char *>(lt) + 1;
                m_stato = Inizio;
                m_corsa = 1;
                m_visto.clear();
                continue;
            }
            const char c = *p++;
            if (++m_corsa > Limiti::VoceXml)
                return false;
            switch (m_stato) {
            case Inizio:
                // What follows '<': "?" opens an instruction, "!--" a comment,
                // "![CDATA[" a section, any other "!" a declaration, the rest a tag.
                m_visto += c;
                if (m_visto == "?") {
                    Speciale("?>");
                } else if (m_visto == "!--") {
                    Speciale("-->");
                } else if (m_visto == "![CDATA[") {
                    Speciale("]]>");
                } else if (m_visto[0] != '!') {
                    m_stato = Tag;
                    Tag_(c);
                } else if (!std::string_view("![CDATA[").starts_with(m_visto) &&
                           !std::string_view("!--").starts_with(m_visto)) {
                    m_stato = Dichiarazione;
                    m_parentesi = 0;
                    Tag_(c);
                }
                break;
            case Tag:
            case Dichiarazione:
                Tag_(c);
                break;
            case Virgolette:
                if (c == m_virgoletta)
                    m_stato = m_dopo;
                break;
            case Chiusura:
                // The end marker, matched one byte at a time; in "-->" and "]]>" a third
                // '-' or ']' keeps the two seen.
                if (c == m_fine[m_combacia]) {
                    if (++m_combacia == m_fine.size())
                        Fine();
                } else if (c == m_fine[0]) {
                    m_combacia = m_combacia == 2 && m_fine[1] == c ? 2 : 1;
                } else {
                    m_combacia = 0;
                }
                break;
            case Testo:
                break;
            }
        }
        return m_corsa <= Limiti::VoceXml;
    }

private:
    enum Stato { Testo, Inizio, Tag, Dichiarazione, Virgolette, Chiusura };
    void Speciale(std::string_view fine)
    {
        m_stato = Chiusura;
        m_fine = fine;
        m_combacia = 0;
    }
    void Fine()
    {
        m_stato = Testo;
        m_corsa = 0;
    }
    void Tag_(char c)
    {
        if (c == '"' || c == '\'') {
            m_dopo = m_stato;
            m_virgoletta = c;
            m_stato = Virgolette;
        } else if (m_stato == Dichiarazione && c == '[') {
            ++m_parentesi;
        } else if (m_stato == Dichiarazione && c == ']') {
            --m_parentesi;
        } else if (c == '>' && (m_stato == Tag || m_parentesi <= 0)) {
            Fine();
        }
    }
    Stato m_stato = Testo, m_dopo = Tag;
    char m_virgoletta = '"';
    std::string m_visto;
    std::string_view m_fine;
    size_t m_combacia = 0;
    int m_parentesi = 0;
    qint64 m_corsa = 0;
};

// One zip entry as a read-only device that refuses to unpack beyond the limit, stops
// when the reading is cancelled and remembers why it stopped.
class TVoceZip : public QIODevice {
public:
    TVoceZip(QuaZip *zip, const QString &nome, const std::atomic<bool> *annulla = nullptr)
        : m_file(zip), m_annulla(annulla)
    {
        Foglio::Controlla(annulla);
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
        // Unbuffered: the end seen by the reader is the entry's end, not a buffer's.
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    ~TVoceZip() override
    {
        if (m_file.isOpen())
            m_file.close();
    }
    bool Esiste() const { return m_esiste; }
    bool isSequential() const override { return true; }
    bool atEnd() const override { return m_fine; }

    // After the XML reader stopped: throws the reason as the user's message.
    void Verifica(const QXmlStreamReader &x)
    {
        Foglio::Controlla(m_annullata ? m_annulla : nullptr);
        if (m_troppo)
            throw ErroreFile(Foglio::MessaggioTroppoGrande());
        if (m_voceGrande)
            throw ErroreFile(Foglio::MessaggioVoceTroppoGrande());
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
        if (m_annulla && m_annulla->load(std::memory_order_relaxed)) {
            m_annullata = true;
            m_fine = true;
            return -1;
        }
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
        if (!m_guardia.Passa(data, n)) {
            m_voceGrande = true;
            m_fine = true;
            return -1;
        }
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QuaZipFile m_file;
    const std::atomic<bool> *m_annulla;
    TGuardiaXml m_guardia;
    bool m_esiste = false, m_fine = false, m_guasto = false, m_troppo = false;
    bool m_annullata = false, m_voceGrande = false;
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

inline bool RigaVuota(const QStringList &celle)
{
    for (const QString &c : celle)
        if (!Testo::Trim32(c).isEmpty())
            return false;
    return true;
}

// The value of a text of 1 to 18 ASCII digits; false for anything else.
inline bool Cifre(QStringView t, qint64 *valore)
{
    if (t.isEmpty() || t.size() > 18)
        return false;
    qint64 n = 0;
    for (const QChar c : t) {
        if (c < u'0' || c > u'9')
            return false;
        n = n * 10 + (c.unicode() - u'0');
    }
    *valore = n;
    return true;
}

// "AB12" -> column 27 (0-based) and row 12; false when it is no cell reference.
inline bool Riferimento(QStringView ref, int *colonna, int *riga)
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
    int r = 0;
    if (i < ref.size()) {
        qint64 cifre = 0;
        bool ok = Cifre(ref.mid(i), &cifre) && cifre <= MassimoRighe;
        r = ok ? int(cifre) : ref.mid(i).toInt(&ok);
        if (!ok)
            return false;
    }
    *colonna = c - 1;
    if (riga)
        *riga = r;
    return true;
}

inline void ApriZip(QuaZip &zip)
{
    if (!zip.open(QuaZip::mdUnzip))
        throw ErroreFile(Foglio::MessaggioDanneggiato());
}

// Where the last end tag "</name>" or "</prefix:name>" of the bytes ends: the offset just
// past it, or -1. fine is the name with its '>' ("row>").
inline qsizetype FineUltimo(const QByteArray &b, std::string_view fine, qsizetype da = 0)
{
    const std::string_view s(b.constData(), size_t(b.size()));
    // Only the tags that start from `da` are looked for: the bytes before were searched.
    const size_t base = std::min(size_t(std::max<qsizetype>(da, 0)), s.size());
    const std::string_view coda = s.substr(base);
    size_t i = coda.size();
    while (i >= fine.size() && (i = coda.rfind(fine, i - fine.size())) != std::string_view::npos) {
        size_t j = base + i;
        if (j > 0 && s[j - 1] == ':') {
            --j;
            while (j > 0 && (std::isalnum(uchar(s[j - 1])) || s[j - 1] == '_' || s[j - 1] == '-' ||
                             s[j - 1] == '.'))
                --j;
        }
        if (j >= 2 && s[j - 1] == '/' && s[j - 2] == '<')
            return qsizetype(base + i + fine.size());
        i += fine.size() - 1; // the next search ends just before this match
    }
    return -1;
}

// Work for Qt's pool of helper threads (QtConcurrent), its value or the exception it
// threw taken back with Prendi. Work not taken back is waited for when this goes, as it
// may use what the caller holds; so it stays where it was made, never copied nor moved.
template <class T> class TInParallelo {
public:
    template <class F>
    explicit TInParallelo(F lavoro)
        : m_futuro(QtConcurrent::run([lavoro = std::move(lavoro)]() -> Esito {
              try {
                  return {lavoro(), nullptr};
              } catch (...) {
                  return {std::nullopt, std::current_exception()};
              }
          }))
    {
    }
    ~TInParallelo()
    {
        if (!m_preso)
            m_futuro.waitForFinished();
    }
    TInParallelo(const TInParallelo &) = delete;
    TInParallelo &operator=(const TInParallelo &) = delete;

    // Waits for the work; once its value is taken the work uses nothing more of ours (a
    // future whose result was taken never reads as finished: it is not waited for again).
    T Prendi()
    {
        m_preso = true;
        Esito e = m_futuro.takeResult();
        if (e.errore)
            std::rethrow_exception(e.errore);
        return std::move(*e.valore);
    }

private:
    struct Esito {
        std::optional<T> valore;
        std::exception_ptr errore;
    };
    QFuture<Esito> m_futuro;
    bool m_preso = false;
};

// How a reading in pieces ended: every piece handed over, stopped by the receiver, or
// given up (nothing wrong is handed over; the entry must be read again in one stream).
enum class Lettura { Finita, Fermata, DaRifare };

// Reads the XML of an open entry cut after each end tag `fine` into pieces that helper
// threads read at the same time, each with its own QXmlStreamReader placed inside the
// elements the first piece left open (prefixes kept as written, so no namespace
// processing). leggi(x, aperti) reads one piece into a value and, given aperti, keeps the
// names of the elements still open there; consegna(value) takes the values in order
// and returns false to stop. What cannot be read right this way gives up: an entity of
// a document type, a text that looks like the end tag, an encoding other than UTF-8, a
// piece over 16 MB.
template <class Leggi, class Consegna>
Lettura InPezzi(TVoceZip &voce, std::string_view fine, const Leggi &leggi, Consegna &&consegna)
{
    using Valore = decltype(leggi(std::declval<QXmlStreamReader &>(), nullptr));
    constexpr qsizetype Blocco = 256 * 1024, MassimoPezzo = 16 * 1024 * 1024;
    // Two pieces per core: while this thread hands rows over and unpacks the next piece,
    // every core still has a piece to read.
    const size_t inVolo = size_t(2 * std::clamp(QThread::idealThreadCount(), 2, 16));
    // A piece read by a helper: its value, or nothing when it is not well formed.
    std::deque<TInParallelo<std::optional<Valore>>> coda;
    auto consegnaPrimo = [&]() {
        std::optional<Valore> v = coda.front().Prendi();
        coda.pop_front();
        if (!v)
            return Lettura::DaRifare;
        return consegna(*v) ? Lettura::Finita : Lettura::Fermata;
    };
    QByteArray resto, apertura, chiusura;
    bool primo = true;
    while (true) {
        const QByteArray blocco = voce.read(Blocco);
        const bool finito = blocco.isEmpty();
        if (finito)
            voce.Verifica(QXmlStreamReader());
        // No end tag lies in what was kept from before: only the new bytes are searched.
        const qsizetype prima = resto.size() - qsizetype(fine.size());
        resto += blocco;
        const qsizetype taglio = finito ? resto.size() : FineUltimo(resto, fine, prima);
        if (taglio < 0) {
            if (resto.size() > MassimoPezzo)
                return Lettura::DaRifare;
            continue;
        }
        const QByteArray pezzo = resto.left(taglio);
        resto.remove(0, taglio);
        if (primo) {
            // The first piece holds the document's start: read here, it tells which
            // elements wrap the others and that the text is UTF-8. It is read once
            // more with those elements closed, so that a cut inside a comment, a
            // CDATA section or one of the elements being cut on shows as an error.
            // Nothing is before it: it is handed over at once.
            primo = false;
            QStringList aperti;
            QXmlStreamReader x(pezzo);
            x.setNamespaceProcessing(false);
            Valore v = leggi(x, &aperti);
            const QStringView codifica = x.documentEncoding();
            if (!codifica.isEmpty() && codifica.compare(u"UTF-8", Qt::CaseInsensitive) != 0)
                return Lettura::DaRifare;
            bool guasto = x.hasError();
            if (!finito) {
                if (x.error() != QXmlStreamReader::PrematureEndOfDocumentError)
                    return Lettura::DaRifare;
                for (const QString &e : aperti) {
                    if (fine == (e.section(u':', -1) + u'>').toStdString())
                        return Lettura::DaRifare;
                    apertura += '<' + e.toUtf8() + '>';
                    chiusura.prepend("</" + e.toUtf8() + '>');
                    // Copied into every piece: past a few elements, one stream is cheaper.
                    if (apertura.size() > Limiti::Apertura)
                        return Lettura::DaRifare;
                }
                QXmlStreamReader chiuso(pezzo + chiusura);
                chiuso.setNamespaceProcessing(false);
                v = leggi(chiuso, nullptr);
                guasto = chiuso.hasError();
            }
            if (guasto)
                return Lettura::DaRifare;
            if (!consegna(v))
                return Lettura::Fermata;
        } else {
            // The last piece closes the elements itself.
            coda.emplace_back(
                [&leggi, xml = apertura + pezzo +
                               (finito ? QByteArray() : chiusura)]() -> std::optional<Valore> {
                    QXmlStreamReader x(xml);
                    x.setNamespaceProcessing(false);
                    Valore v = leggi(x, nullptr);
                    if (x.hasError())
                        return std::nullopt;
                    return v;
                });
        }
        while (!coda.empty() && (finito || coda.size() >= inVolo))
            if (const Lettura l = consegnaPrimo(); l != Lettura::Finita)
                return l;
        if (finito)
            return Lettura::Finita;
    }
}

} // namespace FoglioZip
