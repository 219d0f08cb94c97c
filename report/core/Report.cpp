#include "report/core/Report.h"

#include <QPixmap>
#include <QRegularExpression>

#include <cmath>
#include <utility>

namespace Colori {
QColor DaNome(const QString &nome)
{
    static const std::pair<const char *, const QColor *> tabella[] = {
        {"White", &White}, {"Black", &Black},         {"Navy", &Navy}, {"Brown", &Brown},
        {"Beige", &Beige}, {"SlateGray", &SlateGray}, {"Teal", &Teal}, {"DarkOrange", &DarkOrange},
    };
    for (const auto &[n, c] : tabella)
        if (nome.compare(QLatin1String(n), Qt::CaseInsensitive) == 0)
            return *c;
    return QColor();
}
} // namespace Colori

void TReportComponent::SetBounds(double left, double top, double width, double height)
{
    Left = left;
    Top = top;
    Width = width;
    Height = height;
}

std::unique_ptr<TReportComponent> TMemoView::Clone() const
{
    return std::unique_ptr<TReportComponent>(new TMemoView(*this));
}

void TMemoView::SetText(const QString &testo)
{
    static const QRegularExpression aCapo(QStringLiteral("\r\n|\n|\r"));
    Memo = testo.split(aCapo);
}

QString TMemoView::Text() const
{
    return Memo.join(QStringLiteral("\r\n"));
}

std::unique_ptr<TReportComponent> TPictureView::Clone() const
{
    return std::unique_ptr<TReportComponent>(new TPictureView(*this));
}

QImage TPictureView::Ridotta(const QImage &immagine, const QSizeF &area, bool proporzioni)
{
    if (immagine.isNull() || !(area.width() > 0) || !(area.height() > 0))
        return immagine;
    const double maxW = std::ceil(area.width() / 96.0 * DpiMassimo);
    const double maxH = std::ceil(area.height() / 96.0 * DpiMassimo);
    const double w = immagine.width(), h = immagine.height();
    if (w <= maxW && h <= maxH)
        return immagine;
    QSize dim(int(std::min(w, maxW)), int(std::min(h, maxH)));
    if (proporzioni) {
        // Rounded, not cut, so the aspect ratio stays as close as whole pixels allow.
        const double s = std::min(maxW / w, maxH / h);
        dim = QSize(std::max(1, int(std::lround(w * s))), std::max(1, int(std::lround(h * s))));
    }
    return immagine.scaled(dim, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

void TPictureView::SetPicture(const QImage &immagine)
{
    // A copy of its own: the template must not share pixels with the caller's image.
    // A natural-size picture (one pixel per unit) is never larger than 96 dpi.
    const QImage ridotta =
        Stretched ? Ridotta(immagine, QSizeF(Width, Height), KeepAspectRatio) : immagine;
    Picture = ridotta.cacheKey() == immagine.cacheKey() ? immagine.copy() : ridotta;
}

void TPictureView::SetPicture(const QPixmap &immagine)
{
    SetPicture(immagine.toImage());
}

QRectF TPictureView::AreaImmagine(const QRectF &r) const
{
    if (Picture.isNull() || Picture.width() <= 0 || Picture.height() <= 0)
        return QRectF();
    const double w = Picture.width();
    const double h = Picture.height();
    if (!Stretched) {
        // Natural size: one pixel per unit.
        const QRectF a(r.left(), r.top(), w, h);
        return Center ? a.translated((r.width() - w) / 2, (r.height() - h) / 2) : a;
    }
    if (!KeepAspectRatio)
        return r;
    const double scala = std::min(r.width() / w, r.height() / h);
    const double sw = w * scala;
    const double sh = h * scala;
    if (Center)
        return QRectF(r.left() + (r.width() - sw) / 2, r.top() + (r.height() - sh) / 2, sw, sh);
    return QRectF(r.left(), r.top(), sw, sh);
}

std::unique_ptr<TReportComponent> TShapeView::Clone() const
{
    return std::unique_ptr<TReportComponent>(new TShapeView(*this));
}

std::unique_ptr<TReportComponent> TLineView::Clone() const
{
    return std::unique_ptr<TReportComponent>(new TLineView(*this));
}

TBand::TBand(const TBand &altra) : TReportComponent(altra)
{
    CopiaOggetti(altra);
}

void TBand::CopiaOggetti(const TBand &altra)
{
    Objects.clear();
    for (const auto &o : altra.Objects)
        Objects.push_back(o->Clone());
}

std::unique_ptr<TReportComponent> TReportTitle::Clone() const
{
    return std::unique_ptr<TReportComponent>(new TReportTitle(*this));
}

std::unique_ptr<TReportComponent> TMasterData::Clone() const
{
    return std::unique_ptr<TReportComponent>(new TMasterData(*this));
}

std::unique_ptr<TReportComponent> TFooter::Clone() const
{
    return std::unique_ptr<TReportComponent>(new TFooter(*this));
}

void TReportPage::SetOrientation(TPrinterOrientation nuova)
{
    if (nuova == m_orientation)
        return;
    std::swap(PaperWidth, PaperHeight);
    const double l = LeftMargin, t = TopMargin, r = RightMargin, b = BottomMargin;
    if (nuova == poLandscape) {
        LeftMargin = t;
        RightMargin = b;
        TopMargin = r;
        BottomMargin = l;
    } else {
        LeftMargin = b;
        RightMargin = t;
        TopMargin = l;
        BottomMargin = r;
    }
    m_orientation = nuova;
}

void TReportPage::SetPaperSize(int codice)
{
    PaperSize = codice;
    if (codice == 9) {
        PaperWidth = m_orientation == poPortrait ? 210.0 : 297.0;
        PaperHeight = m_orientation == poPortrait ? 297.0 : 210.0;
    }
}

void TReportPage::SetMargins(double left, double top, double right, double bottom)
{
    LeftMargin = left;
    TopMargin = top;
    RightMargin = right;
    BottomMargin = bottom;
}

TReportComponent *TReportPage::FindObject(const QString &name) const
{
    auto uguale = [&](const TReportComponent &o) {
        return o.Name.compare(name, Qt::CaseInsensitive) == 0;
    };
    for (const auto &o : Objects)
        if (uguale(*o))
            return o.get();
    for (const auto &b : Bands) {
        if (uguale(*b))
            return b.get();
        for (const auto &o : b->Objects)
            if (uguale(*o))
                return o.get();
    }
    return nullptr;
}

QRectF TPaginaPreparata::RettangoloCarta() const
{
    return QRectF(0, 0, Unita::DaMm(LarghezzaMm), Unita::DaMm(AltezzaMm));
}

TReport::TReport(const QString &name)
{
    ReportOptions.Name = name;
    m_pagine.push_back(std::make_unique<TReportPage>(QStringLiteral("Data")));
    m_pagine.push_back(std::make_unique<TReportPage>(QStringLiteral("Page1")));
}

TReport::~TReport() = default;

TReportPage &TReport::Pages(int indice)
{
    if (indice < 0 || indice >= int(m_pagine.size()))
        throw ErroreReport(QStringLiteral("Page index %1 out of range").arg(indice));
    return *m_pagine[size_t(indice)];
}

const TReportPage &TReport::Pages(int indice) const
{
    return const_cast<TReport *>(this)->Pages(indice);
}

TReportPage &TReport::AddPage(const QString &name)
{
    m_pagine.push_back(std::make_unique<TReportPage>(name));
    return *m_pagine.back();
}

void TReport::RimuoviPagina(int indice)
{
    if (indice >= 1 && indice < int(m_pagine.size()))
        m_pagine.erase(m_pagine.begin() + indice);
}

TReportComponent *TReport::FindObject(const QString &name) const
{
    for (const auto &p : m_pagine)
        if (TReportComponent *o = p->FindObject(name))
            return o;
    return nullptr;
}
