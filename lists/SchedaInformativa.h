#pragma once
// The member sheet "Scheda informativa": one A4 page with a title bar, 24 rows of caption
// and value taken from the archive screen's controls as they stand (saved or not), and a
// closing bar with the date and time of printing.
#include <QString>

#include <array>
#include <functional>
#include <memory>

class QWidget;
class TReport;

// The 24 rows: caption and the archive screen's control(s) giving the value.
struct RigaScheda {
    const char *titolo;
    const char *controllo;
    const char *secondo; // province box joined to the town, or nullptr
    const char *separa;  // blanks between the two parts
};
extern const std::array<RigaScheda, 24> RigheScheda;

// The template, as declared: design texts in every memo.
std::unique_ptr<TReport> CreaRepScheda();
// Fills every object of the template; `valore` gives the trimmed text of the archive
// screen's control of that name (the screen reads its own controls).
void RiempiScheda(TReport &rep, const std::function<QString(const char *)> &valore);

// The archive screen's two buttons, on the filled template: the preview window, and
// printing through the print dialog (cancelling it prints nothing).
void AnteprimaScheda(TReport &rep, QWidget *owner);
void StampaScheda(TReport &rep, QWidget *owner);
