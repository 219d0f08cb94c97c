#pragma once
// The login screen, the main window: the typed password is checked against the
// scrambled one of the password file at each attempt.
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

namespace Accesso {
// The password file in the program folder, its section and key.
QString FilePassword();
inline constexpr const char *Sezione = "Accesso";
inline constexpr const char *Chiave = "Valore";
// When the data live in the user's data folder (an installed program), lays the initial
// password file there on first start. A program folder that holds the data is left as is.
void PreparaCartellaDati();
} // namespace Accesso

class TfrmPassword : public QWidget {
    Q_OBJECT
public:
    explicit TfrmPassword(QWidget *parent = nullptr);

    // Back from the change of password: empty field with the focus.
    void MostraVuota();

public slots:
    void FormShow();
    void txtPasswordChange();
    void txtPasswordKeyUp();
    void txtPasswordEnter();
    void txtPasswordExit();
    void cmdOKClick();
    void cmdEsciClick();
    void btnCambiaPasswordClick();

signals:
    // The password was right: the shell shows the start screen (this screen hides next).
    void AccessoRiuscito();
    // "Cambia password" was pressed: the shell shows the password-change screen.
    void CambioRichiesto();

protected:
    void showEvent(QShowEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    bool eventFilter(QObject *o, QEvent *e) override;

private:
    // Returns true when the key was handled.
    bool txtPasswordKeyDown(int tasto);

    QLineEdit *txtPassword;
    QWidget *effPassword;
    QPushButton *cmdOK;
    QLabel *lblMemory;
};
