#pragma once
// The operations of a report that need the platform layer, in the GUI library: preparing
// with today's date and showing the errors, the modal preview window, and printing
// through the print dialog. The report itself (report/Report.h) is core.
class QWidget;
class TReport;
struct TEsitoStampa;

namespace ReportGui {

// Composes with Piattaforma::Oggi(); on errors shows "The following error(s) have
// occured:" and the list, and returns false.
bool PrepareReport(TReport &report, bool ClearLastReport = true);
// Prepares again and shows the modal preview window; returns when it is closed.
// False when preparation failed.
bool ShowReport(TReport &report, bool ClearLastReport = true, QWidget *owner = nullptr);
// Prints the prepared pages through the print dialog (StampaReport::Stampa); printing
// what was never prepared prints the template as it stands. The caller reports the result.
[[nodiscard]] TEsitoStampa Print(TReport &report, QWidget *owner = nullptr);

} // namespace ReportGui
