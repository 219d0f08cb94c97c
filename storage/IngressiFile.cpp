// The folder's door check: the signing key "ChiaveVerifica.bin" and the entrance log
// "Ingressi.csv", beside the archive, read and written through the folder's file guards.
#include "archive/CellaCsv.h"
#include "archive/FileSicuro.h"
#include "cards/core/CodiceVerifica.h"
#include "storage/DepositoFile.h"

#include <QDir>

namespace {
const QString kFileChiave = QStringLiteral("ChiaveVerifica.bin");
const QString kFileIngressi = QStringLiteral("Ingressi.csv");
const QStringList kIntestazione = {QStringLiteral("Data"),      QStringLiteral("Ora"),
                                   QStringLiteral("Tessera"),   QStringLiteral("Tesserato"),
                                   QStringLiteral("Posizione"), QStringLiteral("Esito")};

ErroreFile ErroreChiave()
{
    return ErroreFile(QStringLiteral(
        "Attenzione: non \u00E8 stato possibile leggere o creare la chiave di verifica delle "
        "tessere (ChiaveVerifica.bin) nella cartella dell'archivio."));
}
} // namespace

QByteArray TDepositoFile::ChiaveVerifica()
{
    const QString percorso = QDir(m_cartella).filePath(kFileChiave);
    QFile f(percorso);
    if (f.exists() || QFileInfo(percorso).isSymLink()) {
        // A key of the wrong size is never replaced: every card signed with it would fail.
        if (!ApriRegolare(f, QIODevice::ReadOnly))
            throw ErroreChiave();
        const QByteArray chiave = f.read(CodiceVerifica::ByteChiave + 1);
        if (chiave.size() != CodiceVerifica::ByteChiave)
            throw ErroreChiave();
        return chiave;
    }
    const QByteArray chiave = CodiceVerifica::NuovaChiave();
    QSaveFile nuovo(percorso);
    if (!ApriInScrittura(nuovo) || nuovo.write(chiave) != chiave.size() || !ConfermaFile(nuovo))
        throw ErroreChiave();
    return chiave;
}

void TDepositoFile::RegistraIngresso(const TIngresso &i)
{
    QFile f(QDir(m_cartella).filePath(kFileIngressi));
    // A pipe, a folder or a symbolic link named as the log is refused like the archive's.
    if (!ApriRegolare(f, QIODevice::ReadWrite | QIODevice::Append))
        throw ErroreFile(QStringLiteral("Attenzione: non \u00E8 stato possibile scrivere il "
                                        "registro degli ingressi (Ingressi.csv)."));
    QByteArray testo;
    if (f.size() == 0) {
        // A new log: the byte order mark and the header tell spreadsheets what it holds.
        testo = "\xEF\xBB\xBF" + (Csv::Riga(kIntestazione) + QStringLiteral("\r\n")).toUtf8();
    } else if (f.seek(f.size() - 1)) {
        // A line cut short by a crash is ended before the next one.
        char ultimo = 0;
        if (f.getChar(&ultimo) && ultimo != '\n')
            testo = "\r\n";
    }
    testo += (Csv::Riga({i.quando.date().toString(Qt::ISODate),
                         i.quando.time().toString(QStringLiteral("HH:mm:ss")), i.tessera,
                         i.tesserato, QString::number(i.posizione), i.esito}) +
              QStringLiteral("\r\n"))
                 .toUtf8();
    if (f.write(testo) != testo.size() || !f.flush())
        throw ErroreFile(QStringLiteral("Attenzione: non \u00E8 stato possibile scrivere il "
                                        "registro degli ingressi (Ingressi.csv): ") +
                         MotivoScrittura(f));
}

std::vector<TDeposito::TIngresso> TDepositoFile::IngressiDel(const QDate &giorno)
{
    std::vector<TIngresso> r;
    QFile f(QDir(m_cartella).filePath(kFileIngressi));
    if (!ApriRegolare(f, QIODevice::ReadOnly))
        return r;
    const QString data = giorno.toString(Qt::ISODate);
    for (const QString &riga : Csv::Righe(QString::fromUtf8(f.readAll()))) {
        const QStringList c = Csv::Campi(riga);
        if (c.size() < kIntestazione.size() || c[0] != data)
            continue;
        const QTime ora = QTime::fromString(c[1], QStringLiteral("HH:mm:ss"));
        r.push_back({QDateTime(giorno, ora), c[2], c[3], c[4].toInt(), c[5]});
    }
    return r;
}
