#include "shell/Guida.h"

#include "platform/Finestra.h"
#include "platform/Piattaforma.h"
#include "shell/Guscio.h"
#include "widgets/Controlli.h"
#include "widgets/Modale.h"
#include "widgets/OpenURL.h"
#include "widgets/Tavolozza.h"

#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

TfrmGuida::TfrmGuida(QWidget *parent) : QDialog(parent, Finestra::FlagsFissa)
{
    setObjectName(QStringLiteral("frmGuida"));
    setWindowTitle(QStringLiteral(" Guida all'utilizzo del software"));
    setStyleSheet(Tavolozza::Colora(
        QStringLiteral("TfrmGuida { background: qlineargradient(x1:0, y1:0, x2:0, "
                       "y2:1, stop:0 @Acciaio, stop:0.35 @Bianco); }")));

    auto *colonna = new QVBoxLayout(this);
    colonna->setContentsMargins(0, 0, 0, 16);
    colonna->setSpacing(12);

    colonna->addWidget(
        Guscio::Figura(this, "imgLogo", QStringLiteral(":/shell/banner_guida.svg"), {820, 110}));

    auto *corpo = new QVBoxLayout;
    corpo->setContentsMargins(20, 0, 20, 0);
    corpo->setSpacing(10);
    colonna->addLayout(corpo);

    m_titolo = new QLabel(QStringLiteral("Argomento della guida."), this);
    m_titolo->setObjectName(QStringLiteral("lblTitolo"));
    QFont ft(QStringLiteral("Arial"), 16, QFont::Bold);
    m_titolo->setFont(ft);
    m_titolo->setStyleSheet(Tavolozza::Colora(QStringLiteral("color: @Cremisi;")));
    m_titolo->setWordWrap(true);
    corpo->addWidget(m_titolo);

    m_testo = new QPlainTextEdit(this);
    m_testo->setObjectName(QStringLiteral("txtGuida"));
    m_testo->setReadOnly(true);
    m_testo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_testo->setWordWrapMode(QTextOption::WordWrap);
    m_testo->setFont(QFont(QStringLiteral("Verdana"), 12, QFont::Bold));
    m_testo->setFixedSize(780, 400);
    corpo->addWidget(m_testo);

    auto *piede = new QHBoxLayout;
    piede->setSpacing(8);
    auto *icona = Guscio::Figura(this, "imgPDF", QStringLiteral(":/shell/pdf.svg"), {32, 32});
    auto *link = new TEtichetta(QStringLiteral("Visualizza guida in formato PDF"), this);
    link->setObjectName(QStringLiteral("lnkWeb"));
    Guscio::Collegamento(link, icona, [this] { lnkWebClick(); });
    auto *chiudi = new QPushButton(QStringLiteral("Chiudi"), this);
    chiudi->setObjectName(QStringLiteral("btnChiudi"));
    chiudi->setMinimumSize(110, 34);
    connect(chiudi, &QPushButton::clicked, this, &TfrmGuida::btnChiudiClick);
    piede->addWidget(icona);
    piede->addWidget(link);
    piede->addStretch();
    piede->addWidget(chiudi);
    corpo->addLayout(piede);

    Finestra::Fissa(this, Finestra::Centro::Schermo);
}

QString TfrmGuida::CartellaGuida()
{
    // Beside the executable (a build, the portable archive), else where a package puts
    // it: <prefix>/bin/quorvel and <prefix>/share/quorvel/Guida.pdf.
    const QDir programma(Piattaforma::CartellaEseguibile());
    const QString installata =
        QDir::cleanPath(programma.filePath(QStringLiteral("../share/quorvel")));
    if (!programma.exists(QStringLiteral("Guida.pdf")) &&
        QDir(installata).exists(QStringLiteral("Guida.pdf")))
        return installata;
    return programma.path();
}

void TfrmGuida::lnkWebClick()
{
    const QString cartella = QDir::toNativeSeparators(CartellaGuida());
    QString percorso = cartella;
    if (!percorso.endsWith(QDir::separator()))
        percorso += QDir::separator();
    percorso += QStringLiteral("Guida.pdf");
    // A desktop without a PDF viewer opens nothing: say where the guide is.
    if (!TMisc::Open(u'"' + percorso + u'"'))
        Piattaforma::Avviso(QStringLiteral("Impossibile aprire la guida: nessun programma per i "
                                           "file PDF. La guida è il file %1")
                                .arg(percorso),
                            this);
}

void TfrmGuida::btnChiudiClick()
{
    close();
}

void TfrmGuida::MostraArgomento(const QString &titolo, const QString &testo)
{
    m_titolo->setText(titolo);
    m_testo->setPlainText(testo);
}

void TfrmGuida::Apri(QWidget *owner, const QString &titolo, const QString &testo)
{
    ApriModale<TfrmGuida>(owner, [&](TfrmGuida &g) { g.MostraArgomento(titolo, testo); });
}

void TfrmGuida::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    m_testo->moveCursor(QTextCursor::Start);
    Finestra::Centra(this, Finestra::Centro::Schermo);
}
