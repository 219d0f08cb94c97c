#include "report/Stampa.h"

#include "platform/Piattaforma.h"
#include "report/core/Pittore.h"

#include <QPageRanges>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

namespace StampaReport {

QList<int> PagineScelte(const QPrinter &stampante, int n, int corrente)
{
    QList<int> pagine;
    switch (stampante.printRange()) {
    case QPrinter::CurrentPage:
        if (corrente >= 0 && corrente < n)
            pagine.append(corrente);
        return pagine;
    case QPrinter::PageRange: {
        const QPageRanges scelte = stampante.pageRanges();
        for (int i = 0; i < n; ++i)
            if (scelte.isEmpty() || scelte.contains(i + 1))
                pagine.append(i);
        return pagine;
    }
    default:
        for (int i = 0; i < n; ++i)
            pagine.append(i);
        return pagine;
    }
}

void PreparaStampante(QPrinter &stampante, const QString &nome)
{
    stampante.setDocName(nome);
    stampante.setCreator(QStringLiteral("Quorvel"));
    stampante.setFullPage(true);
    stampante.setCopyCount(1);
    stampante.setCollateCopies(true);
}

bool StampaSu(QPrinter &stampante, const TReport &report, const QList<int> &pagine)
{
    const auto &preparate = report.PreparedPages();
    QList<int> valide;
    for (int i : pagine)
        if (i >= 0 && i < int(preparate.size()))
            valide.append(i);
    if (valide.isEmpty())
        return false;
    // Each page asks for its own paper and orientation, and is drawn from the paper's
    // physical corner.
    stampante.setFullPage(true);
    stampante.setPageLayout(Pittore::LayoutPagina(preparate[size_t(valide.front())]));
    QPainter p;
    if (!p.begin(&stampante))
        return false;
    bool primo = true;
    for (int i : valide) {
        const TPaginaPreparata &pp = preparate[size_t(i)];
        if (!primo) {
            stampante.setPageLayout(Pittore::LayoutPagina(pp));
            if (!stampante.newPage()) {
                p.end();
                return false;
            }
        }
        primo = false;
        Pittore::Trasforma(p);
        Pittore::DisegnaPagina(p, pp);
    }
    return p.end();
}

TEsitoStampa Stampa(const TReport &report, QWidget *owner, int corrente,
                    const QString &nomeStampante)
{
    const int n = report.PreparedCount();
    QPrinter stampante(QPrinter::HighResolution);
    PreparaStampante(stampante, report.ReportOptions.Name);
    const QString scelta = report.PrintOptions.Printer;
    if (!scelta.isEmpty() && scelta.compare(QLatin1String("Default"), Qt::CaseInsensitive) != 0 &&
        QPrinterInfo::availablePrinterNames().contains(scelta))
        stampante.setPrinterName(scelta);
    if (!nomeStampante.isEmpty())
        stampante.setPrinterName(nomeStampante);
    if (n > 0)
        stampante.setPageLayout(Pittore::LayoutPagina(report.PreparedPages().front()));
    if (!Piattaforma::DialogoStampa(stampante, owner, std::max(1, n)))
        return {TEsitoStampa::Tipo::Annullato, QString()};
    const QList<int> pagine = PagineScelte(stampante, n, corrente);
    // A range that chooses no page prints nothing: nothing failed either.
    if (pagine.isEmpty())
        return {TEsitoStampa::Tipo::Annullato, QString()};
    if (!StampaSu(stampante, report, pagine))
        return {TEsitoStampa::Tipo::Fallito,
                QStringLiteral("Printing of \"%1\" failed").arg(report.ReportOptions.Name)};
    return {TEsitoStampa::Tipo::Stampato, QString()};
}

bool Riferisci(const TEsitoStampa &esito, QWidget *owner)
{
    if (esito.Fallito())
        Piattaforma::Errore(esito.errore, owner);
    return esito.Stampato();
}

} // namespace StampaReport
