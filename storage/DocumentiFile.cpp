// The folder's photos as bytes and its attachment folder "Documenti_Allegati".
#include "archive/FileSicuro.h"
#include "storage/DepositoFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QSaveFile>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>

#include <unistd.h>

namespace {
const QString kFineAllegati = QStringLiteral("la cartella dei documenti allegati");

QString MessaggioCartella(const QString &cartella)
{
    return QStringLiteral("Attenzione: non \u00E8 stato possibile creare ") + kFineAllegati +
           QStringLiteral(":\r\n\r\n") + cartella +
           QStringLiteral("\r\n\r\nAccertarsi di possedere i privilegi di scrittura nella "
                          "cartella di installazione del programma.");
}

QString MessaggioLettura(const QString &origine)
{
    return QStringLiteral("Attenzione: non \u00E8 stato possibile leggere il file da copiare "
                          "nella cartella dei documenti allegati:\r\n\r\n") +
           origine + QStringLiteral("\r\n\r\nIl file non \u00E8 stato allegato.");
}

QString MessaggioScrittura(const QString &errore)
{
    return QStringLiteral("Attenzione: non \u00E8 stato possibile scrivere la copia del file "
                          "nella cartella dei documenti allegati (") +
           errore +
           QStringLiteral(").\r\n\r\nIl disco potrebbe essere pieno o protetto da scrittura. "
                          "Il file non \u00E8 stato allegato.");
}

QString MessaggioSostituzione(const QString &nome, const QString &errore)
{
    return QStringLiteral("Attenzione: non \u00E8 stato possibile sostituire il file \"") + nome +
           QStringLiteral("\" nella cartella dei documenti allegati (") + errore +
           QStringLiteral(").\r\n\r\nIl file esistente \u00E8 rimasto com'era.");
}
} // namespace

bool NomeDocumentoSemplice(const QString &nome)
{
    return !nome.isEmpty() && nome != u"." && nome != u".." && !nome.contains(u'/') &&
           !nome.contains(u'\\') && !QDir::isAbsolutePath(nome);
}

bool TDepositoFile::ScriviFotoJpeg(int posizione, const QByteArray &jpeg)
{
    // Written beside and renamed into place: a failed write keeps the earlier file whole.
    QSaveFile file(PercorsoFoto(m_cartella, posizione));
    if (!ApriInScrittura(file))
        return false;
    if (file.write(jpeg) != jpeg.size()) {
        file.cancelWriting();
        return false;
    }
    return ConfermaFile(file);
}

bool TDepositoFile::FotoLeggibile(int posizione)
{
    const QString percorso = PercorsoFoto(m_cartella, posizione);
    return QFileInfo(percorso).isFile() && QImageReader(percorso).canRead();
}

QString TDepositoFile::CartellaDocumenti() const
{
    return QDir(m_cartella).filePath(QStringLiteral("Documenti_Allegati"));
}

bool TDepositoFile::EsisteDocumento(const QString &nome)
{
    const QString cartella = CartellaDocumenti();
    if (!NomeDocumentoSemplice(nome) || QFileInfo(cartella).isSymLink())
        return false;
    const QFileInfo info(QDir(cartella).filePath(nome));
    return info.exists() || info.isSymLink();
}

bool TDepositoFile::StessoDocumento(const QString &nome, const QString &origine)
{
    const QFileInfo info(QDir(CartellaDocumenti()).filePath(nome));
    return NomeDocumentoSemplice(nome) && info.isFile() && !info.isSymLink() &&
           info.canonicalFilePath() == QFileInfo(origine).canonicalFilePath();
}

QString TDepositoFile::SalvaDocumento(const QString &nome, const QString &origine, bool sostituisci)
{
    const QString cartella = CartellaDocumenti();
    if (QFileInfo(cartella).isSymLink() || !CreaCartella(cartella))
        return MessaggioCartella(cartella);
    if (!NomeDocumentoSemplice(nome))
        return MessaggioLettura(origine);
    const QString destinazione = QDir(cartella).filePath(nome);
    if (EsisteDocumento(nome) && (!sostituisci || StessoDocumento(nome, origine)))
        return QString(); // the document already stored stays
    QFile sorgente(origine);
    if (!ApriRegolare(sorgente, QIODevice::ReadOnly))
        return MessaggioLettura(origine);
    // The copy is made whole beside the target under a short name of its own, then
    // renamed over it in one step: the old document stays until the new one is there.
    QTemporaryFile copia(QDir(cartella).filePath(QStringLiteral(".copia-XXXXXX")));
    if (!copia.open())
        return MessaggioScrittura(copia.errorString());
    for (;;) {
        const QByteArray blocco = sorgente.read(1 << 20);
        if (blocco.isEmpty()) {
            if (!sorgente.atEnd())
                return MessaggioLettura(origine);
            break;
        }
        if (copia.write(blocco) != blocco.size())
            return MessaggioScrittura(copia.errorString());
    }
    if (!copia.flush() || ::fsync(copia.handle()) != 0)
        return MessaggioScrittura(copia.errorString());
    // For the user alone, whatever the modes of the document copied.
    copia.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (::rename(QFile::encodeName(copia.fileName()).constData(),
                 QFile::encodeName(destinazione).constData()) != 0)
        return MessaggioSostituzione(nome, qt_error_string(errno));
    copia.setAutoRemove(false);
    return QString();
}

QString TDepositoFile::DocumentoDaAprire(const QString &nome)
{
    // Only a plain name inside the folder: a record made elsewhere may name any file.
    const QString cartella = CartellaDocumenti();
    const QString percorso = QDir(cartella).filePath(nome);
    if (!NomeDocumentoSemplice(nome) || QFileInfo(percorso).isSymLink() ||
        QFileInfo(cartella).isSymLink())
        return QString();
    return percorso;
}
