#include "shell/Avvio.h"

#include "ingressi/Ingressi.h"
#include "platform/Finestra.h"
#include "platform/Piattaforma.h"
#include "shell/Guida.h"
#include "shell/Info.h"
#include "shell/Splash.h"
#include "stats/Statistiche.h"
#include "widgets/Controlli.h"
#include "widgets/Modale.h"
#include "widgets/OpenURL.h"
#include "widgets/Tavolozza.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSvgRenderer>
#include <QVBoxLayout>

#include <memory>

namespace {
// One tile: picture, caption image and description image, all clickable the same way.
void Riquadro(QWidget *parent, QGridLayout *griglia, int colonna, const char *img, const char *btn,
              const char *inf, const QString &nome, void (TfrmAvvio::*clic)(), TfrmAvvio *avvio)
{
    auto *figura =
        Guscio::Figura(parent, img, QStringLiteral(":/shell/tile_%1.svg").arg(nome), {300, 220});
    auto *titolo =
        Guscio::Figura(parent, btn, QStringLiteral(":/shell/btn_%1.svg").arg(nome), {320, 56});
    auto *descr =
        Guscio::Figura(parent, inf, QStringLiteral(":/shell/inf_%1.svg").arg(nome), {320, 120});
    for (TImmagine *i : {figura, titolo, descr}) {
        i->setCursor(Qt::PointingHandCursor);
        QObject::connect(i, &TImmagine::clicked, avvio, clic);
    }
    griglia->addWidget(figura, 0, colonna, Qt::AlignHCenter | Qt::AlignBottom);
    griglia->addWidget(titolo, 1, colonna, Qt::AlignHCenter);
    griglia->addWidget(descr, 2, colonna, Qt::AlignHCenter | Qt::AlignTop);
}

} // namespace

TfrmAvvio::TfrmAvvio(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmAvvio"));
    setWindowTitle(QStringLiteral(" Quorvel"));
    setMinimumSize(1100, 680);
    setAutoFillBackground(true);
    setStyleSheet(Tavolozza::Colora(
        QStringLiteral("TfrmAvvio { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, "
                       "stop:0 @Acciaio, stop:0.55 @Bianco, stop:1 @Bianco); }"
                       "QWidget#panTitolo { background: @Blu; border-bottom: 4px solid @Oro; }"
                       "QWidget#panPiede { background: @Blu; border-top: 3px solid @Oro; }")));

    auto *colonna = new QVBoxLayout(this);
    colonna->setContentsMargins(0, 0, 0, 0);
    colonna->setSpacing(0);

    // Header: information icon, title banner, help icon.
    auto *testa = new QWidget(this);
    testa->setObjectName(QStringLiteral("panTitolo"));
    testa->setAttribute(Qt::WA_StyledBackground);
    auto *rigaTesta = new QHBoxLayout(testa);
    rigaTesta->setContentsMargins(24, 10, 24, 14);
    auto *info = Guscio::Figura(testa, "imgInfo", QStringLiteral(":/shell/info.svg"), {56, 56});
    auto *logo =
        Guscio::Figura(testa, "imgLogo", QStringLiteral(":/shell/banner_avvio.svg"), {640, 110});
    auto *guida = Guscio::Figura(testa, "imgGuida", QStringLiteral(":/shell/guida.svg"), {56, 56});
    rigaTesta->addWidget(info, 0, Qt::AlignVCenter);
    rigaTesta->addStretch();
    rigaTesta->addWidget(logo);
    rigaTesta->addStretch();
    rigaTesta->addWidget(guida, 0, Qt::AlignVCenter);
    colonna->addWidget(testa);

    // The three tiles, left to right.
    auto *griglia = new QGridLayout;
    griglia->setHorizontalSpacing(60);
    griglia->setVerticalSpacing(8);
    Riquadro(this, griglia, 0, "imgArchivio", "btnArchivio", "infArchivio",
             QStringLiteral("archivio"), &TfrmAvvio::imgArchivioClick, this);
    Riquadro(this, griglia, 1, "imgTessera", "btnTessera", "infTessera", QStringLiteral("tessera"),
             &TfrmAvvio::imgTesseraClick, this);
    Riquadro(this, griglia, 2, "imgTessere", "btnTessere", "infTessere", QStringLiteral("tessere"),
             &TfrmAvvio::imgTessereClick, this);
    auto *centro = new QHBoxLayout;
    centro->addStretch();
    centro->addLayout(griglia);
    centro->addStretch();
    colonna->addStretch(1);
    colonna->addLayout(centro);
    colonna->addStretch(1);

    // Footer: credits, brand line, exit.
    auto *piede = new QWidget(this);
    piede->setObjectName(QStringLiteral("panPiede"));
    piede->setAttribute(Qt::WA_StyledBackground);
    auto *rigaPiede = new QHBoxLayout(piede);
    rigaPiede->setContentsMargins(20, 8, 20, 8);
    auto *crediti =
        Guscio::Figura(piede, "imgCrediti", QStringLiteral(":/shell/crediti.svg"), {36, 36});
    auto *sito = Guscio::Figura(piede, "imgSito", QStringLiteral(":/shell/sito.svg"), {420, 36});
    auto *esci = Guscio::Figura(piede, "imgEsci", QStringLiteral(":/shell/esci.svg"), {36, 36});
    rigaPiede->addWidget(crediti);
    // The door check, for the volunteer at the entrance of an event.
    auto *ingressi = new QPushButton(QStringLiteral("Controllo ingressi"), piede);
    ingressi->setObjectName(QStringLiteral("cmdIngressi"));
    ingressi->setMinimumHeight(30);
    connect(ingressi, &QPushButton::clicked, this, &TfrmAvvio::cmdIngressiClick);
    rigaPiede->addSpacing(12);
    rigaPiede->addWidget(ingressi);
    // The association at a glance, for the board's questions.
    auto *statistiche = new QPushButton(QStringLiteral("Statistiche"), piede);
    statistiche->setObjectName(QStringLiteral("cmdStatistiche"));
    statistiche->setCursor(Qt::PointingHandCursor);
    connect(statistiche, &QPushButton::clicked, this, &TfrmAvvio::cmdStatisticheClick);
    rigaPiede->addSpacing(12);
    rigaPiede->addWidget(statistiche);
    rigaPiede->addStretch();
    rigaPiede->addWidget(sito);
    rigaPiede->addStretch();
    rigaPiede->addWidget(esci);
    colonna->addWidget(piede);

    info->setToolTip(QStringLiteral("Informazioni su Quorvel"));
    guida->setToolTip(QStringLiteral("Guida"));
    crediti->setToolTip(QStringLiteral("Riconoscimenti"));
    sito->setToolTip(QString::fromLatin1(Guscio::SitoProduttore));
    esci->setToolTip(QStringLiteral("Esci da Quorvel"));
    for (TImmagine *i : {info, guida, crediti, sito, esci})
        i->setCursor(Qt::PointingHandCursor);
    connect(info, &TImmagine::clicked, this, &TfrmAvvio::imgInfoClick);
    connect(guida, &TImmagine::clicked, this, &TfrmAvvio::imgGuidaClick);
    connect(crediti, &TImmagine::clicked, this, &TfrmAvvio::imgCreditiClick);
    connect(sito, &TImmagine::clicked, this, &TfrmAvvio::imgSitoClick);
    connect(esci, &TImmagine::clicked, this, &TfrmAvvio::imgEsciClick);

    Finestra::Massimizzata(this);
}

void TfrmAvvio::imgArchivioClick()
{
    emit Scelta(Principale::Archivio);
}
void TfrmAvvio::imgTesseraClick()
{
    emit Scelta(Principale::Tessera);
}
void TfrmAvvio::imgTessereClick()
{
    emit Scelta(Principale::Tessere);
}

void TfrmAvvio::imgGuidaClick()
{
    TfrmGuida::Apri(this, Guscio::TitoloGuidaAvvio(), Guscio::TestoGuidaAvvio());
}

void TfrmAvvio::imgInfoClick()
{
    const std::unique_ptr<TfrmInfo> info(new TfrmInfo(this));
    Piattaforma::MostraModale(info.get());
}

void TfrmAvvio::imgCreditiClick()
{
    const std::unique_ptr<TfrmSplash> splash(new TfrmSplash(this));
    Piattaforma::MostraModale(splash.get());
}

void TfrmAvvio::imgSitoClick()
{
    TMisc::Open(QString::fromLatin1(Guscio::SitoProduttore));
}

void TfrmAvvio::imgEsciClick()
{
    close();
}

void TfrmAvvio::cmdIngressiClick()
{
    const std::unique_ptr<TfrmIngressi> ingressi(new TfrmIngressi(this));
    Piattaforma::MostraModale(ingressi.get());
}

void TfrmAvvio::cmdStatisticheClick()
{
    ApriModale<TfrmStatistiche>(this);
}

void TfrmAvvio::closeEvent(QCloseEvent *e)
{
    // Leaving the start screen ends the run, although the login screen still exists.
    e->accept();
    QCoreApplication::exit(0);
}
