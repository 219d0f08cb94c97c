#pragma once
// The password file a new installation starts with, shared by the build tool that
// lays it beside the executable and by the program that lays it in the user's data folder.
#include <QString>

namespace Accesso {
// Writes the password file with the initial password at percorso when no file is
// there; an existing file holds the user's password and is never touched.
// Returns true when it wrote the file; throws ErroreFile when the write fails.
bool PosaPasswordIniziale(const QString &percorso);
} // namespace Accesso
