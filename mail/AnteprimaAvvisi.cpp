#include "mail/AnteprimaAvvisi.h"

#include "mail/DialogoPosta.h"
#include "platform/Finestra.h"
#include "widgets/Tavolozza.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {
QString Tesserati(qsizetype n)
{
    return n == 1 ? QStringLiteral("1 tesserato") : QStringLiteral("%1 tesserati").arg(n);
}

QString NomeEIndirizzo(const QString &nome, const QString &indirizzo)
{
    return indirizzo.isEmpty() ? nome.simplified()
                               : nome.simplified() + QStringLiteral(" <") + indirizzo + u'>';
}
} // namespace

TfrmAnteprimaAvvisi::TfrmAnteprimaAvvisi(QWidget *parent) : QDialog(parent, Finestra::FlagsFissa)
{
    QVBoxLayout *v = DialogoPosta::Cornice(this, QStringLiteral("frmAnteprimaAvvisi"),
                                           QStringLiteral(" Anteprima degli avvisi"),
                                           QStringLiteral("Avvisi di rinnovo da inviare"));

    auto *g = new QGridLayout;
    g->setHorizontalSpacing(16);
    g->setVerticalSpacing(6);
    const auto etichetta = [this](QLabel *&l, const char *nome) {
        l = new QLabel(this);
        l->setObjectName(QString::fromLatin1(nome));
        l->setWordWrap(true);
    };
    etichetta(lblDestinatari, "lblDestinatari");
    etichetta(lblSaltati, "lblSaltati");
    etichetta(lblMessaggio, "lblMessaggio");
    lstDestinatari = new QListWidget(this);
    lstDestinatari->setObjectName(QStringLiteral("lstDestinatari"));
    lstSaltati = new QListWidget(this);
    lstSaltati->setObjectName(QStringLiteral("lstSaltati"));
    for (QListWidget *l : {lstDestinatari, lstSaltati}) {
        l->setMinimumWidth(360);
        l->setSelectionMode(QAbstractItemView::NoSelection);
    }
    txtMessaggio = new QPlainTextEdit(this);
    txtMessaggio->setObjectName(QStringLiteral("txtMessaggio"));
    txtMessaggio->setReadOnly(true);
    txtMessaggio->setMinimumSize(440, 380);
    txtMessaggio->setStyleSheet(QStringLiteral("QPlainTextEdit { background: %1; }")
                                    .arg(Tavolozza::Nome(Tavolozza::Ghiaccio)));
    g->addWidget(lblDestinatari, 0, 0);
    g->addWidget(lstDestinatari, 1, 0);
    g->addWidget(lblSaltati, 2, 0);
    g->addWidget(lstSaltati, 3, 0);
    g->addWidget(lblMessaggio, 0, 1);
    g->addWidget(txtMessaggio, 1, 1, 3, 1);
    g->setColumnStretch(1, 1);
    v->addLayout(g);

    auto *pulsanti = new QHBoxLayout;
    cmdInvia = new QPushButton(QStringLiteral("Invia"), this);
    cmdInvia->setObjectName(QStringLiteral("cmdInvia"));
    cmdAnnulla = new QPushButton(QStringLiteral("Annulla"), this);
    cmdAnnulla->setObjectName(QStringLiteral("cmdAnnulla"));
    DialogoPosta::Pulsanti({cmdInvia, cmdAnnulla});
    pulsanti->addStretch(1);
    pulsanti->addWidget(cmdInvia);
    pulsanti->addWidget(cmdAnnulla);
    v->addLayout(pulsanti);

    connect(cmdInvia, &QPushButton::clicked, this, &TfrmAnteprimaAvvisi::cmdInviaClick);
    connect(cmdAnnulla, &QPushButton::clicked, this, &TfrmAnteprimaAvvisi::cmdAnnullaClick);

    Finestra::Fissa(this, Finestra::Centro::Proprietario);
}

void TfrmAnteprimaAvvisi::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    if (!e->spontaneous()) {
        Finestra::Centra(this, Finestra::Centro::Proprietario);
        cmdAnnulla->setFocus(Qt::OtherFocusReason);
    }
}

void TfrmAnteprimaAvvisi::Mostra(const TSceltaAvvisi &scelta, int giorni,
                                 const PostaElettronica::TMessaggio &primo)
{
    QString destinatari = QStringLiteral("Riceveranno l'avviso: %1.")
                              .arg(Tesserati(static_cast<qsizetype>(scelta.daAvvisare.size())));
    if (scelta.recentiInclusi > 0)
        destinatari += QStringLiteral(" Tra questi, gi\u00E0 avvisati %1: %2.")
                           .arg(giorni == 1 ? QStringLiteral("nell'ultimo giorno")
                                            : QStringLiteral("negli ultimi %1 giorni").arg(giorni))
                           .arg(scelta.recentiInclusi);
    lblDestinatari->setText(destinatari);
    lstDestinatari->clear();
    for (const TAvviso &a : scelta.daAvvisare)
        lstDestinatari->addItem(NomeEIndirizzo(a.nome, a.indirizzo));
    lblSaltati->setText(QStringLiteral("Saltati: %1.")
                            .arg(Tesserati(static_cast<qsizetype>(scelta.saltati.size()))));
    lstSaltati->clear();
    for (const TSaltato &s : scelta.saltati)
        lstSaltati->addItem(NomeEIndirizzo(s.avviso.nome, s.avviso.indirizzo) +
                            QStringLiteral(": ") + TestoMotivo(s.motivo, giorni));
    lblMessaggio->setText(QStringLiteral("Il messaggio come lo ricever\u00E0 %1:")
                              .arg(primo.nomeDestinatario.simplified()));
    txtMessaggio->setPlainText(
        QStringLiteral("Da: ") + NomeEIndirizzo(primo.nomeMittente, primo.mittente) +
        QStringLiteral("\nA: ") + NomeEIndirizzo(primo.nomeDestinatario, primo.destinatario) +
        QStringLiteral("\nOggetto: ") + primo.oggetto + QStringLiteral("\n\n") + primo.corpo);
    cmdInvia->setText(scelta.daAvvisare.size() == 1
                          ? QStringLiteral("Invia 1 avviso")
                          : QStringLiteral("Invia %1 avvisi").arg(scelta.daAvvisare.size()));
}

void TfrmAnteprimaAvvisi::cmdInviaClick()
{
    accept();
}

void TfrmAnteprimaAvvisi::cmdAnnullaClick()
{
    reject();
}
