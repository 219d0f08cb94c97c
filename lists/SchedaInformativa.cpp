#include "lists/SchedaInformativa.h"

#include "archive/Testo.h"
#include "platform/Piattaforma.h"
#include "report/ReportGui.h"
#include "report/Stampa.h"
#include "report/core/Report.h"

#include <QPainter>
#include <QSvgRenderer>

const std::array<RigaScheda, 24> RigheScheda = {{
    {"Cognome e nome:", "txtTesserato", nullptr, nullptr},
    {"Carica ricoperta:", "txtCarica", nullptr, nullptr},
    {"Tessera n.", "txtNumTessera", nullptr, nullptr},
    {"Data rilascio:", "txtDataRil", nullptr, nullptr},
    {"Data scadenza:", "txtDataScade", nullptr, nullptr},
    {"Data di nascita:", "txtDataNasc", nullptr, nullptr},
    {"Comune di nascita:", "txtComuneNasc", "txtProvNasc", " "},
    {"Comune di residenza:", "txtComuneRes", "txtProvRes", "  "},
    {"CAP:", "txtCapRes", nullptr, nullptr},
    {"Via e numero civico:", "txtIndirizzoRes", nullptr, nullptr},
    {"Titoli posseduti:", "txtTitoli", nullptr, nullptr},
    {"Tel. casa:", "txtTelCasa", nullptr, nullptr},
    {"Tel. ufficio:", "txtTelUff", nullptr, nullptr},
    {"Tel. cellulare:", "txtTelCel", nullptr, nullptr},
    {"Recapito preferenziale:", "txtRecapito", nullptr, nullptr},
    {"Fax:", "txtFax", nullptr, nullptr},
    {"E-mail:", "txtEmail", nullptr, nullptr},
    {"Codice Fiscale:", "txtCodFisc", nullptr, nullptr},
    {"Carta di credito n.", "txtCarta", nullptr, nullptr},
    {"Scadenza carta di credito:", "txtScadeCarta", nullptr, nullptr},
    {"Partita IVA:", "txtPartitaIva", nullptr, nullptr},
    {"IBAN:", "txtIban", nullptr, nullptr},
    {"Intestatario C/C:", "txtIntestatario", nullptr, nullptr},
    {"Note:", "txtNote", nullptr, nullptr},
}};

namespace {

const QString NomeScheda = QStringLiteral("Scheda informativa");

QString Nome(const char *prefisso, int riga)
{
    return QString::fromLatin1(prefisso) + QStringLiteral("%1").arg(riga, 2, 10, QLatin1Char('0'));
}

// Every memo of the sheet prints its text as given and on one line.
TMemoView &Memo(TReportPage &p, const QString &nome, double l, double t, double w, double h,
                double punti, QColor colore, QColor sfondo, THAlign ha, const QString &testo)
{
    TMemoView &m = p.Add<TMemoView>(nome, l, t, w, h);
    m.Font.Name = QStringLiteral("Arial");
    m.Font.Size = punti;
    m.Font.Color = colore;
    m.Color = sfondo;
    m.HAlign = ha;
    m.VAlign = vaCenter;
    m.WordWrap = false;
    m.AllowExpressions = false;
    m.SetText(testo);
    return m;
}

// The folder picture kept with the template, 82 x 68 pixels.
QImage Cartella()
{
    QImage img(82, 68, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::white);
    QSvgRenderer svg(QStringLiteral(":/lists/cartella.svg"));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    svg.render(&p);
    return img;
}

} // namespace

std::unique_ptr<TReport> CreaRepScheda()
{
    auto rep = std::make_unique<TReport>(NomeScheda);
    rep->ReportOptions.Name = NomeScheda;
    rep->PreviewOptions.Buttons = pbPrint | pbZoom | pbFullScreen | pbClose;
    rep->PreviewOptions.Zoom = 1.0;
    rep->PrintOptions.Printer = QStringLiteral("Default");

    TReportPage &p = rep->Pages(1);
    p.Name = QStringLiteral("Page1");
    p.SetOrientation(poPortrait);
    p.SetPaperSize(9);
    p.SetMargins(10, 10, 10, 10);

    TPictureView &logo =
        p.Add<TPictureView>(QStringLiteral("imgLogo"), 11.33859, 11.33859, 64.25201, 49.13389);
    logo.SetPicture(Cartella());

    Memo(p, QStringLiteral("txtTitolo"), 86.92919, 11.33859, 623.62245, 34.01577, 16, Colori::White,
         Colori::DarkOrange, haCenter, QStringLiteral("Titolo Scheda"));
    // A line is drawn along its top edge, 1 unit thick: its rectangle must hold that unit.
    p.Add<TLineView>(QStringLiteral("linSepara01"), 86.92919, 60.47248, 623.62245, 1);

    for (int n = 1; n <= 24; ++n) {
        const double top = 90.70872 + (n - 1) * 37.7953;
        const QString progetto = QStringLiteral("Campo %1").arg(n);
        Memo(p, Nome("titCampo", n), 11.33859, top, 196.53556, 22.67718, 9, Colori::White,
             Colori::Teal, haLeft, progetto);
        Memo(p, Nome("txtCampo", n), 226.7718, top, 483.77984, 22.67718, 10, Colori::Black,
             Colori::None, haLeft, progetto);
    }

    p.Add<TLineView>(QStringLiteral("linSepara02"), 11.33859, 1001.57545, 699.21305, 1);
    Memo(p, QStringLiteral("txtCalce"), 11.33859, 1016.69357, 699.21305, 22.67718, 10,
         Colori::White, Colori::DarkOrange, haCenter, QStringLiteral("Termine scheda"));
    return rep;
}

void RiempiScheda(TReport &rep, const std::function<QString(const char *)> &valore)
{
    rep.Pages(1).SetOrientation(poPortrait);
    rep.Memo(QStringLiteral("txtTitolo")).SetText(QStringLiteral("SCHEDA ANAGRAFICA SOCIO"));
    for (int n = 1; n <= 24; ++n) {
        const RigaScheda &r = RigheScheda[n - 1];
        QString testo = valore(r.controllo);
        if (r.secondo)
            testo += QString::fromLatin1(r.separa) + valore(r.secondo);
        rep.Memo(Nome("titCampo", n)).SetText(QString::fromUtf8(r.titolo));
        // One line whatever the box holds: a line break would start a second, hidden line.
        testo.replace(QLatin1Char('\r'), QLatin1Char(' '))
            .replace(QLatin1Char('\n'), QLatin1Char(' '));
        rep.Memo(Nome("txtCampo", n)).SetText(testo);
    }
    rep.Memo(QStringLiteral("txtCalce"))
        .SetText(QStringLiteral("Stampa eseguita in data ") +
                 Testo::TestoData(Piattaforma::Oggi()) + QStringLiteral(" alle ore ") +
                 Piattaforma::Ora().toString(QStringLiteral("HH:mm:ss")));
}

void AnteprimaScheda(TReport &rep, QWidget *owner)
{
    if (ReportGui::PrepareReport(rep, true))
        ReportGui::ShowReport(rep, true, owner);
}

void StampaScheda(TReport &rep, QWidget *owner)
{
    if (ReportGui::PrepareReport(rep, true))
        StampaReport::Riferisci(ReportGui::Print(rep, owner), owner);
}
