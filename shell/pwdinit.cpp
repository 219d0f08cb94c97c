// Build helper: lays the initial password file, never over an existing one.
#include "archive/Impostazioni.h"
#include "shell/Crypt.h"

#include <QFileInfo>

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: quorvel_pwdinit <path of unins000.dll>\n");
        return 2;
    }
    const QString percorso = QString::fromLocal8Bit(argv[1]);
    if (QFileInfo::exists(percorso))
        return 0; // it holds the user's password
    try {
        TFileIni ini(percorso);
        ini.Scrivi(QStringLiteral("Accesso"), QStringLiteral("Valore"),
                   Crypt::Encrypt(QStringLiteral("GIRASOLIDILUNA")));
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
