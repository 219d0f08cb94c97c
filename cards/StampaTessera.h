#pragma once
// Screen "Stampa tesserino": the top and left margins and the orientation of the
// single-card print, kept in "Quorvel.ini" for each printer, the print of the card on
// the single-card screen with them, and the calibration sheet.
#include "cards/FinestraStampa.h"
#include "cards/core/ModelloTessera.h"

#include <memory>

class QCheckBox;
class QComboBox;
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
    // The last calibration sheet printed, or nullptr.
    const TReport *repProva() const { return m_prova.get(); }

public slots:
    void FormShow();
    void btnTopMinusClick();
    void btnTopPlusClick();
    void btnLeftMinusClick();
    void btnLeftPlusClick();
    void btnApplicaTopClick();
    void btnApplicaLeftClick();
    void btnStampaClick() override;
    void cmdProvaClick();
    void cboStampanteChange();

protected:
    void showEvent(QShowEvent *e) override;

private:
    void Passo(QLineEdit *margine, int delta);
    void SalvaMargine(const QString &chiave, QLineEdit *margine);
    void LeggiValori();

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
    QLabel *lblTitStampante;
    QComboBox *cboStampante;
    QPushButton *cmdProva;
    QCheckBox *chkAdatta;
    std::unique_ptr<TReport> m_prova;
};
