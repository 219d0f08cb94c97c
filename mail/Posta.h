#pragma once
// Screen " Posta elettronica": the association's mail server for the renewal reminders.
// Settings in "Quorvel.ini", section "Posta Elettronica" (on a desk whose archive is on a
// server, shared there but the CA file); the password in the desktop's
// secret store, or scrambled in the settings file where no secret store runs (the screen
// then says how to get one).
#include "mail/core/Smtp.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class TfrmPosta : public QDialog {
    Q_OBJECT
public:
    explicit TfrmPosta(QWidget *parent = nullptr);

    // The saved settings with the password from wherever it is kept.
    static TImpostazioniPosta ImpostazioniSalvate();

public slots:
    void FormShow();
    void cmdProvaClick();
    void cmdModelloClick();
    void cmdSalvaClick();
    void cmdChiudiClick();
    void cmdFileCAClick();

protected:
    void showEvent(QShowEvent *e) override;

private:
    // The settings as typed, or false after showing what is wrong.
    bool Leggi(TImpostazioniPosta &p);
    void cboSicurezzaChange();
    // Where the password is kept, said on the screen.
    void MostraPortachiavi(bool disponibile);

    QLineEdit *txtServer, *txtPorta, *txtUtente, *txtPassword, *txtMittente, *txtNomeMittente,
        *txtGiorni, *txtFileCA;
    QComboBox *cboSicurezza;
    QCheckBox *chkAutenticazioneInChiaro;
    QLabel *lblPortachiavi;
    QPushButton *cmdProva, *cmdModello, *cmdSalva, *cmdChiudi, *cmdFileCA;
};
