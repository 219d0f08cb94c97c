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
#include <functional>
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

// The cells of columns 1..25 of one record as Windows-1252 bytes, one after another:
// each field trimmed, the joined cells with one blank between their parts (and not
// trimmed again), as the grid shows them.
struct TCelleScheda {
    std::array<char, ColonneFile * 255> byte;
    std::array<std::uint16_t, ColonneFile> inizio;
    std::array<std::uint8_t, ColonneFile> lunghezze;
    int usati = 0;
    void Leggi(const TScheda &s);
    // Every cell text fits in 255 bytes: the longest field holds 250 characters.
    static_assert(5 + 1 + 50 + 1 + 2 <= 255, "joined cells must fit a length byte");
};

// The grid's data, read from the archive when shown: the row count taken when filled,
// a few pages of recent rows (compact Windows-1252 bytes) and the cells edited in the
// grid kept aside. Memory stays the same for any number of records; the export file is
// written in one pass over the archive with the edits put in on the way.
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
    // Takes the count now; the rows are read when shown. Silent on failure: a count that
    // cannot be read leaves the ten empty rows, a row that cannot be read stays empty.
    void Riempi(const QString &cartella);

    // The text of a grid cell, as shown.
    QString Cella(int riga, int colonna) const;
    // Appends the file's data rows, one per grid row: the records of the archive read in
    // one pass (on a server, one snapshot), the edited cells in place of theirs, empty
    // cells for the rows without a record. Calls `pieno` whenever `out` holds a block.
    // Throws ErroreFile when the archive cannot be read.
    void AccodaRigheFile(QByteArray &out, qsizetype blocco,
                         const std::function<void()> &pieno) const;

private:
    // Recent rows, a page at a time: the bytes of TCelleScheda for each row read.
    struct Pagina {
        int prima = -1;                // first row
        quint64 uso = 0;               // when last asked for
        QByteArray testo;              // the rows' cells one after another
        std::vector<qsizetype> inizio; // per row: offset in testo, -1 when not read
        std::vector<std::array<std::uint8_t, ColonneFile>> lunghezze;
    };
    static constexpr int RighePagina = 128;
    static constexpr int PagineTenute = 16;

    const Pagina &PaginaDi(int riga) const;
    const char *Byte(int riga, int colonna, int *lunghezza) const;
    void AccodaRigaFile(QByteArray &out, int riga, const TCelleScheda *celle) const;
    static quint64 Chiave(int riga, int colonna)
    {
        return (static_cast<quint64>(riga) << 8) | static_cast<quint64>(colonna);
    }

    QString m_cartella;
    int m_righe = RigheIniziali;
    int m_schede = 0; // records in the archive when filled: row r is position r + 1
    QHash<quint64, QString> m_modifiche;
    mutable std::vector<Pagina> m_pagine;
    mutable quint64 m_uso = 0;
};

// True when a spreadsheet program would read the trimmed Windows-1252 text as a number,
// date or time, formula or truth value rather than as the text it is.
bool LettoComeValore(const char *d, int n);

// Appends the file form of a cell text (already trimmed or not: it is trimmed here).
void AccodaTestoFile(QByteArray &out, const QString &testo);

// Appends a data cell of the file: its tag (marked as text when a spreadsheet would read
// a value in it), its text trimmed, in Windows-1252, with the characters that markup
// would swallow written as character references, its end tag. From the record's bytes,
// or from the text the user typed in the grid.
void AccodaCellaFile(QByteArray &out, const char *d, int n);
void AccodaCellaFile(QByteArray &out, const QString &testo);

// Appends the start of a spreadsheet file of our other tables (totals, figures), in the
// members' export's form, up to the opened body: one sheet named `foglio` (31 characters
// at most, as spreadsheets allow).
void AccodaInizioFoglio(QByteArray &out, const QString &foglio);

// Writes the whole export file from the grid's cells. Throws ErroreFile on failure;
// an earlier file is replaced only when the new one is complete.
void ScriviEsportazione(const QString &percorso, const TModelloRecords &griglia);
