#pragma once
// Controls shared by the screens: a placed push button, a picture box that scales its
// picture, a clickable label, and the data-entry behaviours (focus highlight, Enter
// chain, status-line hints).
#include <QImage>
#include <QLabel>
#include <QWidget>

class QLineEdit;
class QPushButton;

// Renders one of our SVG pictures to an image of `dimensione` pixels over `fondo`.
// Each picture is drawn once per size and colour and then shared: many screens show the
// same pictures.
// A picture of the shell drawn at build time for this size is taken as it is.
QImage DisegnaSvg(const QString &risorsa, QSize dimensione, QColor fondo = QColor(Qt::transparent));
// The file name of a picture drawn at build time: the SVG's base name and the pixel size;
// it holds the picture's ARGB32 premultiplied pixels, row after row.
QString FiguraDisegnata(const QString &nome, QSize pixel);

// A push button named `nome` placed at `r` (or, without `r`, for a layout), that Enter does
// not press unless it has the focus. The one way the screens make their buttons.
QPushButton *Pulsante(QWidget *parent, const char *nome, const QString &testo,
                      const QRect &r = QRect());

// Image control: holds its own copy of a picture and draws it fitted to the box,
// keeping its proportions (or stretched), centred; emits clicked on a mouse click.
class TImmagine : public QWidget {
    Q_OBJECT
public:
    enum class Adatta { Proporzioni, Stira, Nessuno };
    explicit TImmagine(QWidget *parent = nullptr);
    const QImage &Picture() const;
    void SetPicture(const QImage &img);
    // Shows an SVG picture drawn at `pixel` size with the given device pixel ratio;
    // it is drawn when first needed, not when the screen is built.
    void SetSvg(const QString &risorsa, QSize pixel, qreal rapporto = 1.0,
                QColor fondo = QColor(Qt::transparent));
    // Shows an SVG picture of `dimensione` points drawn at the device pixel ratio of the
    // screen the box is on, when first needed: as many pixels as the screen shows.
    void SetSvgSchermo(const QString &risorsa, QSize dimensione);
    void Clear() { SetPicture(QImage()); }
    void setAdatta(Adatta a);
    void setCentrata(bool c);
    QSize sizeHint() const override;

signals:
    void clicked();
    void premuto();    // mouse button down
    void rilasciato(); // mouse button up

protected:
    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *) override;
    void mouseReleaseEvent(QMouseEvent *) override;

private:
    mutable QImage m_immagine;
    QString m_svg; // picture still to be drawn
    QSize m_svgPixel;
    qreal m_svgRapporto = 1.0;
    bool m_svgSchermo = false; // m_svgPixel are points, drawn at the screen's ratio
    QColor m_svgFondo;
    Adatta m_adatta = Adatta::Proporzioni;
    bool m_centrata = true;
};

// A label that reacts to clicks (links, clickable captions).
class TEtichetta : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

signals:
    void clicked();
    void premuto();
    void rilasciato();

protected:
    void mousePressEvent(QMouseEvent *) override;
    void mouseReleaseEvent(QMouseEvent *) override;
};

namespace Comportamenti {
// Shows `evidenza` only while `campo` has the focus.
void Evidenza(QWidget *campo, QWidget *evidenza);
// Enter (Return or keypad Enter) in `campo` moves the focus to `prossimo`.
void Invio(QWidget *campo, QWidget *prossimo);
// The box refuses line breaks (a pasted text of several lines): its value is stored
// as one line of a settings file.
void UnaRiga(QLineEdit *campo);
// Shows `testo` in the status line while the mouse is over `controllo`.
void Suggerimento(QWidget *controllo, QLabel *statusLine, const QString &testo);
// Empties the status line when the mouse moves over `area`.
void SvuotaSuggerimento(QWidget *area, QLabel *statusLine);
} // namespace Comportamenti
