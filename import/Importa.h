#pragma once
// Screen "Importa tesserati": choose a CSV, XLSX or ODS file and a sheet, see its first
// rows, match each column to a field of the record (remembered for the same headers),
// check, then import; and undo the last import.
#include "import/core/Importazione.h"
#include "widgets/Sottofondo.h"

#include <QDialog>

#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
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
    void txtRigaIntestazioneChange();
    void cmdAnnullaImportazioneClick();
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
    // Reads the first rows; the header is the given row number, or found when 0.
    void Anteprima(int intestazione);
    void Esegui(bool scrivi);
    // The header's cells, the key the mapping is remembered under.
    QStringList m_intestazioni;
    int m_rigaIntestazione = 0; // its number in the file
    void Occupato(bool occupato);
    // Runs lavoro on a worker thread while the window stays responsive, the progress bar
    // shows testo and Annulla stops it; the controls come back on every path. Returns
    // the error's text, empty when lavoro ended normally.
    QString InSottofondo(const QString &testo, const std::function<void()> &lavoro);
    void MostraEsito(const Importazione::Esito &e);

    QLabel *lblFile, *lblTralasciate;
    QComboBox *cboFoglio;
    QTableWidget *grdAnteprima;
    QTableWidget *grdColonne;
    QCheckBox *chkDoppi;
    QLineEdit *txtRigaIntestazione, *txtRilascioPredefinito, *txtScadenzaPredefinita;
    QPushButton *cmdScegli, *cmdProva, *cmdAvvia, *cmdAnnulla, *cmdSalvaEsito, *cmdEsci;
    QPushButton *cmdAnnullaImportazione;
    QProgressBar *prgAvanzamento;
    QListWidget *lstEsito;
    // Shared with the reading on its thread: the rows read and the request to stop.
    Sottofondo::TCondiviso m_condiviso;
    std::optional<Importazione::Esito> m_esito; // the whole outcome, for "Salva l'esito..."
};
