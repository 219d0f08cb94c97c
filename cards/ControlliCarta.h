#pragma once
// The small builders both card screens (single card, nine cards) lay their cards and
// buttons with: the Verdana font, the picture button, the transparent label and the
// framed box.
#include "cards/core/ModelloTessera.h"

#include <QFont>
#include <QRect>
#include <QString>

class QFrame;
class QLabel;
class QToolButton;
class QWidget;
class TImmagine;
struct TScheda;

namespace ControlliCarta {

QFont Verdana(int punti, bool grassetto = true);

// A flat picture button, the caption (if any) under the picture in bold navy.
QToolButton *PulsanteImmagine(QWidget *parent, const QString &nome, const QString &testo,
                              const QString &icona, int lato = 40);

// A label on the card: transparent background, text in `colore`.
QLabel *Etichetta(QWidget *parent, const QString &nome, const QRect &r, const QFont &f,
                  const QString &colore,
                  Qt::Alignment allineamento = Qt::AlignLeft | Qt::AlignVCenter);

// A frame whose own style sheet (not its children's) is `stile`.
QFrame *Riquadro(QWidget *parent, const QString &nome, const QRect &r, const QString &stile);

// The QR code of a card's text as a picture `lato` pixels a side, quiet zone included,
// module edges sharp; a null picture when the text gives no code.
QImage ImmagineCodiceQR(const QString &testo, int lato);

// Shows `testo` whole on one line of the label, as the printed card does: the font
// shrinks from `punti` in half points until the text fits the label's width (not under
// 5 points).
void TestoIntero(QLabel *etichetta, const QString &testo, double punti);

} // namespace ControlliCarta

// The controls of one card on a card screen: the organization's four labels and logo,
// the member's five labels and photo, and the label holding the card's record position.
struct TControlliCarta {
    QLabel *titAssociazione = nullptr;
    QLabel *titSottotitolo01 = nullptr;
    QLabel *titSottotitolo02 = nullptr;
    QLabel *titAnnotazioni = nullptr;
    TImmagine *imgLogo = nullptr;
    QLabel *txtTesserato = nullptr;
    QLabel *txtCarica = nullptr;
    QLabel *txtNumTessera = nullptr;
    QLabel *txtDataRil = nullptr;
    QLabel *txtDataScade = nullptr;
    TImmagine *imgFoto = nullptr;
    QLabel *lblPosizione = nullptr;

    // The card as it stands, by the card fill rule: both pictures, the nine texts trimmed,
    // the position, and the QR code and back options kept in "Quorvel.ini".
    TDatiTessera Dati() const;
    // The record's five card fields.
    void MostraCampi(const TScheda &scheda);
    // The photo of the record at `posizione`; `bianca` when it has none.
    void MostraFoto(int posizione, const QImage &bianca);
};
