#pragma once
// Where a main screen goes when it closes: back to the start screen. Declared here,
// below the screens, and defined by the shell, which creates the screens and knows
// the start screen; a screen never reaches the screen registry itself.

namespace Navigazione {

// Shows the start screen again; nothing when there is none.
void TornaAllAvvio();

} // namespace Navigazione
