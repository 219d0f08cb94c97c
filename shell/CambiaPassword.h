#pragma once
// Change of the access password: current password, new one and its confirmation.
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

class TfrmCambiaPassword : public QWidget {
    Q_OBJECT
public:
    explicit TfrmCambiaPassword(QWidget *parent = nullptr);

    // The longest password the scrambling stores whole.
    static constexpr int LunghezzaMassima = 255;

public slots:
    void FormShow();
    void txtPasswordOldChange();
    void txtPasswordNewChange();
    void txtConfermaChange();
    void cmdOKClick();
    void cmdEsciClick();

signals:
    // The screen closes, however: the shell shows the login screen again, emptied.
    void Chiusa();

protected:
    void showEvent(QShowEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    bool eventFilter(QObject *o, QEvent *e) override;

private:
    // cmdOK is enabled when all three fields hold more than blanks.
    void AggiornaOK();

    QLineEdit *txtPasswordOld;
    QLineEdit *txtPasswordNew;
    QLineEdit *txtConferma;
    QWidget *effPasswordOld;
    QWidget *effPasswordNew;
    QWidget *effConferma;
    QPushButton *cmdOK;
    QLabel *lblMemory;
};
