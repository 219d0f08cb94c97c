#pragma once
// Pieces shared by the print and preview screens of the cards: the steel-blue
// gradient, the frame of picture, wait line, "Annulla" and action button, and
// printing a prepared report through the print dialog.
#include <QString>

#include <functional>

class QDialog;
class QLabel;
class QPushButton;
class QWidget;
class TImmagine;
class TReport;

namespace FinestraStampa {

// Steel blue at the top fading to white at the bottom.
void DisegnaSfumatura(QWidget *w);

struct ControlliAttesa {
    TImmagine *immagine;
    QLabel *lblAttendere;
    QPushButton *btnAnnulla;
    QPushButton *btnStampa;
};
// Lays the picture (drawn from `svg`), the hidden wait line and the two buttons on a
// screen whose fixed size is already set; pressing the action button shows the wait line.
ControlliAttesa Costruisci(QDialog *d, const char *nomeImmagine, const QString &svg,
                           const QString &testoPulsante);

// Fills the report, prepares it and shows the preview, with the wait line on meanwhile.
// True when the preview was shown; an error goes to the general error report.
bool Anteprima(TReport &report, QDialog *schermata, QLabel *lblAttendere,
               const std::function<void()> &riempi);

// Prints the prepared report through the print dialog, which offers `stampante` first when
// it is given. Cancelling, or having no printer, prints nothing and is no failure; a
// printer that then fails throws, so the failure is reported instead of passing for a print.
void Stampa(const TReport &report, QWidget *owner, const QString &stampante = QString());

} // namespace FinestraStampa
