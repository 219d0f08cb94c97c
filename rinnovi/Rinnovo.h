#pragma once
// Screen "Rinnovo": renews one member (the archive screen's record) or many (the lines of
// the renewal list or of the search), records each payment in the fee register, then hands
// the receipts and the cards on. The renewals run off the window's thread, with a progress
// bar and a stop; what is renewed is renewed whole, record and payment.
#include "rinnovi/core/RegoleRinnovo.h"
#include "widgets/Sottofondo.h"

#include <QDialog>
#include <QList>

#include <memory>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTimer;
class QTreeWidget;
class TPannelloElenco;

class TfrmRinnovo : public QDialog {
    Q_OBJECT
public:
    explicit TfrmRinnovo(QWidget *parent = nullptr);
    ~TfrmRinnovo() override;

    // The members to renew, by position; reads their names and expiries. False (after
    // saying why) when none can be read.
    bool Prepara(const QList<int> &posizioni);
    // Whether a renewal was written (the opener shows its records anew).
    bool Rinnovati() const { return m_rinnovati > 0; }
    // True while the renewals run.
    bool InCorso() const { return m_condiviso != nullptr; }
    void done(int r) override;

public slots:
    void cmdConfermaClick();
    void cmdAnnullaClick();
    void txtNuovaScadenzaChange();

private:
    struct TRiga {
        int posizione = 0;
        QString nome, tessera;
        QDate scadenza;
        bool annullata = false;
    };
    // The new expiry of a line: the one typed, or computed by the rules.
    QDate Nuova(const TRiga &r) const;
    void MostraRighe();
    void Fine(const std::shared_ptr<struct TLavoroRinnovo> &lavoro);

    QLineEdit *txtNuovaScadenza, *txtQuota, *txtDataPagamento, *txtCausale;
    QComboBox *cboPagamento;
    QCheckBox *chkRicevuta, *chkTessere;
    QPushButton *cmdConferma, *cmdAnnulla;
    QLabel *lblTitolo, *lblTotale;
    QTreeWidget *lstRinnovi;
    QProgressBar *prgRinnovo;
    QTimer *m_tic;

    std::vector<TRiga> m_righe;
    TRegoleRinnovo m_regole;
    QDate m_oggi;
    std::shared_ptr<Sottofondo::TCondiviso> m_condiviso;
    int m_rinnovati = 0;
};

namespace Rinnovo {
// Opens the renewal of the members at `posizioni`; true when some were renewed.
bool Apri(QWidget *owner, const QList<int> &posizioni);
// What the list screens ask before renewing every line when none is selected.
QString DomandaTutti(int righe);
// At start, after the login: finishes the renewals a kill left half done and says whose.
void CompletaAllAvvio(QWidget *owner);
// The renewal from a list: the selected lines, or every line after a Yes to DomandaTutti.
bool ApriDaElenco(QWidget *owner, TPannelloElenco &pannello);
} // namespace Rinnovo
