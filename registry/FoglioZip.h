#pragma once
// What the XLSX and ODS readers share: a zip entry read with a limit, merged ranges,
// cell references.
#include "archive/Errori.h"
#include "archive/Testo.h"
#include "registry/Foglio.h"

#include <QIODevice>
#include <QStringList>
#include <QXmlStreamReader>

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipfileinfo.h>

#include <algorithm>
#include <vector>

namespace FoglioZip {

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

inline bool RigaVuota(const QStringList &celle)
{
    for (const QString &c : celle)
        if (!Testo::Trim32(c).isEmpty())
            return false;
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
    bool ok = true;
    const int r = i < ref.size() ? ref.mid(i).toInt(&ok) : 0;
    if (!ok)
        return false;
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

} // namespace FoglioZip
