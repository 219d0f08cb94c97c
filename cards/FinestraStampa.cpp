#include "cards/FinestraStampa.h"

#include "cards/Segnaposto.h"
#include "platform/Piattaforma.h"
#include "report/Report.h"
#include "report/Stampa.h"
#include "shell/Controlli.h"

#include <QDialog>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

namespace FinestraStampa {

void DisegnaSfumatura(QWidget *w)
{
    QPainter p(w);
    QLinearGradient g(0, 0, 0, w->height());
    g.setColorAt(0, QColor(0x46, 0x82, 0xB4));
    g.setColorAt(1, Qt::white);
    p.fillRect(w->rect(), g);
}

ControlliAttesa Costruisci(QDialog *d, const char *nomeImmagine, const QString &svg,
                           const QString &testoPulsante)
{
    const int w = d->width(), h = d->height();
    ControlliAttesa c{};
    c.immagine = new TImmagine(d);
    c.immagine->setObjectName(QString::fromLatin1(nomeImmagine));
    c.immagine->setGeometry(14, 14, w - 28, 230);
    c.immagine->SetSvg(svg, QSize(w - 28, 230));

    c.lblAttendere = new QLabel(QStringLiteral("Elaborazione in corso. Attendere..."), d);
    c.lblAttendere->setObjectName(QStringLiteral("lblAttendere"));
    c.lblAttendere->setGeometry(14, 250, w - 28, 24);
    c.lblAttendere->setAlignment(Qt::AlignCenter);
    QFont fa = c.lblAttendere->font();
    fa.setItalic(true);
    fa.setBold(true);
    c.lblAttendere->setFont(fa);
    c.lblAttendere->setStyleSheet(QStringLiteral("color: #DC143C;"));
    c.lblAttendere->hide();

    c.btnAnnulla = new QPushButton(QStringLiteral("Annulla"), d);
    c.btnAnnulla->setObjectName(QStringLiteral("btnAnnulla"));
    c.btnAnnulla->setGeometry(14, h - 46, 140, 32);
    c.btnAnnulla->setAutoDefault(false);
    c.btnStampa = new QPushButton(testoPulsante, d);
    c.btnStampa->setObjectName(QStringLiteral("btnStampa"));
    c.btnStampa->setGeometry(w - 174, h - 46, 160, 32);
    c.btnStampa->setAutoDefault(false);
    QObject::connect(c.btnStampa, &QPushButton::pressed, c.lblAttendere, &QLabel::show);
    return c;
}

bool Anteprima(TReport &report, QDialog *schermata, QLabel *lblAttendere,
               const std::function<void()> &riempi)
{
    try {
        lblAttendere->show();
        lblAttendere->repaint();
        riempi();
        const bool pronto = report.PrepareReport(true);
        lblAttendere->hide();
        if (!pronto)
            return false;
        report.ShowReport(true, schermata);
    } catch (const std::exception &e) {
        // No message of its own: the general error report, and the screen stays open.
        Piattaforma::ErroreGenerale(QString::fromUtf8(e.what()));
        return false;
    }
    return true;
}

void Stampa(const TReport &report, QWidget *owner, const QString &nomeStampante)
{
    const TEsitoStampa esito = StampaReport::Stampa(report, owner, 0, nomeStampante);
    if (esito.Fallito())
        throw ErroreReport(esito.errore);
}

} // namespace FinestraStampa
