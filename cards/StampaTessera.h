#pragma once
// Screen "Stampa tesserino": the top and left margins and the orientation of the
// single-card print, kept in "Quorvel.ini" for each printer, the print of the card on
// the single-card screen with them, and the calibration sheet.
#include <QDialog>

#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class TImmagine;
class TReport;

class TfrmStampaTessera : public QDialog {
    Q_OBJECT
public:
    explicit TfrmStampaTessera(QWidget *parent = nullptr);
    ~TfrmStampaTessera() override;

    // The card template this screen prints from.
    const TReport &repTesserino() const { return *m_rep; }
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
    void btnStampaClick();
    void btnAnnullaClick();
    void cmdProvaClick();
    void cboStampanteChange();

protected:
    void showEvent(QShowEvent *e) override;
    void paintEvent(QPaintEvent *e) override;

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
    QLabel *lblAttendere;
    QPushButton *btnAnnulla;
    QPushButton *btnStampa;
    QPushButton *btnApplicaTop;
    QPushButton *btnApplicaLeft;
    QLabel *lblTitStampante;
    QComboBox *cboStampante;
    QPushButton *cmdProva;
    std::unique_ptr<TReport> m_rep;
    std::unique_ptr<TReport> m_prova;
};
