#include "mail/ModelloAvviso.h"

#include "archive/Errori.h"
#include "mail/DialogoPosta.h"
#include "mail/core/Messaggio.h"
#include "platform/Finestra.h"
#include "platform/Piattaforma.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {
const QString TestoCampi = QStringLiteral(
    "Campi che vengono sostituiti con i dati di ciascun tesserato:\n"
    "{gentile}  \"Gentile Sig.\", \"Gentile Sig.ra\" o \"Gentile\", secondo il sesso\n"
    "{nome}  cognome e nome, con le iniziali maiuscole\n"
    "{tessera}  numero della tessera\n"
    "{rilascio}  data di rilascio        {scadenza}  data di scadenza\n"
    "{ente}  nome dell'ente o associazione (Dati Ente)");
}

TfrmModelloAvviso::TfrmModelloAvviso(QWidget *parent) : QDialog(parent, Finestra::FlagsFissa)
{
    QVBoxLayout *v = DialogoPosta::Cornice(
        this, QStringLiteral("frmModelloAvviso"), QStringLiteral(" Testo dell'avviso"),
        QStringLiteral("Avviso di rinnovo inviato per posta elettronica"));

    auto *g = new QGridLayout;
    g->setHorizontalSpacing(12);
    g->setVerticalSpacing(8);
    txtOggetto = new QLineEdit(this);
    txtOggetto->setObjectName(QStringLiteral("txtOggetto"));
    txtOggetto->setMaxLength(200);
    txtTesto = new QPlainTextEdit(this);
    txtTesto->setObjectName(QStringLiteral("txtTesto"));
    txtTesto->setTabChangesFocus(true);
    txtTesto->setMinimumSize(560, 250);
    auto *etichettaTesto = new QLabel(QStringLiteral("Testo:"), this);
    g->addWidget(new QLabel(QStringLiteral("Oggetto:"), this), 0, 0);
    g->addWidget(txtOggetto, 0, 1);
    g->addWidget(etichettaTesto, 1, 0, Qt::AlignTop);
    g->addWidget(txtTesto, 1, 1);
    g->setColumnStretch(1, 1);
    v->addLayout(g);

    lblCampi = new QLabel(TestoCampi, this);
    lblCampi->setObjectName(QStringLiteral("lblCampi"));
    lblCampi->setTextInteractionFlags(Qt::TextSelectableByMouse);
    v->addWidget(lblCampi);

    auto *pulsanti = new QHBoxLayout;
    cmdPredefinito = new QPushButton(QStringLiteral("Testo predefinito"), this);
    cmdPredefinito->setObjectName(QStringLiteral("cmdPredefinito"));
    cmdSalva = new QPushButton(QStringLiteral("Salva"), this);
    cmdSalva->setObjectName(QStringLiteral("cmdSalva"));
    cmdAnnulla = new QPushButton(QStringLiteral("Annulla"), this);
    cmdAnnulla->setObjectName(QStringLiteral("cmdAnnulla"));
    DialogoPosta::Pulsanti({cmdPredefinito, cmdSalva, cmdAnnulla});
    pulsanti->addWidget(cmdPredefinito);
    pulsanti->addStretch(1);
    pulsanti->addWidget(cmdSalva);
    pulsanti->addWidget(cmdAnnulla);
    v->addLayout(pulsanti);

    connect(cmdPredefinito, &QPushButton::clicked, this, &TfrmModelloAvviso::cmdPredefinitoClick);
    connect(cmdSalva, &QPushButton::clicked, this, &TfrmModelloAvviso::cmdSalvaClick);
    connect(cmdAnnulla, &QPushButton::clicked, this, &TfrmModelloAvviso::cmdAnnullaClick);

    Finestra::Fissa(this, Finestra::Centro::Proprietario);
}

void TfrmModelloAvviso::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    if (!e->spontaneous()) {
        Finestra::Centra(this, Finestra::Centro::Proprietario);
        FormShow();
    }
}

void TfrmModelloAvviso::FormShow()
{
    const TModelloAvviso m = TModelloAvviso::Carica(Piattaforma::CartellaProgramma());
    txtOggetto->setText(m.oggetto);
    txtTesto->setPlainText(m.testo);
    txtTesto->setFocus(Qt::OtherFocusReason);
}

void TfrmModelloAvviso::cmdPredefinitoClick()
{
    const TModelloAvviso m = TModelloAvviso::Predefinito();
    txtOggetto->setText(m.oggetto);
    txtTesto->setPlainText(m.testo);
}

void TfrmModelloAvviso::cmdSalvaClick()
{
    TModelloAvviso m;
    m.oggetto = txtOggetto->text().simplified();
    m.testo = txtTesto->toPlainText();
    if (m.oggetto.isEmpty()) {
        Piattaforma::Avviso(QStringLiteral("Attenzione: indicare l'oggetto dell'avviso."), this);
        txtOggetto->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (m.testo.trimmed().isEmpty()) {
        Piattaforma::Avviso(QStringLiteral("Attenzione: indicare il testo dell'avviso."), this);
        txtTesto->setFocus(Qt::OtherFocusReason);
        return;
    }
    // A misspelt field would reach every member as written.
    const QStringList sconosciuti = PostaElettronica::CampiSconosciuti(m.oggetto + u'\n' + m.testo);
    if (!sconosciuti.isEmpty()) {
        Piattaforma::Avviso(
            QStringLiteral("Attenzione: %1 %2: correggere o togliere prima di salvare.\r\n\r\n"
                           "Campi disponibili: %3.")
                .arg(sconosciuti.size() == 1 ? QStringLiteral("campo sconosciuto")
                                             : QStringLiteral("campi sconosciuti"),
                     sconosciuti.join(QStringLiteral(", ")),
                     PostaElettronica::CampiAvviso().join(QStringLiteral(", "))),
            this);
        txtTesto->setFocus(Qt::OtherFocusReason);
        return;
    }
    try {
        m.Salva(Piattaforma::CartellaProgramma());
    } catch (const ErroreFile &) {
        Piattaforma::Errore(QStringLiteral("Impossibile salvare il testo dell'avviso."), this);
        return;
    }
    accept();
}

void TfrmModelloAvviso::cmdAnnullaClick()
{
    reject();
}
