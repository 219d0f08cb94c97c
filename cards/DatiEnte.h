#pragma once
// Screen "Dati Ente o Associazione": edits the four organization texts of the card
// and hands them back to the single-card screen; edits the QR code and the back of the
// cards and keeps them in "Quorvel.ini".
#include "storage/DatiEnteFile.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QLineEdit;
class QPushButton;
class TImmagine;

// Takes the organization texts applied on the screen (the single-card screen).
class TRiceventeDatiEnte {
public:
    virtual ~TRiceventeDatiEnte() = default;
    virtual void RiceviDatiEnte(const TDatiEnte &dati) = 0;
};

class TfrmDatiEnte : public QDialog {
    Q_OBJECT
public:
    explicit TfrmDatiEnte(QWidget *parent = nullptr);

    // The mode word (lblMemory) and the texts to edit, as the opener gives them.
    void Imposta(const QString &modo, const TDatiEnte &dati);
    // The four texts as the boxes hold them, trimmed.
    TDatiEnte Dati() const;

public slots:
    void btnApplicaClick();
    void btnAnnullaClick();

protected:
    void showEvent(QShowEvent *e) override;
    void paintEvent(QPaintEvent *e) override;

private:
    void CostruisciOpzioni(int x, int w);
    // The card options as the controls hold them.
    TOpzioniTessera OpzioniMostrate() const;

    QLabel *lblIstruzioni;
    QLineEdit *txtAssociazione;
    QLineEdit *txtSottotitolo01;
    QLineEdit *txtSottotitolo02;
    QLineEdit *txtAnnotazioni;
    QPushButton *btnAnnulla;
    QPushButton *btnApplica;
    QCheckBox *chkQR;
    QCheckBox *chkVerificaQR;
    QLineEdit *txtQR;
    QLabel *lblSegnapostoQR;
    QCheckBox *chkRetro;
    QPlainTextEdit *txtRetro;
    QLabel *lblMemory;
    TImmagine *imgFoto;
    // The card options as read, and as the controls showed them then: only what the user
    // changed is written, over what another desk may have changed meanwhile.
    TOpzioniTessera m_opzioniLette;
    TOpzioniTessera m_opzioniMostrate;
};
