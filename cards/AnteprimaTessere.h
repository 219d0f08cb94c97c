#pragma once
// Screen "Anteprima di stampa" of the nine-card sheet: the sheet of the nine-card
// screen in the preview window, whose print button prints the same sheet.
#include <QDialog>

#include <memory>

class QLabel;
class QPushButton;
class TImmagine;
class TReport;

class TfrmAnteprimaTessere : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAnteprimaTessere(QWidget *parent = nullptr);
    ~TfrmAnteprimaTessere() override;

    // The sheet template this screen previews.
    const TReport &repTesserino() const { return *m_rep; }

public slots:
    void btnStampaClick();
    void btnAnnullaClick();

protected:
    void showEvent(QShowEvent *e) override;
    void paintEvent(QPaintEvent *e) override;

private:
    TImmagine *imgStampante;
    QLabel *lblAttendere;
    QPushButton *btnAnnulla;
    QPushButton *btnStampa;
    std::unique_ptr<TReport> m_rep;
};
