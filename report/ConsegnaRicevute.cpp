#include "report/ConsegnaRicevute.h"

#include "platform/Finestra.h"
#include "widgets/Tavolozza.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TfrmConsegnaRicevute::TfrmConsegnaRicevute(const QString &descrizione, QWidget *parent)
    : QDialog(parent, Finestra::FlagsFissa)
{
    setObjectName(QStringLiteral("frmConsegnaRicevute"));
    setWindowTitle(QStringLiteral("Ricevute"));
    setStyleSheet(Tavolozza::Colora(QStringLiteral(R"(
        QDialog { background: qlineargradient(x1:0, y1:0, x2:0, y2:1,
                  stop:0 @Acciaio, stop:0.6 @Bianco); }
        #lblDomanda { color: @Blu; font: bold 10pt "Verdana"; }
        QPushButton { font: bold 9pt "Verdana"; color: @Blu; padding: 6px 14px; min-width: 110px; }
    )")));
    auto *colonna = new QVBoxLayout(this);
    colonna->setContentsMargins(18, 16, 18, 14);
    colonna->setSpacing(14);
    auto *domanda =
        new QLabel(QStringLiteral("Come si vuole consegnare %1?").arg(descrizione), this);
    domanda->setObjectName(QStringLiteral("lblDomanda"));
    domanda->setWordWrap(true);
    colonna->addWidget(domanda);

    auto *riga = new QHBoxLayout;
    riga->setSpacing(8);
    struct Voce {
        const char *nome;
        QString testo;
        void (TfrmConsegnaRicevute::*azione)();
    };
    const Voce voci[] = {
        {"cmdStampa", QStringLiteral("Stampa"), &TfrmConsegnaRicevute::cmdStampaClick},
        {"cmdPdf", QStringLiteral("Salva in PDF"), &TfrmConsegnaRicevute::cmdPdfClick},
        {"cmdEmail", QStringLiteral("Invia per e-mail"), &TfrmConsegnaRicevute::cmdEmailClick},
        {"cmdAnnulla", QStringLiteral("Annulla"), &TfrmConsegnaRicevute::cmdAnnullaClick},
    };
    for (const Voce &v : voci) {
        auto *b = new QPushButton(v.testo, this);
        b->setObjectName(QString::fromLatin1(v.nome));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, v.azione);
        riga->addWidget(b);
    }
    colonna->addLayout(riga);
    Finestra::Fissa(this, Finestra::Centro::Proprietario);
}
