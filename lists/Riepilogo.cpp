#include "lists/Riepilogo.h"
#include "report/ReportGui.h"

TRiepilogo::TRiepilogo(QObject *parent)
    : QObject(parent), m_report(QStringLiteral("Riepilogo dati"))
{
    setObjectName(QStringLiteral("repRiepilogo"));
    m_report.ReportOptions.Name = QStringLiteral("Riepilogo dati");

    TReportPage &page = m_report.Pages(1);
    page.Name = QStringLiteral("Page");
    page.SetPaperSize(9);
    page.SetOrientation(poLandscape);
    page.SetMargins(10, 10, 10, 10);

    constexpr double Larghezza = 1046.92981; // 277 mm

    auto &titolo = page.AddBand<TReportTitle>(QStringLiteral("ReportTitle"), 30.23624, Larghezza);
    auto &txtTitolo =
        titolo.Add<TMemoView>(QStringLiteral("txtTitolo"), 7.55906, 3.77953, 1031.81169, 18.89765);
    txtTitolo.Color = Colori::SlateGray;
    txtTitolo.Font = {QStringLiteral("Verdana"), 9, fsBold, Colori::White};
    txtTitolo.HAlign = haCenter;
    txtTitolo.SetText(QStringLiteral("Riepilogo"));
    // Titles and list lines print as they stand: only the footer evaluates [DATE].
    txtTitolo.AllowExpressions = false;

    auto &dati = page.AddBand<TMasterData>(QStringLiteral("MasterData"), 105.82684, Larghezza);
    dati.RowCount = 1;
    dati.AllowSplit = true;
    auto &txtRiepilogo =
        dati.Add<TMemoView>(QStringLiteral("txtRiepilogo"), 11.33859, 0, 1031.81169, 102.04731);
    txtRiepilogo.Font = {QStringLiteral("Courier New"), 8, 0, Colori::Black};
    txtRiepilogo.WordWrap = false;
    txtRiepilogo.AllowExpressions = false;

    auto &piede = page.AddBand<TFooter>(QStringLiteral("Footer"), 30.23624, Larghezza);
    auto &txtPagina =
        piede.Add<TMemoView>(QStringLiteral("txtPagina"), 11.33859, 7.55906, 1028.03216, 18.89765);
    txtPagina.Color = Colori::SlateGray;
    txtPagina.Font = {QStringLiteral("Verdana"), 8, fsBold, Colori::White};
    txtPagina.HAlign = haCenter;
    txtPagina.SetText(QStringLiteral("Stampa eseguita in data [DATE]"));
}

void TRiepilogo::Riempi(const QString &titolo, const QStringList &righe)
{
    m_report.Memo(QStringLiteral("txtTitolo")).SetText(titolo);
    TMemoView &memo = m_report.Memo(QStringLiteral("txtRiepilogo"));
    memo.Clear();
    for (const QString &r : righe)
        memo.Add(r);
    // The band may split, so a long list continues over the following pages.
    memo.Height = righe.size() * AltezzaRiga;
    m_report.Band(QStringLiteral("MasterData")).Height = memo.Height + 10;
}

TEsitoStampa TRiepilogo::Stampa(const QString &titolo, const QStringList &righe, QWidget *owner)
{
    Riempi(titolo, righe);
    if (!ReportGui::PrepareReport(m_report, true))
        return {TEsitoStampa::Tipo::Annullato, QString()}; // the errors are shown
    return ReportGui::Print(m_report, owner);
}
