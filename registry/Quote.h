#pragma once
// Screen "Quote versate", companion of the archive screen: the member's entries in the fee
// register, oldest first, with the total; a receipt printed again, saved or sent, and an
// entry voided by a counter-entry after a question.
#include "archive/Pagamento.h"

#include <QDialog>

#include <vector>

class QLabel;
class QPushButton;
class QTableWidget;

class TfrmQuote : public QDialog {
    Q_OBJECT
public:
    explicit TfrmQuote(QWidget *parent = nullptr);

    // Reads and shows the entries of the member at that position.
    void MostraTesserato(int posizione, const QString &nome);

public slots:
    void cmdRistampaClick();
    void cmdStornaClick();
    void cmdChiudiClick();

private:
    void Aggiorna();
    // The entry on the selected row, or nullptr after saying that none is chosen.
    const TPagamento *Scelto();
    void grdQuoteSelectionChange();

    QLabel *lblTesserato, *lblTotale;
    QTableWidget *grdQuote;
    QPushButton *cmdRistampa, *cmdStorna, *cmdChiudi;
    int m_posizione = 0;
    std::vector<TPagamento> m_voci; // the rows, as read
};
