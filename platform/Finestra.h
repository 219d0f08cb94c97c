#pragma once
// Window kinds: maximized with the title-bar buttons, or a fixed border without
// them, centred on the screen or on the owner.
#include <Qt>

class QWidget;

namespace Finestra {

enum class Centro { Schermo, Proprietario };

// The flags of a fixed screen: a title bar without close, minimize or maximize buttons.
// Screens pass them to their base class, so that setting them later re-styles nothing.
inline constexpr Qt::WindowFlags FlagsFissa =
    Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint;

// Main screens: opened maximized, ordinary title-bar buttons.
void Massimizzata(QWidget *w);
// Every other screen: fixed size, no title-bar buttons.
void Fissa(QWidget *w, Centro centro);
// Moves the window to the centre of the screen or of its owner (call when showing).
void Centra(QWidget *w, Centro centro);

} // namespace Finestra
