#include "storage/CopieImportazione.h"

#include "archive/Archivio.h"
#include "archive/Errori.h"
#include "archive/FileSicuro.h"
#include "archive/Impostazioni.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace CopieImportazione {

namespace {

const QString NomeRegistro = QStringLiteral("Importazione.ini");
const QString Sezione = QStringLiteral("Importazione");
const QString FormatoNome = QStringLiteral("yyyyMMdd-HHmmss-zzz");

// Copies a whole file, written aside and confirmed.
void CopiaFile(const QString &da, const QString &a)
{
    QFile sorgente(da);
    if (!ApriRegolare(sorgente, QIODevice::ReadOnly))
        throw ErroreFile(
            QStringLiteral("Impossibile leggere il file %1: %2").arg(da, sorgente.errorString()));
    QSaveFile destinazione(a);
    if (!ApriInScrittura(destinazione))
        throw ErroreFile(QStringLiteral("Impossibile scrivere il file %1: %2")
                             .arg(a, destinazione.errorString()));
    while (!sorgente.atEnd()) {
        const QByteArray blocco = sorgente.read(1 << 20);
        if (blocco.isEmpty() && sorgente.error() != QFileDevice::NoError)
            throw ErroreFile(QStringLiteral("Impossibile leggere il file %1: %2")
                                 .arg(da, sorgente.errorString()));
        if (destinazione.write(blocco) != blocco.size())
            throw ErroreFile(QStringLiteral("Impossibile scrivere il file %1: %2")
                                 .arg(a, destinazione.errorString()));
    }
    if (!ConfermaFile(destinazione))
        throw ErroreFile(QStringLiteral("Impossibile scrivere il file %1: %2")
                             .arg(a, destinazione.errorString()));
}

QString Numeri(const QList<int> &n)
{
    QStringList t;
    for (int i : n)
        t << QString::number(i);
    return t.join(u',');
}

QList<int> Numeri(const QString &t)
{
    QList<int> n;
    for (const QString &p : t.split(u',', Qt::SkipEmptyParts)) {
        bool ok = false;
        const int i = p.toInt(&ok);
        if (ok && i > 0)
            n << i;
    }
    return n;
}

// The copies, newest first; with complete, only those whose record was written.
QStringList Copie(const QString &cartella, bool complete)
{
    QDir d(QDir(cartella).filePath(NomeCartella));
    QStringList r;
    for (const QString &n :
         d.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::Reversed))
        if (!complete || QFileInfo(d.filePath(n) + u'/' + NomeRegistro).isFile())
            r << d.filePath(n);
    return r;
}

// The archive's state as the copy records it: size and time of the last change.
QString Stato(const QString &archivio)
{
    const QFileInfo f(archivio);
    return QStringLiteral("%1 %2").arg(f.size()).arg(f.lastModified().toMSecsSinceEpoch());
}

QString Quando(const QString &copia)
{
    QDateTime t = QDateTime::fromString(QFileInfo(copia).fileName(), FormatoNome);
    t.setTimeSpec(Qt::UTC);
    return t.isValid() ? t.toLocalTime().toString(QStringLiteral("dd/MM/yyyy 'alle' HH:mm"))
                       : QString();
}

} // namespace

TCopia::TCopia(const QString &cartella, const QList<int> &foto) : m_cartella(cartella), m_foto(foto)
{
    const QDir base(QDir(cartella).filePath(NomeCartella));
    // Named by the time in UTC, so that names sort as the imports came, whatever the
    // clock's summer time.
    QString nome = QDateTime::currentDateTimeUtc().toString(FormatoNome);
    while (base.exists(nome)) // two imports within the same millisecond
        nome = QDateTime::fromString(nome, FormatoNome).addMSecs(1).toString(FormatoNome);
    m_copia = base.filePath(nome);
    if (!CreaCartella(m_copia))
        throw ErroreFile(QStringLiteral("Impossibile creare la cartella %1").arg(m_copia));
    try {
        CopiaFile(TArchivio::Percorso(cartella), QDir(m_copia).filePath(NomeArchivio));
        for (int p : foto) {
            const QString f = PercorsoFoto(cartella, p);
            if (QFileInfo(f).isFile()) {
                CopiaFile(f, PercorsoFoto(m_copia, p));
                m_salvate << p;
            }
        }
    } catch (...) {
        QDir(m_copia).removeRecursively();
        throw;
    }
}

TCopia::~TCopia()
{
    if (!m_confermata)
        QDir(m_copia).removeRecursively();
}

bool TCopia::Conferma()
{
    try {
        TFileIni registro(QDir(m_copia).filePath(NomeRegistro));
        registro.Imposta(Sezione, QStringLiteral("Archivio dopo"),
                         Stato(TArchivio::Percorso(m_cartella)));
        registro.Imposta(Sezione, QStringLiteral("Foto scritte"), Numeri(m_foto));
        registro.Imposta(Sezione, QStringLiteral("Foto salvate"), Numeri(m_salvate));
        registro.Salva();
    } catch (const ErroreFile &) {
        return false;
    }
    m_confermata = true;
    // The oldest beyond the last five go, and any copy left unfinished.
    const QStringList tutte = Copie(m_cartella, false), complete = Copie(m_cartella, true);
    for (const QString &c : tutte)
        if (!complete.contains(c) || complete.indexOf(c) >= Tenute)
            QDir(c).removeRecursively();
    return true;
}

Ripristino AnnullaUltima(const QString &cartella)
{
    const QStringList copie = Copie(cartella, true);
    if (copie.isEmpty())
        return {false, QStringLiteral("Non c'è nessuna importazione da annullare.")};
    const QString copia = copie.first();
    const TFileIni registro(QDir(copia).filePath(NomeRegistro));
    const QString archivio = TArchivio::Percorso(cartella);
    if (registro.Leggi(Sezione, QStringLiteral("Archivio dopo")) != Stato(archivio))
        return {false,
                QStringLiteral("Impossibile annullare l'importazione del %1: l'archivio è stato "
                               "modificato dopo l'importazione.\n\r\n\rLa copia dell'archivio "
                               "com'era prima è nella cartella %2.")
                    .arg(Quando(copia), QDir::toNativeSeparators(copia))};
    try {
        CopiaFile(QDir(copia).filePath(NomeArchivio), archivio);
    } catch (const ErroreFile &e) {
        return {false, QStringLiteral("Impossibile annullare l'importazione: l'archivio non è "
                                      "stato modificato.\n\r\n\r") +
                           e.testo()};
    }
    // The photos the import wrote: the earlier ones back, the new ones removed.
    const QList<int> salvate = Numeri(registro.Leggi(Sezione, QStringLiteral("Foto salvate")));
    QStringList mancate;
    for (int p : Numeri(registro.Leggi(Sezione, QStringLiteral("Foto scritte")))) {
        const QString f = PercorsoFoto(cartella, p);
        try {
            if (salvate.contains(p))
                CopiaFile(PercorsoFoto(copia, p), f);
            else if (QFileInfo::exists(f) && !QFile::remove(f))
                mancate << QFileInfo(f).fileName();
        } catch (const ErroreFile &) {
            mancate << QFileInfo(f).fileName();
        }
    }
    const QString quando = Quando(copia);
    if (!mancate.isEmpty())
        return {true, QStringLiteral("L'archivio è tornato com'era prima dell'importazione del "
                                     "%1, ma queste foto non sono state ripristinate: %2.")
                          .arg(quando, mancate.join(QStringLiteral(", ")))};
    QDir(copia).removeRecursively();
    return {true, QStringLiteral("Importazione del %1 annullata: l'archivio è tornato com'era "
                                 "prima.")
                      .arg(quando)};
}

} // namespace CopieImportazione
