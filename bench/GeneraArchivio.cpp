// quorvel_genera FILE N: writes a synthetic archive of N records.
#include "bench/Dati.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: quorvel_genera FILE N\n");
        return 2;
    }
    GeneraArchivio(QString::fromLocal8Bit(argv[1]), std::atoi(argv[2]));
    return 0;
}
