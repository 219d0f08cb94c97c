#pragma once
// What the four check tools share: one check-tool screen driven by a description
// (title, picture, length, colour, input rules, check and messages), their layout and
// background, and the behaviours of their input box.
#include <QColor>
#include <QDialog>
#include <QString>

class QDialog;
class QFrame;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;
class TImmagine;

namespace Strumento {

struct Controlli {
    TImmagine *imgLogo = nullptr;
    QLabel *lblTitolo = nullptr;
    QLineEdit *campo = nullptr;
    QPushButton *btnControlla = nullptr;
    QPushButton *btnChiudi = nullptr;
    QFrame *panContainer = nullptr;
    QFrame *shpContainer = nullptr;
    QFrame *shpCodFisc = nullptr;
};

// Builds a check tool into `schermata`: the banner (an SVG resource), the prompt,
// the input box named `nomeCampo` sized for `caratteri` characters, and the buttons
// "Controlla" and "Chiudi". `colore` tints the frames.
Controlli Costruisci(QDialog *schermata, const QString &banner, const QString &titolo,
                     const QString &nomeCampo, int caratteri, const QColor &colore);

// The background: a vertical gradient from `colore` to white.
void DisegnaSfondo(QWidget *schermata, const QColor &colore);

// Replaces the box's text by its trimmed form, upper-cased (a to z only) when asked,
// keeping the cursor where it was.
void Normalizza(QLineEdit *campo, bool maiuscole);

// Typing stops at `limite` characters, but a longer text put into the box by its
// opener stays whole (the verdict must be about the text handed over): the box
// holds it until the user shortens it.
void LimitaDigitazione(QLineEdit *campo, int limite);

// Digits-only boxes: true when the key may reach the box (digits, Backspace,
// Delete, the arrows Left and Right, and the keys that only move the cursor or
// the focus). Pasting through the context menu or by dragging is refused too.
bool TastoAmmesso(const QKeyEvent *e);
void SoloCifre(QLineEdit *campo);

} // namespace Strumento

// A check tool: the banner, the prompt, the input box and "Controlla" / "Chiudi". The
// four tools are thin subclasses giving their description and their check.
class TfrmStrumento : public QDialog {
    Q_OBJECT
public:
    // The text handed over by the opener, put into the input box as it is.
    void ImpostaValore(const QString &testo);

public slots:
    void FormShow();
    void btnControllaClick();
    void btnChiudiClick();

protected:
    struct Descrizione {
        const char *nome;          // object name, "frm..."
        QString titolo;            // window caption
        QString banner;            // SVG resource of the banner
        QString istruzione;        // the prompt above the box
        const char *nomeCampo;     // object name of the input box
        int lunghezza;             // characters the box takes by typing
        QColor colore;             // frames and background
        bool soloCifre;            // digits-only box
        bool normalizzaDigitando;  // trimmed and upper-cased on every change
        bool normalizzaAlRilascio; // ... and on every key release
    };
    // The verdict of "Controlla": an incomplete text keeps the screen open with the
    // focus in the box; a valid or wrong one is told and closes the screen.
    struct Esito {
        enum class Tipo { Incompleto, Valido, Errato } tipo;
        QString messaggio;
    };
    TfrmStrumento(QWidget *parent, const Descrizione &d);
    virtual Esito Controlla(const QString &testo) const = 0;

    void showEvent(QShowEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
    bool eventFilter(QObject *o, QEvent *e) override;

    Strumento::Controlli c;

private:
    QColor m_colore;
    bool m_soloCifre = false;
    bool m_normalizzaAlRilascio = false;
};
