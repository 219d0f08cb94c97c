#pragma once
// Shared test support: a fresh program folder with the platform seam installed,
// an archive builder that writes records byte by byte from the file format
// (independent of the code under test), and lookup of controls by name.
#include "platform/Simulazione.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QMap>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QWidget>

class QModelIndex;
class QTableView;

#include <csignal>
#include <memory>
#include <stdexcept>
#include <utility>

#include <sys/resource.h>

// A disk that fails once a file would grow past `byte` bytes: writes beyond fail with
// EFBIG (the file-size limit), restored when it goes out of scope.
class QProcess;

class DiscoCheCede {
public:
    explicit DiscoCheCede(rlim_t byte)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_prima);
        rlimit r = m_prima;
        r.rlim_cur = byte;
        setrlimit(RLIMIT_FSIZE, &r);
    }
    ~DiscoCheCede() { setrlimit(RLIMIT_FSIZE, &m_prima); }
    DiscoCheCede(const DiscoCheCede &) = delete;
    DiscoCheCede &operator=(const DiscoCheCede &) = delete;

private:
    rlimit m_prima{};
};

// A temporary program folder with a Simulazione pointing at it.
class Ambiente {
public:
    Ambiente();
    QString Percorso(const QString &nome) const; // file in the program folder
    QString cartella() const { return m_dir.path(); }
    Simulazione &sim() { return *m_sim; }
    Simulazione *operator->() { return m_sim.get(); }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<Simulazione> m_sim;
};

// Builds records from the file format: field name -> raw text (Windows-1252 bytes).
namespace Costruttore {
// (field name, capacity) in record order, written out here from the format.
const QList<std::pair<QByteArray, int>> &Formato();
int Offset(const QByteArray &campo);
// One 2764-byte record; fields not given are empty. Text is taken as Latin-1 bytes
// unless given as raw bytes.
QByteArray Record(const QMap<QByteArray, QByteArray> &campi);
// A record with the usual fields of a member and "No" in Annullata.
QByteArray Tesserato(const QByteArray &nome, const QByteArray &dataRil = "01/01/2025",
                     const QByteArray &dataScade = "31/12/2025");
void ScriviArchivio(const QString &percorso, const QList<QByteArray> &record,
                    const QByteArray &coda = QByteArray());
QByteArray LeggiFile(const QString &percorso);
// The raw bytes of a field (text only) in a record.
QByteArray Campo(const QByteArray &record, const QByteArray &campo);
} // namespace Costruttore

// The first page's size in millimetres as a PDF file states it (its MediaBox).
QSizeF PaginaPdf(const QString &percorso);

// A solid-colour picture.
QImage Immagine(int w, int h, QColor colore);

// Finds a child control by object name; throws when missing so the test fails loudly.
template <class T> T *Controllo(QWidget *schermata, const char *nome)
{
    T *w = schermata->findChild<T *>(QString::fromLatin1(nome));
    if (!w)
        throw std::runtime_error(std::string("control not found: ") + nome);
    return w;
}

// Clicks the button with that object name.
void Clic(QWidget *w, const char *nome);

// Edits a cell of a grid as a user does: scrolled to and chosen, F2, its text replaced by
// `testo` typed, Enter. False when no editor opens or it does not close.
bool ScriviCella(QTableView *griglia, const QModelIndex &cella, const QString &testo);

// Writes the program folder's "Quorvel.ini" with exactly these bytes.
void ScriviIni(Ambiente &env, const QByteArray &contenuto);

// Runs LibreOffice `soffice` headless with its user profile in `profilo` and these
// arguments, waiting up to three minutes; a test failure when it does not start or
// end (the caller returns on QTest::currentTestFailed()).
void Soffice(QProcess &lo, const QString &soffice, const QString &profilo,
             const QStringList &argomenti);
