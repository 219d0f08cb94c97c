#pragma once
// Screen "Dati Ente o Associazione": edits the four organization texts of the card
// and hands them back to the single-card screen.
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class TImmagine;

class TfrmDatiEnte : public QDialog {
    Q_OBJECT
public:
    explicit TfrmDatiEnte(QWidget *parent = nullptr);

public slots:
    void btnApplicaClick();
    void btnAnnullaClick();

protected:
    void showEvent(QShowEvent *e) override;
    void paintEvent(QPaintEvent *e) override;

private:
    QLabel *lblIstruzioni;
    QLineEdit *txtAssociazione;
    QLineEdit *txtSottotitolo01;
    QLineEdit *txtSottotitolo02;
    QLineEdit *txtAnnotazioni;
    QPushButton *btnAnnulla;
    QPushButton *btnApplica;
    QLabel *lblMemory;
    TImmagine *imgFoto;
};
