// Build helper: lays the initial password file, never over an existing one.
#include "shell/core/PasswordIniziale.h"

#include <cstdio>
#include <exception>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: quorvel_pwdinit <path of unins000.dll>\n");
        return 2;
    }
    try {
        Accesso::PosaPasswordIniziale(QString::fromLocal8Bit(argv[1]));
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
