#include "registry/Calendario.h"

#include "platform/Finestra.h"
#include "platform/Piattaforma.h"
#include "registry/RiceventeCompagni.h"
#include "widgets/Tavolozza.h"

#include <QCalendarWidget>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

TfrmCalendario::TfrmCalendario(QWidget *parent) : QDialog(parent, Finestra::FlagsFissa)
{
    setObjectName(QStringLiteral("frmCalendario"));
    setWindowTitle(QStringLiteral(" Importazione data"));

    auto *colonna = new QVBoxLayout(this);
    colonna->setContentsMargins(14, 12, 14, 12);
    colonna->setSpacing(10);

    lblCampo001 = new QLabel(QStringLiteral("Importare una data:"), this);
    lblCampo001->setObjectName(QStringLiteral("lblCampo001"));
    QFont grassetto = lblCampo001->font();
    grassetto.setBold(true);
    lblCampo001->setFont(grassetto);
    lblCampo001->setStyleSheet(Tavolozza::Colora(QStringLiteral("color: @Blu;")));
    colonna->addWidget(lblCampo001);

    calAppuntamenti = new QCalendarWidget(this);
    calAppuntamenti->setObjectName(QStringLiteral("calAppuntamenti"));
    calAppuntamenti->setLocale(QLocale(QLocale::Italian, QLocale::Italy));
    calAppuntamenti->setFirstDayOfWeek(Qt::Monday);
    calAppuntamenti->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    calAppuntamenti->setGridVisible(true);
    calAppuntamenti->setMinimumSize(320, 220);
    colonna->addWidget(calAppuntamenti);

    auto *pulsanti = new QHBoxLayout;
    pulsanti->addStretch();
    btnImportaData = new QPushButton(QStringLiteral("Importa"), this);
    btnImportaData->setObjectName(QStringLiteral("btnImportaData"));
    btnImportaData->setDefault(true);
    btnImportaData->setMinimumWidth(100);
    btnAnnulla = new QPushButton(QStringLiteral("Annulla"), this);
    btnAnnulla->setObjectName(QStringLiteral("btnAnnulla"));
    btnAnnulla->setMinimumWidth(100);
    pulsanti->addWidget(btnImportaData);
    pulsanti->addWidget(btnAnnulla);
    colonna->addLayout(pulsanti);

    lblMemory = new QLabel(this);
    lblMemory->setObjectName(QStringLiteral("lblMemory"));
    lblMemory->hide();

    connect(btnImportaData, &QPushButton::clicked, this, &TfrmCalendario::btnImportaDataClick);
    connect(btnAnnulla, &QPushButton::clicked, this, &TfrmCalendario::btnAnnullaClick);
    // A double click on a day imports it, as users expect of a date picker.
    connect(calAppuntamenti, &QCalendarWidget::activated, this,
            &TfrmCalendario::btnImportaDataClick);

    Finestra::Fissa(this, Finestra::Centro::Proprietario);
    FormCreate();
}

void TfrmCalendario::FormCreate()
{
    // The calendar always starts at today, whatever the box holds.
    const QDate oggi = Piattaforma::Oggi();
    calAppuntamenti->setSelectedDate(oggi);
    calAppuntamenti->setCurrentPage(oggi.year(), oggi.month());
}

void TfrmCalendario::ImpostaModo(const QString &parola)
{
    lblMemory->setText(parola);
}

void TfrmCalendario::btnImportaDataClick()
{
    const QString parola = lblMemory->text();
    if (parola != QLatin1String("dataril") && parola != QLatin1String("datascade"))
        return;
    if (auto *ricevente = dynamic_cast<TRiceventeCompagni *>(parentWidget()))
        ricevente->RiceviData(
            parola == QLatin1String("dataril"),
            calAppuntamenti->selectedDate().toString(QStringLiteral("dd/MM/yyyy")));
    accept();
}

void TfrmCalendario::btnAnnullaClick()
{
    reject();
}

void TfrmCalendario::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    Finestra::Centra(this, Finestra::Centro::Proprietario);
}
