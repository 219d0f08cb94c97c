#pragma once
// Screen "Anteprima di stampa" of the single card: the card in the preview window,
// always portrait at 10 mm / 10 mm, whatever the stored print settings.
#include <QDialog>

#include <memory>

class QLabel;
class QPushButton;
class TImmagine;
class TReport;

class TfrmAnteprimaTessera : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAnteprimaTessera(QWidget *parent = nullptr);
    ~TfrmAnteprimaTessera() override;

    // The card template this screen previews.
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
