#include "shell/core/RigaDiComando.h"

#include <cstdio>
#include <cstring>
#include <string_view>

namespace RigaDiComando {
namespace {
const char *const Aiuto =
    "Uso: quorvel [OPZIONE]\n"
    "Archivio anagrafico dei tesserati e stampa delle tessere di riconoscimento.\n"
    "Senza opzioni apre la finestra di accesso.\n"
    "\n"
    "  -h, --help       mostra questo aiuto ed esce\n"
    "  -v, --version    mostra la versione ed esce\n"
    "\n"
    "I dati stanno nella cartella del programma se vi si può scrivere, altrimenti in\n"
    "~/.local/share/Quorvel; cartelle e file sono leggibili solo dall'utente.\n"
    "Guida all'utilizzo: /usr/share/quorvel/Guida.pdf; pagina di manuale: man quorvel.\n";

// Qt's options that the application reads, with a value after them or without.
constexpr std::string_view OpzioniQtConValore[] = {
    "platform",    "platformpluginpath", "platformtheme", "plugin",     "qwindowgeometry",
    "qwindowicon", "qwindowtitle",       "style",         "stylesheet", "session",
    "display",     "geometry",           "name",          "title"};
constexpr std::string_view OpzioniQt[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

// The option's name without its dashes (Qt takes -style and --style alike).
std::string_view Nome(std::string_view a)
{
    a.remove_prefix(a.size() > 1 && a[1] == '-' ? 2 : 1);
    return a.substr(0, a.find('='));
}

template <std::size_t N> bool Tra(std::string_view nome, const std::string_view (&elenco)[N])
{
    for (std::string_view n : elenco)
        if (n == nome)
            return true;
    return false;
}
} // namespace

std::optional<int> Rispondi(int argc, const char *const *argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view a(argv[i]);
        if (a == "-h" || a == "--help") {
            std::fputs(Aiuto, stdout);
            return 0;
        }
        if (a == "-v" || a == "--version") {
            std::printf("Quorvel %s\n", QUORVEL_VERSIONE);
            return 0;
        }
        if (a.size() > 1 && a[0] == '-') {
            const std::string_view nome = Nome(a);
            if (Tra(nome, OpzioniQt))
                continue;
            if (Tra(nome, OpzioniQtConValore)) {
                if (a.find('=') == std::string_view::npos)
                    ++i; // its value
                continue;
            }
        }
        std::fprintf(stderr,
                     "quorvel: opzione non riconosciuta \"%s\" (quorvel --help per l'elenco)\n",
                     argv[i]);
        return 2;
    }
    return std::nullopt;
}
} // namespace RigaDiComando
