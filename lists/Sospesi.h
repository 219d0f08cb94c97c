#pragma once
// Screen "Riepilogo tessere in attesa di rinnovo": the cards that have expired or entered
// their notice period, find inside the list, printing, delivery to the archive screen.
#include <QDialog>

class TPannelloElenco;
class TRiepilogo;

class TfrmSospesi : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSospesi(QWidget *parent = nullptr);
    ~TfrmSospesi() override;

public slots:
    void FormShow();
    void FormClose();
    void btnTrovaClick();
    void lstRecordsDblClick();
    void btnStampaClick();
    void btnChiudiClick();

protected:
    void showEvent(QShowEvent *e) override;
    void hideEvent(QHideEvent *e) override;

private:
    TPannelloElenco *m_pannello;
    TRiepilogo *repRiepilogo;
};
