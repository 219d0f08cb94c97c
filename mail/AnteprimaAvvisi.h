#pragma once
// Screen " Anteprima degli avvisi": before a batch of reminders goes, who gets one, who
// is skipped and why, and the message exactly as the first member gets it. Accepted
// with "Invia", rejected with "Annulla".
#include "mail/core/Messaggio.h"
#include "mail/core/SceltaAvvisi.h"

#include <QDialog>

class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

class TfrmAnteprimaAvvisi : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAnteprimaAvvisi(QWidget *parent = nullptr);

    // Fills the lists and the message; `giorni` is the period of the recent reminders.
    void Mostra(const TSceltaAvvisi &scelta, int giorni, const PostaElettronica::TMessaggio &primo);

public slots:
    void cmdInviaClick();
    void cmdAnnullaClick();

protected:
    void showEvent(QShowEvent *e) override;

private:
    QLabel *lblDestinatari, *lblSaltati, *lblMessaggio;
    QListWidget *lstDestinatari, *lstSaltati;
    QPlainTextEdit *txtMessaggio;
    QPushButton *cmdInvia, *cmdAnnulla;
};
