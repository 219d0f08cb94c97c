#pragma once
// What the four check tools share: their layout and background, and the
// behaviours of their input box.
#include <QColor>
#include <QString>

class QDialog;
class QFrame;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;
class TImmagine;

namespace Strumento {

struct Controlli {
    TImmagine *imgLogo = nullptr;
    QLabel *lblTitolo = nullptr;
    QLineEdit *campo = nullptr;
    QPushButton *btnControlla = nullptr;
    QPushButton *btnChiudi = nullptr;
    QFrame *panContainer = nullptr;
    QFrame *shpContainer = nullptr;
    QFrame *shpCodFisc = nullptr;
};

// Builds a check tool into `schermata`: the banner (an SVG resource), the prompt,
// the input box named `nomeCampo` sized for `caratteri` characters, and the buttons
// "Controlla" and "Chiudi". `colore` tints the frames.
Controlli Costruisci(QDialog *schermata, const QString &banner, const QString &titolo,
                     const QString &nomeCampo, int caratteri, const QColor &colore);

// The background: a vertical gradient from `colore` to white.
void DisegnaSfondo(QWidget *schermata, const QColor &colore);

// Replaces the box's text by its trimmed form, upper-cased (a to z only) when asked,
// keeping the cursor where it was.
void Normalizza(QLineEdit *campo, bool maiuscole);

// Typing stops at `limite` characters, but a longer text put into the box by its
// opener stays whole (the verdict must be about the text handed over): the box
// holds it until the user shortens it.
void LimitaDigitazione(QLineEdit *campo, int limite);

// Digits-only boxes: true when the key may reach the box (digits, Backspace,
// Delete, the arrows Left and Right, and the keys that only move the cursor or
// the focus). Pasting through the context menu or by dragging is refused too.
bool TastoAmmesso(const QKeyEvent *e);
void SoloCifre(QLineEdit *campo);

} // namespace Strumento
