#pragma once
// The program's start-up up to the login window, the same for the program and for the
// start-up benchmark.
#include "platform/Istanza.h"

#include <memory>

namespace Partenza {

// Lays the initial password in the user's data folder, takes the program folder (one copy
// at a time), connects a desk to its server and shows the login window. Returns the
// folder's lock, held until the end of the run; nullptr when the program must end (the
// folder is taken, or the user gave up the server).
std::unique_ptr<TBloccoIstanza> MostraAccesso();

} // namespace Partenza
