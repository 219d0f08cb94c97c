// Composition of output pages from a template: page objects on every page, bands laid
// from the printable origin, split between memo lines or moved whole to a new page.
#include "report/core/Pittore.h"
#include "report/core/Report.h"

#include <QRegularExpression>
#include <QTextLayout>

#include <algorithm>

namespace {

constexpr double Tolleranza = 1e-6;
constexpr double Infinito = 1e300;

// The value of the one expression the system uses; other bracketed text prints as typed.
QString SostituisciEspressioni(const QString &riga, const QDate &oggi)
{
    static const QRegularExpression data(QStringLiteral("\\[\\s*DATE\\s*\\]"),
                                         QRegularExpression::CaseInsensitiveOption);
    if (!riga.contains(QLatin1Char('[')))
        return riga;
    QString r = riga;
    r.replace(data, oggi.toString(QStringLiteral("dd/MM/yyyy")));
    return r;
}

// Breaks a text line into the lines that fit the given width (words kept whole where
// possible).
QStringList AVaCapo(const QString &riga, const TFont &font, double larghezza)
{
    if (riga.isEmpty() || larghezza <= 0)
        return {riga};
    // Measured where the font has its exact size, as the page painter prints it.
    const double k = Pittore::DpiPreciso / 96.0;
    QTextLayout layout(riga, Pittore::FontPer(font, 96.0), Pittore::DispositivoPreciso());
    QTextOption opzioni;
    opzioni.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(opzioni);
    layout.beginLayout();
    QStringList righe;
    for (QTextLine l = layout.createLine(); l.isValid(); l = layout.createLine()) {
        l.setLineWidth(larghezza * k);
        righe.append(riga.mid(l.textStart(), l.textLength()));
    }
    layout.endLayout();
    // Trailing blanks at a wrap point do not print.
    for (int i = 0; i + 1 < righe.size(); ++i)
        while (righe[i].endsWith(QLatin1Char(' ')))
            righe[i].chop(1);
    return righe.isEmpty() ? QStringList{riga} : righe;
}

// An object of a band (or page), laid out relative to its container.
struct Disposto {
    std::shared_ptr<const TReportComponent> oggetto;
    QRectF rett;            // relative to the container
    QStringList righe;      // memo lines
    double yPrimaRiga = 0;  // memo: top of line 0, relative to the container
    double passo = 0;       // memo: distance between line tops
    double altezzaRiga = 0; // memo: height of one line
};

Disposto Disponi(const TReportComponent &o, const QDate &oggi)
{
    Disposto d;
    auto copia = o.Clone();
    d.rett = copia->Rettangolo();
    if (auto *m = dynamic_cast<TMemoView *>(copia.get())) {
        QStringList righe;
        for (const QString &r : m->Memo) {
            const QString testo = m->AllowExpressions ? SostituisciEspressioni(r, oggi) : r;
            if (m->WordWrap)
                righe += AVaCapo(testo, m->Font, m->Width - 2 * Pittore::MargineOrizzontale);
            else
                righe.append(testo);
        }
        d.righe = righe;
        d.altezzaRiga = Pittore::AltezzaRiga(m->Font);
        d.passo = Pittore::PassoRiga(m->Font);
        const double alto = righe.isEmpty() ? 0 : righe.size() * d.passo - Pittore::Interlinea;
        switch (m->VAlign) {
        case vaTop:
            d.yPrimaRiga = m->Top + Pittore::MargineVerticale;
            break;
        case vaCenter:
            d.yPrimaRiga = m->Top + (m->Height - alto) / 2;
            break;
        case vaBottom:
            d.yPrimaRiga = m->Top + m->Height - Pittore::MargineVerticale - alto;
            break;
        }
    }
    d.oggetto = std::move(copia);
    return d;
}

double AltezzaTesto(const Disposto &d)
{
    return d.righe.isEmpty() ? 0 : d.righe.size() * d.passo - Pittore::Interlinea;
}

// A band ready to be laid: its objects relative to its top-left corner and its height.
struct BandaDisposta {
    std::vector<Disposto> oggetti;
    double altezza = 0;
    bool divisibile = false;
};

BandaDisposta DisponiBanda(const TBand &b, const QDate &oggi)
{
    BandaDisposta r;
    r.altezza = std::max(0.0, b.Height);
    auto *md = dynamic_cast<const TMasterData *>(&b);
    r.divisibile = md && md->AllowSplit;
    for (const auto &o : b.Objects)
        r.oggetti.push_back(Disponi(*o, oggi));
    if (!r.divisibile)
        return r;
    // A band that may split never loses lines: a memo whose text is taller than the
    // memo grows to hold it, and the band and what lies below the memo grow with it.
    for (size_t i = 0; i < r.oggetti.size(); ++i) {
        Disposto &d = r.oggetti[i];
        if (d.oggetto->Kind() != TReportComponent::Tipo::Memo || d.righe.isEmpty())
            continue;
        const double necessaria = AltezzaTesto(d) + 2 * Pittore::MargineVerticale;
        const double delta = necessaria - d.rett.height();
        if (delta <= Tolleranza)
            continue;
        const double fondoVecchio = d.rett.bottom();
        d.rett.setHeight(necessaria);
        d.yPrimaRiga = d.rett.top() + Pittore::MargineVerticale;
        for (size_t j = 0; j < r.oggetti.size(); ++j) {
            if (j == i || r.oggetti[j].rett.top() < fondoVecchio - Tolleranza)
                continue;
            r.oggetti[j].rett.translate(0, delta);
            r.oggetti[j].yPrimaRiga += delta;
        }
        if (fondoVecchio <= r.altezza + Tolleranza)
            r.altezza += delta;
        else
            r.altezza = std::max(r.altezza, d.rett.bottom());
    }
    return r;
}

// Whether cutting the band at s (relative to its top) passes through no memo line.
bool TaglioValido(const BandaDisposta &b, double s)
{
    for (const Disposto &d : b.oggetti) {
        if (d.oggetto->Kind() != TReportComponent::Tipo::Memo)
            continue;
        for (int i = 0; i < d.righe.size(); ++i) {
            const double alto = d.yPrimaRiga + i * d.passo;
            if (alto > s)
                break;
            if (s > alto + Tolleranza && s < alto + d.altezzaRiga - Tolleranza)
                return false;
        }
    }
    return true;
}

// The lowest cut in (da, a] that passes through no memo line; a when a is free,
// otherwise the top of a line or the end of a line. Returns da when there is none.
double TaglioMigliore(const BandaDisposta &b, double da, double a)
{
    if (TaglioValido(b, a))
        return a;
    double migliore = da;
    for (const Disposto &d : b.oggetti) {
        if (d.oggetto->Kind() != TReportComponent::Tipo::Memo)
            continue;
        for (int i = 0; i < d.righe.size(); ++i) {
            const double alto = d.yPrimaRiga + i * d.passo;
            if (alto > a)
                break;
            for (double c : {alto, alto + d.altezzaRiga})
                if (c > migliore + Tolleranza && c <= a + Tolleranza && TaglioValido(b, c))
                    migliore = c;
        }
    }
    return migliore;
}

// The first cut below da that passes through no memo line: used when not even one line
// fits on an empty page, so that composition always advances.
double TaglioForzato(const BandaDisposta &b, double da)
{
    double primo = b.altezza;
    for (const Disposto &d : b.oggetti) {
        if (d.oggetto->Kind() != TReportComponent::Tipo::Memo)
            continue;
        for (int i = 0; i < d.righe.size(); ++i) {
            const double fine = d.yPrimaRiga + i * d.passo + d.altezzaRiga;
            if (fine > da + Tolleranza) {
                primo = std::min(primo, fine);
                break;
            }
        }
    }
    return primo;
}

class Compositore {
public:
    Compositore(const TReportPage &pagina, const QDate &oggi, std::vector<TPaginaPreparata> &uscita)
        : m_pagina(pagina), m_oggi(oggi), m_uscita(uscita)
    {
        m_x0 = Unita::DaMm(pagina.LeftMargin);
        m_y0 = Unita::DaMm(pagina.TopMargin);
        m_fondo = Unita::DaMm(pagina.PaperHeight - pagina.BottomMargin);
        for (const auto &o : pagina.Objects)
            m_oggettiPagina.push_back(Disponi(*o, oggi));
    }

    void Componi()
    {
        NuovaPagina();
        // Title, master data, footer, whatever the order of declaration.
        std::vector<const TBand *> bande;
        for (const auto &b : m_pagina.Bands)
            bande.push_back(b.get());
        auto rango = [](const TBand *b) {
            switch (b->Kind()) {
            case TReportComponent::Tipo::ReportTitle:
                return 0;
            case TReportComponent::Tipo::MasterData:
                return 1;
            default:
                return 2;
            }
        };
        std::stable_sort(bande.begin(), bande.end(),
                         [&](const TBand *a, const TBand *b) { return rango(a) < rango(b); });
        for (const TBand *b : bande) {
            int volte = 1;
            if (auto *md = dynamic_cast<const TMasterData *>(b))
                volte = std::max(0, md->RowCount);
            for (int i = 0; i < volte; ++i)
                Posa(DisponiBanda(*b, m_oggi));
        }
    }

private:
    void NuovaPagina()
    {
        TPaginaPreparata p;
        p.LarghezzaMm = m_pagina.PaperWidth;
        p.AltezzaMm = m_pagina.PaperHeight;
        p.Orientamento = m_pagina.Orientation();
        m_uscita.push_back(std::move(p));
        for (const Disposto &d : m_oggettiPagina)
            Aggiungi(d, m_x0, m_y0, 0, -Infinito, Infinito);
        m_y = m_y0;
    }

    bool PaginaVuota() const { return m_y <= m_y0 + Tolleranza; }

    // Puts the part of d between da and a (container coordinates, a may be infinite) on
    // the current page, the container's point (0, base) landing at (x, y).
    void Aggiungi(const Disposto &d, double x, double y, double base, double da, double a)
    {
        const QRectF &r = d.rett;
        const bool dentro =
            r.height() > 0 ? (r.top() < a && r.bottom() > da) : (r.top() >= da && r.top() < a);
        if (!dentro)
            return;
        TElementoPreparato e;
        e.oggetto = d.oggetto;
        const QPointF spost(x, y - base);
        e.rettangolo = r.translated(spost);
        QRectF ritaglio = r;
        ritaglio.setTop(std::max(r.top(), da));
        ritaglio.setBottom(std::max(ritaglio.top(), std::min(r.bottom(), a)));
        e.ritaglio = ritaglio.translated(spost);
        e.yPrimaRiga = d.yPrimaRiga + spost.y();
        bool primo = true;
        for (int i = 0; i < d.righe.size(); ++i) {
            const double alto = d.yPrimaRiga + i * d.passo;
            if (alto < da - Tolleranza || alto >= a - Tolleranza)
                continue;
            if (primo) {
                e.yPrimaRiga = alto + spost.y();
                primo = false;
            }
            e.righe.append(d.righe[i]);
        }
        m_uscita.back().elementi.push_back(std::move(e));
    }

    void Posa(const BandaDisposta &b)
    {
        const double x = m_x0;
        double da = 0; // part of the band already laid
        for (;;) {
            const double resto = b.altezza - da;
            const double spazio = m_fondo - m_y;
            if (resto <= spazio + Tolleranza) {
                for (const Disposto &d : b.oggetti)
                    Aggiungi(d, x, m_y, da, da, Infinito);
                m_y += resto;
                return;
            }
            if (!b.divisibile) {
                if (!PaginaVuota()) {
                    NuovaPagina();
                    continue;
                }
                // Taller than a whole page: laid from the top and cut at the paper's edge.
                for (const Disposto &d : b.oggetti)
                    Aggiungi(d, x, m_y, da, da, Infinito);
                m_y += resto;
                return;
            }
            double taglio = TaglioMigliore(b, da, da + spazio);
            if (taglio <= da + Tolleranza) {
                if (!PaginaVuota()) {
                    NuovaPagina();
                    continue;
                }
                taglio = TaglioForzato(b, da);
            }
            for (const Disposto &d : b.oggetti)
                Aggiungi(d, x, m_y, da, da, taglio);
            da = taglio;
            NuovaPagina();
        }
    }

    const TReportPage &m_pagina;
    QDate m_oggi;
    std::vector<TPaginaPreparata> &m_uscita;
    std::vector<Disposto> m_oggettiPagina;
    double m_x0 = 0, m_y0 = 0, m_fondo = 0, m_y = 0;
};

} // namespace

bool TReport::Componi(const QDate &oggi, QStringList *errori)
{
    m_preparate.clear();
    QStringList trovati;
    for (size_t i = 1; i < m_pagine.size(); ++i) {
        const TReportPage &p = *m_pagine[i];
        if (p.PaperWidth <= 0 || p.PaperHeight <= 0)
            trovati << QStringLiteral("%1: invalid paper size %2 x %3 mm")
                           .arg(p.Name)
                           .arg(p.PaperWidth)
                           .arg(p.PaperHeight);
        else if (!p.Bands.empty() && p.PaperHeight - p.TopMargin - p.BottomMargin <= 0)
            trovati << QStringLiteral("%1: the margins leave no room for the bands").arg(p.Name);
    }
    if (!trovati.isEmpty()) {
        if (errori)
            *errori = trovati;
        return false;
    }
    for (size_t i = 1; i < m_pagine.size(); ++i)
        Compositore(*m_pagine[i], oggi, m_preparate).Componi();
    return true;
}
