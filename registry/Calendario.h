#pragma once
// Screen "Importazione data": picks a day on a month calendar and writes it as
// "dd/mm/yyyy" into the opener's date named by the target word in lblMemory.
#include <QDialog>

class QCalendarWidget;
class QLabel;
class QPushButton;

class TfrmCalendario : public QDialog {
    Q_OBJECT
public:
    explicit TfrmCalendario(QWidget *parent = nullptr);

    // The target word (lblMemory): "dataril" or "datascade", as the opener gives it.
    void ImpostaModo(const QString &parola);

public slots:
    void FormCreate();
    void btnImportaDataClick();
    void btnAnnullaClick();

protected:
    void showEvent(QShowEvent *e) override;

private:
    QLabel *lblCampo001;
    QCalendarWidget *calAppuntamenti;
    QPushButton *btnImportaData;
    QPushButton *btnAnnulla;
    QLabel *lblMemory;
};
