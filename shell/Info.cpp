#include "shell/Info.h"

#include "platform/Finestra.h"
#include "platform/Piattaforma.h"
#include "shell/ArchivioServer.h"
#include "shell/Guscio.h"
#include "widgets/Controlli.h"
#include "widgets/OpenURL.h"
#include "widgets/Tavolozza.h"

#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include <memory>

TfrmInfo::TfrmInfo(QWidget *parent) : QDialog(parent, Finestra::FlagsFissa)
{
    setObjectName(QStringLiteral("frmInfo"));
    setWindowTitle(QStringLiteral(" Informazioni su Quorvel"));
    setStyleSheet(
        Tavolozza::Colora(QStringLiteral("TfrmInfo { background: qlineargradient(x1:0, y1:0, x2:0, "
                                         "y2:1, stop:0 @Bianco, stop:1 @Nebbia); }")));

    auto *colonna = new QVBoxLayout(this);
    colonna->setContentsMargins(0, 0, 0, 16);
    colonna->setSpacing(12);
    colonna->addWidget(
        Guscio::Figura(this, "imgLogo", QStringLiteral(":/shell/banner_info.svg"), {560, 110}));

    auto *corpo = new QVBoxLayout;
    corpo->setContentsMargins(28, 4, 28, 0);
    corpo->setSpacing(10);
    colonna->addLayout(corpo);

    auto *nome = new QLabel(QStringLiteral("Quorvel %1").arg(QStringLiteral("1.0")), this);
    nome->setObjectName(QStringLiteral("lblProdotto"));
    nome->setFont(QFont(QStringLiteral("Arial"), 16, QFont::Bold));
    nome->setStyleSheet(Tavolozza::Colora(QStringLiteral("color: @Cremisi;")));
    corpo->addWidget(nome);
    auto *descr = new QLabel(
        QStringLiteral(
            "Archivio dei tesserati e stampa delle tessere di riconoscimento per associazioni, "
            "circoli, scuole e aziende.\n\nPer informazioni, richieste o suggerimenti scrivici:"),
        this);
    descr->setObjectName(QStringLiteral("lblDescrizione"));
    descr->setWordWrap(true);
    descr->setFixedWidth(504);
    descr->setFont(QFont(QStringLiteral("Verdana"), 10));
    descr->setStyleSheet(Tavolozza::Colora(QStringLiteral("color: @Blu;")));
    corpo->addWidget(descr);

    auto *riga = new QHBoxLayout;
    riga->setSpacing(10);
    auto *icona = Guscio::Figura(this, "imgEmail", QStringLiteral(":/shell/email.svg"), {40, 32});
    auto *link = new TEtichetta(QString::fromLatin1(Guscio::PostaProduttore), this);
    link->setObjectName(QStringLiteral("lnkWeb"));
    Guscio::Collegamento(link, icona, [this] { lnkWebClick(); });
    riga->addWidget(icona);
    riga->addWidget(link);
    riga->addStretch();
    corpo->addLayout(riga);

    lblCartellaDati = new QLabel(this);
    lblCartellaDati->setObjectName(QStringLiteral("lblCartellaDati"));
    lblCartellaDati->setFixedWidth(504);
    lblCartellaDati->setFont(QFont(QStringLiteral("Verdana"), 9));
    lblCartellaDati->setStyleSheet(Tavolozza::Stile(Tavolozza::Blu));
    lblCartellaDati->setTextInteractionFlags(Qt::TextSelectableByMouse);
    corpo->addSpacing(4);
    corpo->addWidget(lblCartellaDati);
    MostraCartellaDati();

    auto *chiudi = new QPushButton(QStringLiteral("Chiudi"), this);
    chiudi->setObjectName(QStringLiteral("btnChiudi"));
    chiudi->setMinimumSize(110, 34);
    connect(chiudi, &QPushButton::clicked, this, &TfrmInfo::btnChiudiClick);
    auto *archivio = new QPushButton(QStringLiteral("Archivio\u2026"), this);
    archivio->setObjectName(QStringLiteral("cmdArchivio"));
    archivio->setMinimumSize(110, 34);
    archivio->setAutoDefault(false);
    archivio->setToolTip(QStringLiteral("L'archivio nella cartella del programma o su un server "
                                        "PostgreSQL condiviso da pi\u00F9 postazioni"));
    connect(archivio, &QPushButton::clicked, this, &TfrmInfo::cmdArchivioClick);
    auto *piede = new QHBoxLayout;
    piede->addWidget(archivio);
    piede->addStretch();
    piede->addWidget(chiudi);
    corpo->addSpacing(8);
    corpo->addLayout(piede);

    Finestra::Fissa(this, Finestra::Centro::Schermo);
}

QString TfrmInfo::LinkPosta()
{
    // Subject and body go as they stand, blanks included.
    return u'"' + QStringLiteral("mailto:") + QString::fromLatin1(Guscio::PostaProduttore) +
           QStringLiteral("?subject=") + QStringLiteral("Software Quorvel") +
           QStringLiteral("&body=") +
           QStringLiteral(
               "Salve, desidererei avere le seguenti informazioni sul software in oggetto:") +
           u'"';
}

void TfrmInfo::MostraCartellaDati()
{
    // A long path is shortened in the middle; the whole one is in the tooltip.
    const QString testo = TestoCartellaDati();
    const QString cartella = testo.section(u'\n', 1);
    lblCartellaDati->setText(testo.section(u'\n', 0, 0) + u'\n' +
                             lblCartellaDati->fontMetrics().elidedText(cartella, Qt::ElideMiddle,
                                                                       lblCartellaDati->width()));
    lblCartellaDati->setToolTip(cartella);
    if (layout())
        layout()->activate();
}

QString TfrmInfo::TestoCartellaDati()
{
    return QStringLiteral("I dati di Quorvel (archivio, foto, impostazioni, password) sono "
                          "nella cartella:\n") +
           QDir::toNativeSeparators(Piattaforma::CartellaProgramma());
}

void TfrmInfo::lnkWebClick()
{
    TMisc::Open(LinkPosta());
}

void TfrmInfo::cmdArchivioClick()
{
    const std::unique_ptr<TfrmArchivioServer> schermata(new TfrmArchivioServer(this));
    Piattaforma::MostraModale(schermata.get());
}

void TfrmInfo::btnChiudiClick()
{
    close();
}

void TfrmInfo::showEvent(QShowEvent *e)
{
    MostraCartellaDati();
    QDialog::showEvent(e);
    Finestra::Centra(this, Finestra::Centro::Schermo);
}
