#pragma once
// Reading printed cards back as a user's tools would: pdftoppm pictures of PDF pages,
// zbarimg for QR codes, pdftotext and pdfinfo for words and pages, ink measured in mm;
// and the import of a member into a slot of the nine-card screen.
#include "support/Supporto.h"

#include <QImage>
#include <QRect>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <memory>

class TfrmTessera;

// The single card screen, shown at 1366 x 768.
std::unique_ptr<TfrmTessera> ApriTessera();
// Picks, in the search opened by the slot's import button, the member with that surname
// (an empty text: the archive's only member).
void ImportaNelloSlot(QWidget *frm, Ambiente &env, int slot, const QString &cognome);
// Page `pagina` (1-based) of a PDF as pdftoppm renders it, in grey; null on failure.
QImage Rasterizza(const QString &pdf, int pagina, int dpi);
// The standard output of a program run for up to a minute, without its last line end,
// as UTF-8 text; "" when it fails.
QString Esegui(const QString &programma, const QStringList &argomenti);
// The text of the one QR code zbarimg finds in the picture, or "" when none. zbarimg
// turns the code's bytes into UTF-8 text by the code's ECI marker, as a phone would.
QString LeggiCodice(const QImage &immagine, const QString &cartella);
// A region in mm as pixels at that resolution.
QRect Pixel(const QRectF &mm, int dpi);
// Bounding box in mm of the non-white pixels inside a region given in mm; null if none.
QRectF Inchiostro(const QImage &pagina, const QRectF &zonaMm, int dpi);
// Page count of a PDF, by pdfinfo.
int PaginePdf(const QString &pdf);
// Right end (mm) of the first word `parola` on the PDF's first page (pdftotext -bbox
// gives every word drawn, also where a clip cuts it), or -1.
double FineParola(const QString &pdf, const QString &parola);
