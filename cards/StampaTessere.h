#pragma once
// Screen "Stampa più tessere su foglio A4": prints the nine cards of the nine-card
// screen on one landscape A4 sheet through the print dialog.
#include <QDialog>

#include <memory>

class QLabel;
class QPushButton;
class TImmagine;
class TReport;

class TfrmStampaTessere : public QDialog {
    Q_OBJECT
public:
    explicit TfrmStampaTessere(QWidget *parent = nullptr);
    ~TfrmStampaTessere() override;

    // The sheet template this screen prints from.
    const TReport &repTesserino() const { return *m_rep; }

public slots:
    void btnStampaClick();
    void btnAnnullaClick();

protected:
    void showEvent(QShowEvent *e) override;
    void paintEvent(QPaintEvent *e) override;

private:
    TImmagine *imgLogo01;
    QLabel *lblAttendere;
    QPushButton *btnAnnulla;
    QPushButton *btnStampa;
    std::unique_ptr<TReport> m_rep;
};
