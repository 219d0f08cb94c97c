#include "shell/Splash.h"

#include "platform/Finestra.h"
#include "shell/Guscio.h"
#include "widgets/Controlli.h"
#include "widgets/OpenURL.h"
#include "widgets/Tavolozza.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

TfrmSplash::TfrmSplash(QWidget *parent) : QDialog(parent, Finestra::FlagsFissa)
{
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QStringLiteral(" Quorvel - Quorvel Lab"));
    setStyleSheet(Tavolozza::Colora(QStringLiteral("TfrmSplash { background: @Bianco; }")));

    auto *colonna = new QVBoxLayout(this);
    colonna->setContentsMargins(20, 20, 20, 16);
    colonna->setSpacing(14);
    colonna->addWidget(
        Guscio::Figura(this, "imgLogo", QStringLiteral(":/shell/produttore.svg"), {480, 240}));

    auto *riga = new QHBoxLayout;
    riga->setSpacing(10);
    auto *icona = Guscio::Figura(this, "imgWeb", QStringLiteral(":/shell/web.svg"), {36, 36});
    auto *link = new TEtichetta(QString::fromLatin1(Guscio::SitoProduttore), this);
    link->setObjectName(QStringLiteral("lnkWeb"));
    Guscio::Collegamento(link, icona, [this] { lnkWebClick(); });
    auto *chiudi = new QPushButton(QStringLiteral("Chiudi"), this);
    chiudi->setObjectName(QStringLiteral("btnChiudi"));
    chiudi->setMinimumSize(110, 34);
    connect(chiudi, &QPushButton::clicked, this, &TfrmSplash::btnChiudiClick);
    riga->addWidget(icona);
    riga->addWidget(link);
    riga->addStretch();
    riga->addWidget(chiudi);
    colonna->addLayout(riga);

    Finestra::Fissa(this, Finestra::Centro::Proprietario);
}

void TfrmSplash::lnkWebClick()
{
    TMisc::Open(QString::fromLatin1(Guscio::SitoProduttore));
}

void TfrmSplash::btnChiudiClick()
{
    close();
}

void TfrmSplash::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    Finestra::Centra(this, Finestra::Centro::Proprietario);
}
