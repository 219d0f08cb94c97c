#pragma once
// Screen "Quorvel - Stampa tessera singola": one card drawn large, filled from the
// archive by browsing or searching, with the organization's texts and logo editable
// on the card; opens the print preview and the print settings.
#include "cards/ControlliCarta.h"
#include "cards/DatiEnte.h"
#include "cards/core/ModelloTessera.h"
#include "lists/Consegna.h"
#include "registry/core/Scorrimento.h"

#include <QWidget>

class QLabel;
class QToolButton;
class TDeposito;
class TEtichetta;
class TImmagine;

class TfrmTessera : public QWidget,
                    public TApritoreRicerca,
                    public TRiceventeScheda,
                    public TRiceventeDatiEnte {
    Q_OBJECT
public:
    explicit TfrmTessera(QWidget *parent = nullptr);

    // The card as it stands, by the card fill rule: the logo and photo pictures and the
    // nine label texts, trimmed. The print and preview screens print this.
    TDatiTessera Dati() const;

    // The search delivers to this screen under the mode word "tessera".
    TRiceventeScheda *RiceventeScheda(const QString &modo) override;
    // The record's five card fields, its position and its photo (the blank portrait
    // when it has none).
    void RiceviScheda(const TScheda &scheda, int posizione) override;
    // The organization texts edited on the "Dati Ente o Associazione" screen.
    void RiceviDatiEnte(const TDatiEnte &dati) override;

    // The help topic of this screen.
    static QString TitoloGuida();
    static QString TestoGuida();

public slots:
    void FormShow();
    void cmdNuovoClick();
    void cmdTrovaClick();
    void cmdAnteprimaClick();
    void cmdStampaClick();
    void cmdPrimoClick();
    void cmdIndietroClick();
    void cmdAvantiClick();
    void cmdUltimoClick();
    void imgLogoClick();
    void titAssociazioneClick();
    void btnCancFotoClick();
    void btnCancLogoClick();
    void imgGuidaClick();
    void imgEsciClick();

protected:
    void showEvent(QShowEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    void paintEvent(QPaintEvent *e) override;

private:
    void CostruisciTessera(QWidget *carta);
    // The card's controls, for reading and filling it.
    TControlliCarta Carta() const;
    void Reimposta();
    void Scorri(Scorrimento::Freccia freccia);
    void MostraScheda(TDeposito &deposito, int posizione);
    // Writes the organization texts and the logo; false when the screen must stay open.
    bool SalvaDatiEnte();
    // Shows the card's QR code at the right end of its top band, as printed, or hides it
    // when the cards carry none.
    void MostraCodiceQR();

    TEtichetta *titAssociazione;
    TEtichetta *titSottotitolo01;
    TEtichetta *titSottotitolo02;
    TEtichetta *titAnnotazioni;
    TImmagine *imgLogo;
    // The organization texts as read and the logo as shown when the screen opened: only
    // what changed since then is written at the close.
    TDatiEnte m_datiLetti;
    QImage m_logoLetto;
    QLabel *txtTesserato;
    QLabel *txtCarica;
    QLabel *txtNumTessera;
    QLabel *txtDataRil;
    QLabel *txtDataScade;
    TImmagine *imgFoto;
    QLabel *imgCodiceQR;
    QLabel *lblPosizione;
    TImmagine *imgBianco;
    TImmagine *imgBlank;
    TImmagine *imgPuntino;
    QLabel *titDataRil;
    QLabel *titDataScade;
    QToolButton *cmdNuovo;
    QToolButton *cmdTrova;
    QToolButton *cmdAnteprima;
    QToolButton *cmdStampa;
    QToolButton *cmdPrimo;
    QToolButton *cmdIndietro;
    QToolButton *cmdAvanti;
    QToolButton *cmdUltimo;
    QToolButton *btnCancFoto;
    QToolButton *btnCancLogo;
    QToolButton *imgGuida;
    QToolButton *imgEsci;
    QLabel *panInfo;
    QLabel *lblInfo001;
    QLabel *lblInfo002;
    QLabel *lblInfo003;
};
