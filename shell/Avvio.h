#pragma once
// The start screen: three tiles to the main screens, help, information, credits and exit.
// Also the drawing and link helpers shared by the shell's small screens.
#include <QImage>
#include <QSize>
#include <QString>
#include <QWidget>

#include <functional>

class QFrame;
class QLabel;
class TImmagine;
class TEtichetta;

namespace Guscio {

// The maker's addresses, used by the start, information and maker's screens.
inline constexpr const char *SitoProduttore = "https://www.quorvel-lab.example";
inline constexpr const char *PostaProduttore = "info@quorvel-lab.example";

// Renders one of our SVG pictures to an image of the given size (device pixel ratio 2
// for crisp scaling); an empty image when the picture is missing.
QImage Disegno(const QString &risorsa, QSize dimensione);
// A picture box showing the SVG picture, sized to `dimensione`.
TImmagine *Figura(QWidget *parent, const char *nome, const QString &risorsa, QSize dimensione);

// Link look: Tahoma 14, underlined, dark blue; pressing the link or its icon turns it
// orange, releasing and clicking set it back. A click on either runs `azione`.
inline constexpr QRgb ColoreLink = 0xFF00008B;
inline constexpr QRgb ColoreLinkPremuto = 0xFFFFA500;
void Collegamento(TEtichetta *link, TImmagine *icona, const std::function<void()> &azione);

// The frame of the password screens: the panel `panContainer` filling the screen,
// with the gradient rectangle `shpSfondo` (steel blue to white) in it.
QFrame *PannelloPassword(QWidget *schermata, QRect sfondo);

// The start-screen help topic.
QString TitoloGuidaAvvio();
QString TestoGuidaAvvio();

} // namespace Guscio

class TfrmAvvio : public QWidget {
    Q_OBJECT
public:
    explicit TfrmAvvio(QWidget *parent = nullptr);

public slots:
    void imgArchivioClick();
    void imgTesseraClick();
    void imgTessereClick();
    void imgGuidaClick();
    void imgInfoClick();
    void imgCreditiClick();
    void imgSitoClick();
    void imgEsciClick();

protected:
    void closeEvent(QCloseEvent *e) override;
};
