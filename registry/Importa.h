#pragma once
// Screen "Importa tesserati": choose a CSV, XLSX or ODS file and a sheet, see its first
// rows, match each column to a field of the record, check, then import.
#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTableWidget;

class TfrmImporta : public QDialog {
    Q_OBJECT
public:
    explicit TfrmImporta(QWidget *parent = nullptr);

    // Rows shown in the preview.
    static constexpr int RigheAnteprima = 50;

public slots:
    void cmdScegliClick();
    void cboFoglioChange();
    void cmdProvaClick();
    void cmdAvviaClick();
    void cmdAnnullaClick();
    void cmdSalvaEsitoClick();
    void cmdEsciClick();

protected:
    // Esc while rows are read cancels the run instead of closing the screen.
    void reject() override;
    void showEvent(QShowEvent *e) override; // centred on the screen

private:
    void Esegui(bool scrivi);
    void Occupato(bool occupato);

    QLabel *lblFile;
    QComboBox *cboFoglio;
    QTableWidget *grdAnteprima;
    QTableWidget *grdColonne;
    QCheckBox *chkDoppi;
    QPushButton *cmdScegli, *cmdProva, *cmdAvvia, *cmdAnnulla, *cmdSalvaEsito, *cmdEsci;
    QProgressBar *prgAvanzamento;
    QListWidget *lstEsito;
    bool m_annulla = false;
};
