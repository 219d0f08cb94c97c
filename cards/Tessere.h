#pragma once
// Screen "Quorvel - Stampa più tessere": nine small cards A to I in a three-by-three
// grid, each filled from the archive through the search screen and cleared one at a
// time or all together; opens the sheet preview and the sheet print.
#include "cards/ControlliCarta.h"
#include "cards/core/ModelloTessera.h"
#include "lists/Consegna.h"

#include <QWidget>

#include <array>

class QLabel;
class QPushButton;
class QToolButton;
class TImmagine;

class TfrmTessere : public QWidget, public TApritoreRicerca {
    Q_OBJECT
public:
    explicit TfrmTessere(QWidget *parent = nullptr);

    // The nine cards as they stand, slot 1 (A) to slot 9 (I), by the card fill rule.
    // The sheet preview and print screens print these.
    std::array<TDatiTessera, 9> Dati() const;

    // The search delivers to slot N under the mode word "tessere_0N".
    TRiceventeScheda *RiceventeScheda(const QString &modo) override;

    // The help topic of this screen.
    static QString TitoloGuida();
    static QString TestoGuida();

public slots:
    void FormShow();
    void btnImporta01Click();
    void btnImporta02Click();
    void btnImporta03Click();
    void btnImporta04Click();
    void btnImporta05Click();
    void btnImporta06Click();
    void btnImporta07Click();
    void btnImporta08Click();
    void btnImporta09Click();
    void cmdCancella01Click();
    void cmdCancella02Click();
    void cmdCancella03Click();
    void cmdCancella04Click();
    void cmdCancella05Click();
    void cmdCancella06Click();
    void cmdCancella07Click();
    void cmdCancella08Click();
    void cmdCancella09Click();
    void cmdNuovoClick();
    void icoGommaClick();
    void cmdAnteprimaClick();
    void cmdStampaClick();
    void cmdRiempiClick();
    void imgGuidaClick();
    void imgEsciClick();

protected:
    void showEvent(QShowEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;

private:
    // The controls of one small card; the names end in the slot's letter. A slot
    // receives the record chosen in the search it opened.
    struct Slot : TControlliCarta, TRiceventeScheda {
        void RiceviScheda(const TScheda &scheda, int posizione) override;

        TfrmTessere *schermata = nullptr;
        QPushButton *btnImporta;
        QToolButton *cmdCancella;
    };
    void CostruisciSlot(int indice, QWidget *area);
    void CostruisciPannello(QWidget *area);
    void Reimposta();
    void Importa(int indice);
    void Cancella(int indice);
    void CancellaTutte();
    // Writes the records at the positions into the empty slots in order; returns how
    // many found no empty slot.
    int RiempiVuote(const QList<int> &posizioni);

    QWidget *m_area;
    std::array<Slot, 9> m_slot;
    QLabel *lblInfo001;
    QLabel *lblInfo003;
    QLabel *lblPosizione;
    TImmagine *imgBianco;
    TImmagine *imgBlank;
    TImmagine *icoGomma;
    QToolButton *cmdNuovo;
    QToolButton *cmdAnteprima;
    QToolButton *cmdStampa;
    QPushButton *cmdRiempi;
    QToolButton *imgGuida;
    QToolButton *imgEsci;
};
