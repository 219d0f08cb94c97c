#pragma once
// The start screen: three tiles to the main screens, help, information, credits and exit.
#include "shell/Guscio.h"

#include <QWidget>

class TfrmAvvio : public QWidget {
    Q_OBJECT
public:
    explicit TfrmAvvio(QWidget *parent = nullptr);

    // The three main screens its tiles lead to.
    enum class Principale { Archivio, Tessera, Tessere };

signals:
    // A tile was clicked: the shell shows that main screen and hides this one.
    void Scelta(TfrmAvvio::Principale principale);

public slots:
    void imgArchivioClick();
    void imgTesseraClick();
    void imgTessereClick();
    void imgGuidaClick();
    void imgInfoClick();
    void imgCreditiClick();
    void imgSitoClick();
    void imgEsciClick();
    // ---- Door check
    void cmdIngressiClick();
    void cmdStatisticheClick();

protected:
    void closeEvent(QCloseEvent *e) override;
};
