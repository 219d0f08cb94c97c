#pragma once
// Screen "Allega file": three attachment slots (file name and description) edited
// as a working copy of the archive screen's hidden labels. Chosen documents are
// stored at once beside the archive, through the storage seam.
#include "registry/RiceventeCompagni.h"

#include <QDialog>

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;
class TImmagine;

class TfrmAllegaCartella : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAllegaCartella(QWidget *parent = nullptr);

    // The mode word (lblMemory) and the three attachments, as the opener gives them.
    void Imposta(const QString &modo, const TAllegati &allegati);

    // The name a chosen file is copied under: one the record field holds exactly,
    // within the file system's limit, with the characters it cannot hold replaced.
    // Empty when nothing usable is left.
    static QString NomeAllegato(const QString &nome);
    // A plain file name: no folder, no "..", not absolute.
    static bool NomeSemplice(const QString &nome);

public slots:
    void btnSfoglia01Click() { Sfoglia(0); }
    void btnSfoglia02Click() { Sfoglia(1); }
    void btnSfoglia03Click() { Sfoglia(2); }
    void btnApri01Click() { ApriDocumento(0); }
    void btnApri02Click() { ApriDocumento(1); }
    void btnApri03Click() { ApriDocumento(2); }
    void imgCancella01Click() { Cancella(0); }
    void imgCancella02Click() { Cancella(1); }
    void imgCancella03Click() { Cancella(2); }
    void txtFile01Change() { NomeCambiato(0); }
    void txtFile02Change() { NomeCambiato(1); }
    void txtFile03Change() { NomeCambiato(2); }
    void btnApplicaClick();
    void btnAnnullaClick();

protected:
    void showEvent(QShowEvent *e) override;

private:
    struct Slot {
        QLineEdit *txtFile;
        TImmagine *imgCancella;
        QPushButton *btnSfoglia;
        QPushButton *btnApri;
        QLineEdit *txtDesc;
    };
    void Sfoglia(int i);
    void ApriDocumento(int i);
    void Cancella(int i);
    void NomeCambiato(int i);
    // Stores the chosen file as the document of that name, asking before replacing
    // another; the message saying what failed, or an empty text.
    QString CopiaNellaCartella(const QString &origine, const QString &nome);

    std::array<Slot, 3> m_slot{};
    QPushButton *btnApplica;
    QPushButton *btnAnnulla;
    QLabel *lblMemory;
};
