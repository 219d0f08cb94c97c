#pragma once
// The print and preview screens of the cards: one screen with the steel-blue gradient,
// a picture, the wait line, "Annulla" and an action button that previews or prints the
// card template. The screens themselves are thin subclasses giving the picture, the
// caption and the fill; the printing helpers are shared with them.
#include "cards/core/ModelloTessera.h"

#include <QDialog>
#include <QList>
#include <QString>

#include <functional>
#include <memory>

class QCheckBox;
class QLabel;
class QPushButton;
class TImmagine;
class TReport;

class TFinestraStampa : public QDialog {
    Q_OBJECT
public:
    ~TFinestraStampa() override;

    // The card template this screen prints or previews from (not for a screen built
    // without one).
    const TReport &repTesserino() const { return *m_rep; }

public slots:
    // The action button: "Mostra anteprima" previews, "Stampa" prints (a subclass with
    // print settings of its own replaces it).
    virtual void btnStampaClick();
    void btnAnnullaClick();

protected:
    enum class Azione { Anteprima, Stampa };
    // What a thin subclass gives: its names, caption, size, picture and action.
    struct Descrizione {
        const char *nome;         // object name, "frm..."
        QString titolo;           // window caption
        QSize dimensione;         // fixed size
        const char *nomeImmagine; // the picture's object name
        QString svg;              // the picture
        QString testoPulsante;    // caption of the action button
        Azione azione;
    };
    // The screen laid out by the description (the frame of picture, wait line and
    // buttons), centred on its owner.
    TFinestraStampa(QWidget *parent, std::unique_ptr<TReport> rep, const Descrizione &d);
    // A screen that lays out its own controls: only name, caption and size are used;
    // it sets lblAttendere, btnAnnulla and btnStampa itself and calls Collega. A screen
    // that composes its own pages passes no template.
    TFinestraStampa(QWidget *parent, std::unique_ptr<TReport> rep, const char *nome,
                    const QString &titolo, QSize dimensione);
    // The hidden wait line "Elaborazione in corso. Attendere..." (italic bold crimson).
    void CreaAttesa(const QRect &r, Qt::Alignment allineamento);
    // Connects the two buttons (pressing the action button shows the wait line) and
    // fixes the screen centred on its owner.
    void Collega();

    // A check box for a print choice, put above the wait line, the screen growing to
    // make room; ticked as the choice stored under `chiave` in "Quorvel.ini".
    QCheckBox *AggiungiScelta(const char *nome, const QString &testo, const QString &chiave);

    // Asks, through the platform layer, whether to print despite the warnings in `avviso`;
    // true when there is nothing to say or the answer is Yes. On No the wait line, shown on
    // pressing the action button, goes away again.
    bool ConfermaStampa(const QString &avviso);

    // Fills the template from the data the opener handed over.
    virtual void Riempi() {}

    void showEvent(QShowEvent *e) override;
    void paintEvent(QPaintEvent *e) override;

    std::unique_ptr<TReport> m_rep;
    TImmagine *immagine = nullptr;
    QLabel *lblAttendere = nullptr;
    QPushButton *btnAnnulla = nullptr;
    QPushButton *btnStampa = nullptr;

private:
    Azione m_azione = Azione::Anteprima;
};

namespace FinestraStampa {

// Steel blue at the top fading to white at the bottom.
void DisegnaSfumatura(QWidget *w);

// Fills the report, prepares it and shows the preview, with the wait line on meanwhile.
// True when the preview was shown; an error goes to the general error report.
bool Anteprima(TReport &report, QDialog *schermata, QLabel *lblAttendere,
               const std::function<void()> &riempi);

// The warnings about the cards to print (members without photo or card number, texts
// too long), or an empty text. Cards without a member are not looked at.
QString AvvisoTessere(const QList<TDatiTessera> &tessere, bool adatta);

// Stores the print choice of the check box; a file that cannot be written is reported
// and the print goes on.
void RicordaScelta(const QString &chiave, const QCheckBox *scelta, QWidget *owner);

// Prints the prepared report through the print dialog, which offers `stampante` first when
// it is given. Cancelling, or having no printer, prints nothing and is no failure; a
// printer that then fails throws, so the failure is reported instead of passing for a print.
void Stampa(const TReport &report, QWidget *owner, const QString &stampante = QString());

} // namespace FinestraStampa
