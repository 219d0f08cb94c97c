#pragma once
// The command line, answered before anything is made or shown: --help and --version
// print their text and end the program, an option it does not know ends it with an error.
#include <optional>

namespace RigaDiComando {
// The exit code when the program must end here, nothing when it goes on to its window.
// Qt's own options (-platform, -style, ...) are left to the application.
std::optional<int> Rispondi(int argc, const char *const *argv);
} // namespace RigaDiComando
