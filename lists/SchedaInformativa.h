#pragma once
// The member sheet "Scheda informativa": one A4 page with a title bar, 24 rows of caption
// and value taken from the archive screen's controls as they stand (saved or not), and a
// closing bar with the date and time of printing.
#include <QString>

#include <array>
#include <memory>

class QWidget;
class TReport;

// The 24 rows: caption and the archive screen's control(s) giving the value.
struct RigaScheda {
    const char *titolo;
    const char *controllo;
    const char *secondo;   // province box joined to the town, or nullptr
    const char *separa;    // blanks between the two parts
};
extern const std::array<RigaScheda, 24> RigheScheda;

// The template, as declared: design texts in every memo.
std::unique_ptr<TReport> CreaRepScheda();
// The archive screen's own copy of the template (created on first use, lives with it).
TReport &RepScheda(QWidget *anagrafica);
// Fills every object of the template from the archive screen's controls.
void RiempiScheda(TReport &rep, const QWidget *anagrafica);

// The archive screen's two buttons: the preview window, and printing through the print
// dialog (cancelling it prints nothing).
void AnteprimaScheda(QWidget *anagrafica);
void StampaScheda(QWidget *anagrafica);
