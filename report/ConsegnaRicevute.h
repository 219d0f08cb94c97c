#pragma once
// Screen "Ricevute": how the receipts just made go to the member. Printed, saved as a PDF
// file or sent by e-mail; the screen's result says which.
#include <QDialog>

class TfrmConsegnaRicevute : public QDialog {
    Q_OBJECT
public:
    // The screen's results besides Rejected (Annulla).
    enum Scelta { Stampa = 1, Pdf = 2, Email = 3 };

    // `descrizione` names the receipts: "la ricevuta n. 12/2026" or "le 3 ricevute".
    TfrmConsegnaRicevute(const QString &descrizione, QWidget *parent = nullptr);

public slots:
    void cmdStampaClick() { done(Stampa); }
    void cmdPdfClick() { done(Pdf); }
    void cmdEmailClick() { done(Email); }
    void cmdAnnullaClick() { reject(); }
};
