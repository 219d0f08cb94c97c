#pragma once
// Screen "Stampa tesserino": the top and left margins and the orientation of the
// single-card print, kept in "Quorvel.ini", and the print of the card on the
// single-card screen with them.
#include "cards/FinestraStampa.h"
#include "cards/ModelloTessera.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class TImmagine;

class TfrmStampaTessera : public TFinestraStampa {
    Q_OBJECT
public:
    explicit TfrmStampaTessera(QWidget *parent = nullptr);

    // The card to print, as the single-card screen gives it.
    void ImpostaTessera(const TDatiTessera &tessera) { m_tessera = tessera; }

public slots:
    void FormShow();
    void btnTopMinusClick();
    void btnTopPlusClick();
    void btnLeftMinusClick();
    void btnLeftPlusClick();
    void btnApplicaTopClick();
    void btnApplicaLeftClick();
    void btnStampaClick() override;

protected:
    void showEvent(QShowEvent *e) override;

private:
    void Passo(QLineEdit *margine, int delta);
    void SalvaMargine(const QString &chiave, QLineEdit *margine);

    TImmagine *imgMargini;
    QLabel *lblTitOrientamento;
    QRadioButton *optVerticale;
    QRadioButton *optOrizzontale;
    QLabel *lblTitTop;
    QPushButton *btnTopMinus;
    QPushButton *btnTopPlus;
    QLineEdit *txtTop;
    QLabel *lblTop;
    QLabel *lblTitLeft;
    QPushButton *btnLeftMinus;
    QPushButton *btnLeftPlus;
    QLineEdit *txtLeft;
    QLabel *lblLeft;
    QPushButton *btnApplicaTop;
    QPushButton *btnApplicaLeft;
    TDatiTessera m_tessera;
};
