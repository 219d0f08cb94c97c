#pragma once
// The frame shared by the mail dialogs: name, caption, the bold blue title band on top,
// and the row of buttons of the same width that do not take Enter.
#include <QString>

#include <initializer_list>

class QDialog;
class QPushButton;
class QVBoxLayout;

namespace DialogoPosta {
// Names the modal dialog, gives its caption and puts the title band in a new vertical
// layout, which it returns for the rest of the dialog.
QVBoxLayout *Cornice(QDialog *d, const QString &nome, const QString &didascalia,
                     const QString &titolo);
// The buttons of the bottom row: 110 points wide at least, none the default.
void Pulsanti(std::initializer_list<QPushButton *> pulsanti);
} // namespace DialogoPosta
