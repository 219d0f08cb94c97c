#include "cards/core/ModelloTessera.h"

#include "archive/Testo.h"
#include "cards/core/CodiceQR.h"
#include "cards/core/CodiceVerifica.h"
#include "cards/core/RetroTessera.h"
#include "report/core/Pittore.h"

#include <cmath>

#include <QRegularExpression>

namespace {

enum class Tipo { Forma, Immagine, Testo };

// One row of the card layout: millimetres from the card's corner, as printed.
struct Oggetto {
    const char *nome;
    Tipo tipo;
    double sinistra, alto, larghezza, altezza;
    double punti;  // font size
    int stile;     // TFontStyle flags
    QColor testo;  // text colour
    QColor riempi; // fill
    QColor bordo;  // outline
    THAlign hAlign;
    TVAlign vAlign;
    const char *testoModello;
};

const QColor N = Colori::None;
const QColor W = Colori::White;
const QColor K = Colori::Black;

// clang-format off
const Oggetto kTessera[] = {
    {"shpSfondo",        Tipo::Forma,     0.0,  0.0, 86.0, 54.0, 0,   0,      N, W, K, haLeft, vaTop, ""},
    {"imgFoto",          Tipo::Immagine,  2.0, 15.8, 26.0, 28.8, 0,   0,      N, N, N, haLeft, vaTop, ""},
    {"imgLogo",          Tipo::Immagine, 62.2, 24.4, 22.0, 21.0, 0,   0,      N, N, N, haLeft, vaTop, ""},
    {"shpHeader",        Tipo::Forma,     1.0,  1.0, 83.8, 12.0, 0,   0,      N, Colori::Navy, Colori::Navy, haLeft, vaTop, ""},
    {"shpFooter",        Tipo::Forma,     1.0, 47.0, 83.8,  6.0, 0,   0,      N, Colori::Navy, Colori::Navy, haLeft, vaTop, ""},
    {"txtAssociazione",  Tipo::Testo,     2.0,  2.0, 54.0,  3.8, 8.0, fsBold, W, N, N, haLeft,   vaCenter, "Denominazione Ente o Associazione"},
    {"txtSottotitolo01", Tipo::Testo,     2.0,  5.7, 54.0,  3.7, 7.0, 0,      W, N, N, haLeft,   vaCenter, "Indirizzo e citt\u00e0"},
    {"txtSottotitolo02", Tipo::Testo,     2.0,  9.0, 54.0,  3.7, 7.0, 0,      W, N, N, haLeft,   vaCenter, "Telefono e altri recapiti"},
    {"txtAnnotazioni",   Tipo::Testo,     2.0, 48.0, 82.0,  3.8, 8.0, fsBold, W, N, N, haCenter, vaCenter, "Annotazioni"},
    {"txtTesserato",     Tipo::Testo,    30.0, 15.0, 55.0,  4.0, 9.0, fsBold, K, N, N, haLeft,   vaCenter, "Cognome e nome Socio"},
    {"txtCarica",        Tipo::Testo,    30.0, 19.0, 55.0,  3.8, 7.3, fsBold, K, N, N, haLeft,   vaCenter, "Carica ricoperta"},
    {"txtNumTessera",    Tipo::Testo,    30.0, 23.8, 31.0,  3.5, 7.3, fsBold, Colori::Brown, N, N, haLeft, vaCenter, "Tessera n."},
    {"titDataRil",       Tipo::Testo,    30.0, 28.0, 23.0,  3.4, 7.0, 0,      K, N, N, haLeft,   vaCenter, "Data rilascio:"},
    {"shpDataRil",       Tipo::Forma,    30.0, 32.0, 25.0,  4.0, 0,   0,      N, Colori::Beige, K, haLeft, vaTop, ""},
    {"titDataScade",     Tipo::Testo,    30.0, 37.0, 23.0,  3.4, 7.0, 0,      K, N, N, haLeft,   vaCenter, "Data scadenza:"},
    {"txtDataRil",       Tipo::Testo,    31.4, 32.6, 22.2,  3.0, 7.3, fsBold, K, N, N, haCenter, vaCenter, "GG/MM/AAAA"},
    {"shpDataScade",     Tipo::Forma,    30.0, 41.0, 25.0,  4.0, 0,   0,      N, Colori::Beige, K, haLeft, vaTop, ""},
    {"txtDataScade",     Tipo::Testo,    31.4, 41.6, 22.2,  3.0, 7.3, fsBold, K, N, N, haCenter, vaCenter, "GG/MM/AAAA"},
};
// clang-format on

// The variant centres only these three vertically; the others sit at the top.
bool CentratoNellaVariante(const QString &nome)
{
    return nome == u"txtAnnotazioni" || nome == u"txtDataRil" || nome == u"txtDataScade";
}

// Top of an object in the given variant.
double Alto(const Oggetto &o, VarianteTessera variante)
{
    const QString nome = QString::fromLatin1(o.nome);
    if (variante == VarianteTessera::Stampa)
        return o.alto;
    if (nome == u"txtDataRil" || nome == u"txtDataScade")
        return o.alto - 0.2;
    if (nome == u"txtAnnotazioni" && variante == VarianteTessera::Anteprima)
        return 48.2;
    return o.alto;
}

// The template's font size of a card text.
double PuntiModello(const char *nome)
{
    for (const Oggetto &o : kTessera)
        if (qstrcmp(o.nome, nome) == 0)
            return o.punti;
    return 0;
}

const Oggetto &OggettoModello(const char *nome)
{
    for (const Oggetto &o : kTessera)
        if (qstrcmp(o.nome, nome) == 0)
            return o;
    return kTessera[0];
}

// Name and role: the template's size, or the largest size down to 6 pt (in tenths of a
// point) at which the text fits.
void Adatta(TMemoView &m, const char *nome, bool adatta)
{
    const double modello = PuntiModello(nome);
    m.Font.Size = modello;
    const QString testo = m.Text();
    if (!adatta || Entra(m, testo, modello))
        return;
    double punti = modello;
    while (punti > PuntiMinimi + 1e-9 && !Entra(m, testo, punti))
        punti = std::max(PuntiMinimi, std::round(punti * 10 - 1) / 10);
    m.Font.Size = punti;
}

} // namespace

bool HaSocio(const TDatiTessera &d)
{
    return !Testo::Trim32(d.Posizione).isEmpty();
}

bool Entra(const TMemoView &memo, const QString &testo, double punti)
{
    // Measured where the font has its exact size, as the page painter prints it.
    TFont f = memo.Font;
    f.Size = punti;
    const QFontMetricsF metriche(Pittore::FontPer(f, 96.0), Pittore::DispositivoPreciso());
    const double larghezza = metriche.horizontalAdvance(testo) / (Pittore::DpiPreciso / 96.0);
    return larghezza <= memo.Width - 2 * Pittore::MargineOrizzontale + 1e-6;
}

QStringList TestiTroppoLunghi(const TDatiTessera &d, bool adatta)
{
    QStringList lunghi;
    const std::pair<const char *, const QString *> testi[] = {{"txtTesserato", &d.Tesserato},
                                                              {"txtCarica", &d.Carica}};
    for (const auto &[nome, valore] : testi) {
        const Oggetto &o = OggettoModello(nome);
        TMemoView m;
        m.Width = Unita::DaMm(o.larghezza);
        m.Font.Name = QStringLiteral("Arial");
        m.Font.Style = o.stile;
        if (!Entra(m, Testo::Trim32(*valore), adatta ? PuntiMinimi : o.punti))
            lunghi << (qstrcmp(nome, "txtTesserato") == 0 ? QStringLiteral("nome")
                                                          : QStringLiteral("carica"));
    }
    return lunghi;
}

void AggiungiTessera(TReportPage &pagina, double sinistraMm, double altoMm,
                     VarianteTessera variante, const QString &suffisso, const QString &nomeSfondo)
{
    for (const Oggetto &o : kTessera) {
        const QString base = QString::fromUtf8(o.nome);
        const QString nome = (base == u"shpSfondo" ? nomeSfondo : base) + suffisso;
        const double l = Unita::DaMm(sinistraMm + o.sinistra);
        const double t = Unita::DaMm(altoMm + Alto(o, variante));
        const double w = Unita::DaMm(o.larghezza);
        const double h = Unita::DaMm(o.altezza);
        switch (o.tipo) {
        case Tipo::Forma: {
            auto &s = pagina.Add<TShapeView>(nome, l, t, w, h);
            s.Color = o.riempi;
            s.Frame.Color = o.bordo;
            s.Frame.Width = 1.0;
            break;
        }
        case Tipo::Immagine: {
            auto &p = pagina.Add<TPictureView>(nome, l, t, w, h);
            p.Stretched = true;
            p.KeepAspectRatio = true;
            p.Center = true;
            p.HighQuality = false;
            break;
        }
        case Tipo::Testo: {
            auto &m = pagina.Add<TMemoView>(nome, l, t, w, h);
            m.Font.Name = QStringLiteral("Arial");
            m.Font.Size = o.punti;
            m.Font.Style = o.stile;
            m.Font.Color = o.testo;
            m.Color = Colori::None;
            m.HAlign = o.hAlign;
            m.VAlign = (variante == VarianteTessera::Stampa || CentratoNellaVariante(base))
                           ? o.vAlign
                           : vaTop;
            m.WordWrap = false;
            m.AllowExpressions = false;
            m.SetText(QString::fromUtf8(o.testoModello));
            break;
        }
        }
    }
}

std::unique_ptr<TReport> NuovoModelloCarte(const QString &nome)
{
    auto r = std::make_unique<TReport>(nome);
    r->ReportOptions.Name = nome;
    r->PreviewOptions.Buttons = pbPrint | pbZoom | pbFullScreen | pbClose;
    r->PreviewOptions.Zoom = 1.0;
    r->PrintOptions.Printer = QStringLiteral("Default");
    return r;
}

std::unique_ptr<TReport> CreaTesserino(VarianteTessera variante)
{
    auto r = NuovoModelloCarte(QStringLiteral("Tesserino"));
    TReportPage &pagina = r->Pages(1);
    if (variante == VarianteTessera::Anteprima) {
        pagina.PaperSize = 256;
        pagina.PaperWidth = 210.0;
        pagina.PaperHeight = 297.0;
    } else {
        pagina.SetPaperSize(9);
    }
    pagina.SetMargins(0, 0, 0, 0);
    AggiungiTessera(pagina, 10.0, 10.0, variante);
    return r;
}

void ComponiTessera(TReport &report, const TDatiTessera &dati, const TImpostazioniStampa &imp)
{
    TReportPage &pagina = report.Pages(1);
    pagina.SetOrientation(imp.orientamento);
    pagina.TopMargin = imp.alto;
    pagina.LeftMargin = imp.sinistro;
    RiempiTessera(report, dati, QString(), imp.Adatta);
}

TPictureView &LogoTessera(const TReport &report, const QString &suffisso)
{
    return report.Picture(QStringLiteral("imgLogo") + suffisso);
}

void RiempiTessera(TReport &report, const TDatiTessera &d, const QString &suffisso, bool adatta)
{
    auto testo = [&](const char *nome, const QString &valore) {
        report.Memo(QString::fromLatin1(nome) + suffisso).SetText(Testo::Trim32(valore));
    };
    TPictureView &logo = LogoTessera(report, suffisso);
    logo.SetPicture(d.Logo);
    report.Picture(QStringLiteral("imgFoto") + suffisso).SetPicture(d.Foto);
    testo("txtAssociazione", d.Associazione);
    testo("txtSottotitolo01", d.Sottotitolo01);
    testo("txtSottotitolo02", d.Sottotitolo02);
    testo("txtAnnotazioni", d.Annotazioni);
    testo("txtTesserato", d.Tesserato);
    testo("txtCarica", d.Carica);
    testo("txtNumTessera", d.NumTessera);
    testo("txtDataRil", d.DataRil);
    testo("txtDataScade", d.DataScade);
    Adatta(report.Memo(QStringLiteral("txtTesserato") + suffisso), "txtTesserato", adatta);
    Adatta(report.Memo(QStringLiteral("txtCarica") + suffisso), "txtCarica", adatta);
    RiempiCodiceQR(report, d, suffisso);
    if (!suffisso.isEmpty())
        return;
    if (!d.Retro) {
        RetroTessera::TogliPaginaRetro(report);
        return;
    }
    // The back mirrored left to right across the paper, as on the nine-card sheet: after a
    // duplex printer turns the sheet over along its long edge it lies behind the front. The
    // printer's offsets (the page margins) correct the printer, not the card's place, so they
    // move the back the same way as the front, as on the sheet.
    const TShapeView &sfondo = report.Oggetto<TShapeView>(QStringLiteral("shpSfondo"));
    TReportPage &retro = RetroTessera::PaginaRetro(report);
    const double sinistraRetro = retro.PaperWidth - Unita::InMm(sfondo.Left) - LarghezzaTesseraMm;
    RetroTessera::Aggiungi(retro, sinistraRetro, Unita::InMm(sfondo.Top));
    RetroTessera::Riempi(report, d, logo);
}

QString TestoCodiceQR(const QString &modello, const TDatiTessera &d)
{
    const std::pair<QLatin1String, const QString *> segnaposto[] = {
        {QLatin1String("{tessera}"), &d.NumTessera},  {QLatin1String("{tesserato}"), &d.Tesserato},
        {QLatin1String("{scadenza}"), &d.DataScade},  {QLatin1String("{rilascio}"), &d.DataRil},
        {QLatin1String("{posizione}"), &d.Posizione},
    };
    // One pass from left to right: a value that holds a placeholder stays as it is.
    QString testo;
    for (qsizetype i = 0; i < modello.size();) {
        bool sostituito = false;
        for (const auto &[nome, valore] : segnaposto) {
            if (QStringView(modello).sliced(i).startsWith(nome)) {
                testo += Testo::Trim32(*valore);
                i += nome.size();
                sostituito = true;
                break;
            }
        }
        if (!sostituito)
            testo += modello[i++];
    }
    return testo;
}

QString TestoQRTessera(const TDatiTessera &d)
{
    return d.ChiaveQR.isEmpty() ? TestoCodiceQR(d.TestoQR, d)
                                : CodiceVerifica::Componi(d.NumTessera, d.DataScade, d.ChiaveQR);
}

QStringList SegnapostoQR()
{
    return {QStringLiteral("{tessera}"), QStringLiteral("{tesserato}"),
            QStringLiteral("{scadenza}"), QStringLiteral("{rilascio}"),
            QStringLiteral("{posizione}")};
}

QStringList SegnapostoSconosciuti(const QString &modello)
{
    static const QRegularExpression parola(QStringLiteral("\\{[^{}\\s]+\\}"));
    const QStringList noti = SegnapostoQR();
    QStringList sconosciuti;
    for (auto it = parola.globalMatch(modello); it.hasNext();) {
        const QString p = it.next().captured();
        if (!noti.contains(p) && !sconosciuti.contains(p))
            sconosciuti << p;
    }
    return sconosciuti;
}

QRectF AreaCodiceQR(const QRectF &header)
{
    const double lato = Unita::DaMm(12.0);
    return QRectF(header.right() - lato, header.top(), lato, lato);
}

void RiempiCodiceQR(TReport &report, const TDatiTessera &d, const QString &suffisso)
{
    const QString nome = QStringLiteral("shpCodiceQR") + suffisso;
    const TShapeView &header = report.Oggetto<TShapeView>(QStringLiteral("shpHeader") + suffisso);
    TReportPage *pagina = nullptr;
    for (int i = 1; i < report.PagesCount() && !pagina; ++i)
        if (report.Pages(i).FindObject(header.Name) == &header)
            pagina = &report.Pages(i);
    if (!pagina)
        return;
    CodiceQR::Rimuovi(*pagina, nome);
    if (d.CodiceQR && HaSocio(d))
        CodiceQR::Aggiungi(*pagina, TestoQRTessera(d), AreaCodiceQR(header.Rettangolo()), nome);
}
