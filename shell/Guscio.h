#pragma once
// The drawing and link helpers shared by the shell's small screens (start, help,
// information, credits, password screens), and the start screen's help topic.
#include "widgets/Tavolozza.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <functional>

class QFrame;
class QLabel;
class QWidget;
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
inline constexpr QRgb ColoreLink = Tavolozza::BluNotte;
inline constexpr QRgb ColoreLinkPremuto = Tavolozza::Arancio;
void Collegamento(TEtichetta *link, TImmagine *icona, const std::function<void()> &azione);

// The frame of the password screens: the panel `panContainer` filling the screen,
// with the gradient rectangle `shpSfondo` (steel blue to white) in it.
QFrame *PannelloPassword(QWidget *schermata, QRect sfondo);

// The start-screen help topic.
QString TitoloGuidaAvvio();
QString TestoGuidaAvvio();

} // namespace Guscio
