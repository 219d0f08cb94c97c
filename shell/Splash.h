#pragma once
// The maker's screen: its picture and a link to its web site.
#include <QDialog>

class TfrmSplash : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSplash(QWidget *parent = nullptr);

public slots:
    void lnkWebClick();
    void btnChiudiClick();

protected:
    void showEvent(QShowEvent *e) override;
};
