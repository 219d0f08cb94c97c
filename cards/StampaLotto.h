#pragma once
// Screen "Stampa tessere": the cards of many members, chosen on a list screen, printed
// nine to a sheet from a chosen free slot or one to a page for card printers, composed
// and sent one page at a time.
#include "cards/FinestraStampa.h"
#include "cards/LottoTessere.h"
#include "widgets/Sottofondo.h"

#include <memory>

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSpinBox;
class TImmagine;

namespace StampaLotto {

// The print dialog, then the chosen pages, each composed, drawn and dropped in turn on a
// thread of their own (Sottofondo), the window answering until they are out.
// `corrente` (0-based) is what "current page" means; `avanzamento`, called on that thread,
// hears each page done and returns false to stop the run there (the job is aborted:
// cancelled, with a text that says where). A failure's text names the page it reached.
[[nodiscard]] TEsitoStampa Stampa(const TLottoTessere &lotto, QWidget *owner, int corrente = 0,
                                  const Avanzamento &avanzamento = {});

// Shows a failed or stopped run's text; true when every page was printed.
bool Riferisci(const TEsitoStampa &esito, QWidget *owner);

// What the list screens call: the cards of the records at these positions, in this
// order. Opens the screen, or says that there is nothing to print.
void Apri(QWidget *owner, const QList<int> &posizioni);

} // namespace StampaLotto

// A print screen of the cards with a layout of its own and no card template.
class TfrmStampaLotto : public TFinestraStampa {
    Q_OBJECT
public:
    TfrmStampaLotto(TLottoTessere lotto, QWidget *parent = nullptr);
    ~TfrmStampaLotto() override;

    const TLottoTessere &Lotto() const { return m_lotto; }

public slots:
    void optFoglioClick();
    void optSingolaClick();
    void txtInizioChange();
    void chkAdattaClick();
    void btnAnteprimaClick();
    void btnStampaClick() override;

protected:
    // While printing, Annulla stops the run and the screen stays; closing the screen
    // stops it and closes once it has stopped.
    void reject() override;
    void closeEvent(QCloseEvent *e) override;

private:
    // Takes the layout from the controls and says how many cards on how many pages.
    void Aggiorna();

    TImmagine *imgStampante;
    QLabel *lblTessere;
    QRadioButton *optFoglio;
    QRadioButton *optSingola;
    QLabel *lblInizio;
    QSpinBox *txtInizio;
    QCheckBox *chkAdatta;
    QProgressBar *prgPagine;
    QPushButton *btnAnteprima;
    TLottoTessere m_lotto;
    bool m_inStampa = false;
    bool m_chiudi = false;
    // Shared with the run in progress: its pages done and the request to stop.
    std::shared_ptr<Sottofondo::TCondiviso> m_condiviso;
};
