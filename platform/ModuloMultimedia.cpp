#include "platform/ModuloMultimedia.h"

#include "archive/LibreriaDinamica.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

namespace {
const TModuloMultimedia *Apri()
{
    const QDir qui(QCoreApplication::applicationDirPath());
    for (const QString &percorso :
         {qui.filePath(QStringLiteral("libquorvel_multimedia.so")),
          qui.filePath(QStringLiteral("../lib/quorvel/libquorvel_multimedia.so"))}) {
        // The module stays open for the rest of the run.
        void *modulo = dlopen(QFile::encodeName(percorso).constData(), RTLD_NOW | RTLD_LOCAL);
        if (!modulo)
            continue;
        const TModuloMultimedia *(*tabella)() = nullptr;
        if (LibreriaDinamica::Prendi(modulo, FunzioneModuloMultimedia, tabella))
            return tabella();
    }
    return nullptr;
}
} // namespace

const TModuloMultimedia *ModuloMultimedia()
{
    // Opened at the first call, once, whichever thread makes it.
    static const TModuloMultimedia *const modulo = Apri();
    return modulo;
}
