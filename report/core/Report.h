#pragma once
// The page model of every printed document: a document (TReport) holds pages, a page
// holds positioned objects (memo, picture, shape, line) and bands (title, master data,
// footer). Objects are measured in units of 1/96 inch, paper and margins in millimetres,
// fonts in points; the conversions live in namespace Unita only.
//
// Typical use by a screen: FindObject and fill, set orientation and margins, then
// ReportGui::PrepareReport and ReportGui::Print or ShowReport (report/ReportGui.h, in the
// GUI library: they use the platform layer). Componi is the core's own composition.
#include <QColor>
#include <QDate>
#include <QImage>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <memory>
#include <stdexcept>
#include <vector>

class QIODevice;
class QPixmap;

namespace Unita {
inline constexpr double PerMm = 96.0 / 25.4;    // units in one millimetre
inline constexpr double PerPunto = 96.0 / 72.0; // units in one point
constexpr double DaMm(double mm)
{
    return mm * PerMm;
}
constexpr double InMm(double unita)
{
    return unita / PerMm;
}
} // namespace Unita

// Named colours with their web values; an invalid QColor means "none" (transparent).
namespace Colori {
inline const QColor None;
inline const QColor White(0xFF, 0xFF, 0xFF);
inline const QColor Black(0x00, 0x00, 0x00);
inline const QColor Navy(0x00, 0x00, 0x80);
inline const QColor Brown(0xA5, 0x2A, 0x2A);
inline const QColor Beige(0xF5, 0xF5, 0xDC);
inline const QColor SlateGray(0x70, 0x80, 0x90);
inline const QColor DarkOrange(0xFF, 0x8C, 0x00);
inline const QColor Teal(0x00, 0x80, 0x80);
// By name ("Navy", case ignored); an invalid colour when unknown.
QColor DaNome(const QString &nome);
} // namespace Colori

enum THAlign { haLeft, haCenter, haRight };
enum TVAlign { vaTop, vaCenter, vaBottom };
enum TPrinterOrientation { poPortrait, poLandscape };
// Frame sides, combinable; a line object draws its ftTop side.
enum TFrameTyp { ftNone = 0, ftLeft = 1, ftRight = 2, ftTop = 4, ftBottom = 8 };
// Preview toolbar buttons, combinable.
enum TPreviewButton {
    pbPrint = 1,
    pbZoom = 2,
    pbFullScreen = 4,
    pbClose = 8,
};
// Font styles, combinable.
enum TFontStyle { fsBold = 1, fsItalic = 2, fsUnderline = 4 };

// Raised when a template is used wrongly (an object missing or of another kind).
class ErroreReport : public std::runtime_error {
public:
    explicit ErroreReport(const QString &testo)
        : std::runtime_error(testo.toStdString()), m_testo(testo)
    {
    }
    const QString &testo() const { return m_testo; }

private:
    QString m_testo;
};

struct TFont {
    QString Name = QStringLiteral("Arial");
    double Size = 10.0; // points
    int Style = 0;      // TFontStyle flags
    QColor Color = Colori::Black;
};

struct TFrame {
    int Typ = ftNone; // TFrameTyp flags
    QColor Color = Colori::Black;
    double Width = 1.0; // units
};

// Base of every object and band: a name and a rectangle in units.
class TReportComponent {
public:
    enum class Tipo { Memo, Picture, Shape, Line, ReportTitle, MasterData, Footer };

    explicit TReportComponent(const QString &name = QString()) : Name(name) {}
    virtual ~TReportComponent() = default;
    virtual Tipo Kind() const = 0;
    virtual std::unique_ptr<TReportComponent> Clone() const = 0;

    QString Name;
    double Left = 0;
    double Top = 0;
    double Width = 0;
    double Height = 0;

    QRectF Rettangolo() const { return QRectF(Left, Top, Width, Height); }
    void SetBounds(double left, double top, double width, double height);

protected:
    TReportComponent(const TReportComponent &) = default;
    TReportComponent &operator=(const TReportComponent &) = default;
};

// A rectangle of text: lines in Memo, inset 2 units left/right and 1 unit top/bottom,
// 2 units of extra leading between lines, clipped to the rectangle.
class TMemoView : public TReportComponent {
public:
    using TReportComponent::TReportComponent;
    Tipo Kind() const override { return Tipo::Memo; }
    std::unique_ptr<TReportComponent> Clone() const override;

    QStringList Memo;
    TFont Font;
    QColor Color; // fill; invalid = transparent
    TFrame Frame;
    THAlign HAlign = haLeft;
    TVAlign VAlign = vaTop;
    bool WordWrap = true;
    bool AllowExpressions = true;

    // Replaces the lines; each line break (CR LF, LF or CR) starts a new line.
    void SetText(const QString &testo);
    // The lines joined by CR LF.
    QString Text() const;
    void Clear() { Memo.clear(); }
    void Add(const QString &riga) { Memo.append(riga); }
    int Count() const { return int(Memo.size()); }
};

// A rectangle showing a bitmap, filled white first.
class TPictureView : public TReportComponent {
public:
    using TReportComponent::TReportComponent;
    Tipo Kind() const override { return Tipo::Picture; }
    std::unique_ptr<TReportComponent> Clone() const override;

    QImage Picture;
    bool Stretched = true;
    bool KeepAspectRatio = true;
    bool Center = false;
    bool HighQuality = false;

    // Pictures go to a page at no more than this many pixels per inch of their box:
    // printed at 600 dpi the result is the same, and a camera photo stays small.
    static constexpr double DpiMassimo = 600.0;

    // Keeps its own copy of the pixels: later changes to the source do not reach it.
    // A stretched picture keeps at most DpiMassimo of its box.
    void SetPicture(const QImage &immagine);
    void SetPicture(const QPixmap &immagine);
    // The image reduced (smoothly) to at most DpiMassimo of an area of the given size in
    // units; the image itself when it is no larger. proporzioni keeps its aspect ratio.
    static QImage Ridotta(const QImage &immagine, const QSizeF &area, bool proporzioni);
    // Where the bitmap lands inside the rectangle r (units) by the fitting rule.
    QRectF AreaImmagine(const QRectF &r) const;
};

// A rectangle filled with Color (none = not filled), outlined with Frame.Color, 1 unit.
class TShapeView : public TReportComponent {
public:
    using TReportComponent::TReportComponent;
    Tipo Kind() const override { return Tipo::Shape; }
    std::unique_ptr<TReportComponent> Clone() const override;

    QColor Color;
    TFrame Frame;
    // When not empty, only these rectangles (units from the shape's corner) are filled
    // with Color, as one path and without outline: the modules of a QR code.
    std::vector<QRectF> Riquadri;
};

// A line along the top edge (Frame.Typ ftTop), across Width, 1 unit, black.
class TLineView : public TReportComponent {
public:
    TLineView(const QString &name = QString()) : TReportComponent(name) { Frame.Typ = ftTop; }
    Tipo Kind() const override { return Tipo::Line; }
    std::unique_ptr<TReportComponent> Clone() const override;

    TFrame Frame;
};

// A band: a strip as wide as the printable area holding objects positioned from its
// top-left corner.
class TBand : public TReportComponent {
public:
    using TReportComponent::TReportComponent;
    std::vector<std::unique_ptr<TReportComponent>> Objects;

    // Adds an object of kind T and returns it, for template declarations.
    template <class T>
    T &Add(const QString &name, double left, double top, double width, double height)
    {
        auto o = std::make_unique<T>(name);
        o->SetBounds(left, top, width, height);
        T &r = *o;
        Objects.push_back(std::move(o));
        return r;
    }

protected:
    TBand(const TBand &altra);
    void CopiaOggetti(const TBand &altra);
};

// Printed once, at the top of the first page.
class TReportTitle : public TBand {
public:
    using TBand::TBand;
    Tipo Kind() const override { return Tipo::ReportTitle; }
    std::unique_ptr<TReportComponent> Clone() const override;
};

// Printed RowCount times, directly below the previous band; may split between memo
// lines when AllowSplit is true.
class TMasterData : public TBand {
public:
    using TBand::TBand;
    Tipo Kind() const override { return Tipo::MasterData; }
    std::unique_ptr<TReportComponent> Clone() const override;

    int RowCount = 1;
    bool AllowSplit = false;
};

// Printed once, directly after the last master data row.
class TFooter : public TBand {
public:
    using TBand::TBand;
    Tipo Kind() const override { return Tipo::Footer; }
    std::unique_ptr<TReportComponent> Clone() const override;
};

// A page of the template: paper, orientation, margins, objects and bands.
class TReportPage {
public:
    explicit TReportPage(const QString &name = QString()) : Name(name) {}

    QString Name;
    int PaperSize = 9;          // 9 = A4; 256 = custom (PaperWidth x PaperHeight)
    double PaperWidth = 210.0;  // mm, in the current orientation
    double PaperHeight = 297.0; // mm, in the current orientation
    double LeftMargin = 0;      // mm, any value, negative and fractional included
    double TopMargin = 0;
    double RightMargin = 0;
    double BottomMargin = 0;
    std::vector<std::unique_ptr<TReportComponent>> Objects; // on every output page
    std::vector<std::unique_ptr<TBand>> Bands;              // title, master data, footer

    TPrinterOrientation Orientation() const { return m_orientation; }
    // To the other value: swaps paper width and height and rotates the margins;
    // to the same value: nothing.
    void SetOrientation(TPrinterOrientation nuova);
    // Sets the size code; 9 gives A4 in the current orientation. Other codes keep
    // PaperWidth and PaperHeight.
    void SetPaperSize(int codice);
    void SetMargins(double left, double top, double right, double bottom);

    template <class T>
    T &Add(const QString &name, double left, double top, double width, double height)
    {
        auto o = std::make_unique<T>(name);
        o->SetBounds(left, top, width, height);
        T &r = *o;
        Objects.push_back(std::move(o));
        return r;
    }
    // Adds a band of kind T (TReportTitle, TMasterData, TFooter) of the given height,
    // as wide as the printable area when width is 0.
    template <class T> T &AddBand(const QString &name, double height, double width = 0)
    {
        auto b = std::make_unique<T>(name);
        b->SetBounds(0, 0, width > 0 ? width : Unita::DaMm(PaperWidth - LeftMargin - RightMargin),
                     height);
        T &r = *b;
        Bands.push_back(std::move(b));
        return r;
    }

    // Searches objects, bands and the objects in bands; case ignored.
    TReportComponent *FindObject(const QString &name) const;

private:
    TPrinterOrientation m_orientation = poPortrait;
};

// One object laid out on an output page, in units from the paper's top-left corner.
// A memo carries its resolved text lines (expressions replaced, wrapped, split) and the
// top of its first line; the other kinds draw as their copied object says.
struct TElementoPreparato {
    std::shared_ptr<const TReportComponent> oggetto;
    QRectF rettangolo;     // the object's rectangle on the page
    QRectF ritaglio;       // drawing is clipped here (the part of the object on this page)
    QStringList righe;     // memo: the lines drawn here
    double yPrimaRiga = 0; // memo: top of the first drawn line
};

// An output page: paper in mm in its orientation, and the elements in drawing order.
struct TPaginaPreparata {
    double LarghezzaMm = 210.0;
    double AltezzaMm = 297.0;
    TPrinterOrientation Orientamento = poPortrait;
    std::vector<TElementoPreparato> elementi;

    QRectF RettangoloCarta() const; // units
};

// The outcome of a print: printed, cancelled (or no printer to choose), or failed
// with the text that says what failed.
struct TEsitoStampa {
    enum class Tipo { Stampato, Annullato, Fallito };
    Tipo tipo = Tipo::Annullato;
    QString errore;

    bool Stampato() const { return tipo == Tipo::Stampato; }
    bool Fallito() const { return tipo == Tipo::Fallito; }
};

class TReport {
public:
    // Creates the data page (index 0, no output) and one report page (index 1).
    explicit TReport(const QString &name = QString());
    ~TReport();
    TReport(const TReport &) = delete;
    TReport &operator=(const TReport &) = delete;

    struct {
        QString Name;
    } ReportOptions;
    struct {
        int Buttons = pbPrint | pbZoom | pbFullScreen | pbClose;
        double Zoom = 1.0;
    } PreviewOptions;
    struct {
        QString Printer = QStringLiteral("Default");
    } PrintOptions;

    // Page 0 is the data page; page 1 the report page.
    TReportPage &Pages(int indice);
    const TReportPage &Pages(int indice) const;
    int PagesCount() const { return int(m_pagine.size()); }
    TReportPage &AddPage(const QString &name = QString());
    // Removes report page `indice` (1 or later); the data page stays. Out of range: nothing.
    void RimuoviPagina(int indice);

    // The object named so (case ignored) on any page or band, or nullptr.
    TReportComponent *FindObject(const QString &name) const;
    // The object named so as kind T; throws ErroreReport when missing or of another kind.
    template <class T> T &Oggetto(const QString &name) const
    {
        T *o = dynamic_cast<T *>(FindObject(name));
        if (!o)
            throw ErroreReport(QStringLiteral("Object \"%1\" not found").arg(name));
        return *o;
    }
    TMemoView &Memo(const QString &name) const { return Oggetto<TMemoView>(name); }
    TPictureView &Picture(const QString &name) const { return Oggetto<TPictureView>(name); }
    TBand &Band(const QString &name) const { return Oggetto<TBand>(name); }

    // Composes the output pages from the current content, with today's date for
    // [DATE]. Returns false with the errors listed in *errori when it cannot.
    // Core: no messages shown.
    bool Componi(const QDate &oggi, QStringList *errori = nullptr);
    // Discards the prepared pages.
    void ClearPreparedPages() { m_preparate.clear(); }

    const std::vector<TPaginaPreparata> &PreparedPages() const { return m_preparate; }
    int PreparedCount() const { return int(m_preparate.size()); }

    // Output of prepared pages (core): an image of page i at the given resolution,
    // and a PDF file with every page at its own size and orientation.
    QImage RenderImmagine(int pagina, double dpi = 96.0) const;
    bool EsportaPdf(const QString &percorso) const;
    // The same PDF written to an open device (an e-mail attachment in memory).
    bool EsportaPdf(QIODevice *dispositivo) const;

private:
    std::vector<std::unique_ptr<TReportPage>> m_pagine;
    std::vector<TPaginaPreparata> m_preparate;
};
