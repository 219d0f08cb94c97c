#pragma once
// Screen " Testo dell'avviso": the subject and text of the renewal reminder sent by
// e-mail, with the fields filled in for each member. Stored in "Quorvel.ini", section
// "Posta Elettronica", keys "Oggetto" and "Testo".
#include <QDialog>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class TfrmModelloAvviso : public QDialog {
    Q_OBJECT
public:
    explicit TfrmModelloAvviso(QWidget *parent = nullptr);

public slots:
    void FormShow();
    void cmdPredefinitoClick();
    void cmdSalvaClick();
    void cmdAnnullaClick();

protected:
    void showEvent(QShowEvent *e) override;

private:
    QLineEdit *txtOggetto;
    QPlainTextEdit *txtTesto;
    QLabel *lblCampi;
    QPushButton *cmdPredefinito, *cmdSalva, *cmdAnnulla;
};
