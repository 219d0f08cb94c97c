#pragma once
// The export grid's data and the spreadsheet file "Tesserati.xls": an HTML table with
// the Office workbook header, in Windows-1252, without a single line break.
#include "archive/Scheda.h"

#include <QAbstractTableModel>
#include <QByteArray>
#include <QHash>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

class QIODevice;

inline const QString NomeEsportazione = QStringLiteral("Tesserati.xls");

// How a grid column takes its text from a record.
enum class Contenuto { Numero, Campo, ComuneNascita, Residenza };

struct ColonnaGriglia {
    const char *nome;   // colNum, colTesserato, ...
    const char *titolo; // header text, Windows-1252 compatible
    int larghezza;      // pixels
    bool solaLettura;
    Contenuto contenuto;
    Campo campo; // for Contenuto::Campo
};

inline constexpr int ColonneGriglia = 26;
inline constexpr int ColonneFile = 25; // the grid's column 0 is not exported
inline constexpr int RigheIniziali = 10;

extern const std::array<ColonnaGriglia, ColonneGriglia> Griglia;

struct ColonnaFile {
    const char *titolo;
    int larghezza;
};
// File column i takes grid column i + 1.
extern const std::array<ColonnaFile, ColonneFile> ColonneEsportate;

// The grid's data: one compact row of Windows-1252 bytes per record (the 25 cell texts
// one after another, with a byte of length for each), and the cells edited in the grid
// kept aside. A grid of 100,000 records thus holds about the size of its texts.
class TModelloRecords : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TModelloRecords(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // Back to the ten empty rows of a new grid.
    void Svuota();
    // Fills from the archive in the folder: one row per record, position in column 0.
    // Silent on failure: the rows read so far stay, the rest stay empty.
    void Riempi(const QString &cartella);

    // The text of a grid cell, as shown.
    QString Cella(int riga, int colonna) const;
    // Appends a cell of columns 1..25 to the file: its tag (marked as text when a
    // spreadsheet would read a value in it), its text trimmed, in Windows-1252, with the
    // characters that markup would swallow written as character references, its end tag.
    void AccodaCellaFile(QByteArray &out, int riga, int colonna) const;

private:
    struct Riga {
        qsizetype inizio; // offset of the row's bytes in the blocks of m_testo
        std::array<std::uint8_t, ColonneFile> lunghezze;
    };
    // The texts in blocks of fixed size that never move: the store grows without the
    // copy (and the double memory for a moment) of one ever larger buffer.
    static constexpr qsizetype BloccoTesto = qsizetype(1) << 20;
    static_assert(BloccoTesto >= ColonneFile * 255, "a row must fit a block");
    // Every cell text fits in 255 bytes: the longest field holds 250 characters.
    static_assert(5 + 1 + 50 + 1 + 2 <= 255, "joined cells must fit a length byte");

    void AccodaRiga(const TScheda &s);
    const char *Byte(int riga, int colonna, int *lunghezza) const;
    static quint64 Chiave(int riga, int colonna)
    {
        return (static_cast<quint64>(riga) << 8) | static_cast<quint64>(colonna);
    }

    int m_righe = RigheIniziali;
    std::vector<Riga> m_caricate; // rows read from the archive: row r is position r + 1
    std::vector<std::unique_ptr<char[]>> m_testo;
    qsizetype m_usati = 0; // bytes taken in the last block
    QHash<quint64, QString> m_modifiche;
};

// True when a spreadsheet program would read the trimmed Windows-1252 text as a number,
// date or time, formula or truth value rather than as the text it is.
bool LettoComeValore(const char *d, int n);

// Appends the file form of a cell text (already trimmed or not: it is trimmed here).
void AccodaTestoFile(QByteArray &out, const QString &testo);

// Appends the start of a spreadsheet file of our other tables (totals, figures), in the
// members' export's form, up to the opened body: one sheet named `foglio` (31 characters
// at most, as spreadsheets allow).
void AccodaInizioFoglio(QByteArray &out, const QString &foglio);

// Writes the whole export file from the grid's cells. Throws ErroreFile on failure;
// an earlier file is replaced only when the new one is complete.
void ScriviEsportazione(const QString &percorso, const TModelloRecords &griglia);
