#include "platform/ModuloMultimedia.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <dlfcn.h>

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
        using Tabella = const TModuloMultimedia *(*)();
        if (const auto tabella = reinterpret_cast<Tabella>(dlsym(modulo, FunzioneModuloMultimedia)))
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
