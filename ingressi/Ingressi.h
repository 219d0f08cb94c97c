#pragma once
// Screen "Controllo ingressi": the camera's picture read continuously for QR codes on a
// thread of its own, a box for a barcode scanner's line or a typed card number, and for
// each card the member's photo, name, card number and expiry under a verdict band that
// fills the screen's width, with a short sound of its own. Every check goes to the
// entrance log; the day's valid entries are counted on screen and can be printed.
#include "ingressi/core/Verifica.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QImage>

#include <atomic>
#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;
class SorgenteFotogrammi;
class TImmagine;
class TRiepilogo;

// The worker that reads the codes of a frame on its own thread (started by Sottofondo):
// the screen hands it a frame only when it is free, so frames never queue up and the
// window stays responsive whatever the decoding costs.
class TLettoreIngressi : public QObject {
    Q_OBJECT
public:
    explicit TLettoreIngressi(std::shared_ptr<std::atomic<bool>> occupato)
        : m_occupato(std::move(occupato))
    {
    }
    // On the worker's thread.
    void Leggi(const QImage &fotogramma);

signals:
    void Letti(const QStringList &testi);

private:
    std::shared_ptr<std::atomic<bool>> m_occupato;
};

class TfrmIngressi : public QDialog {
    Q_OBJECT
public:
    explicit TfrmIngressi(QWidget *parent = nullptr);
    ~TfrmIngressi() override;

    // Seconds in which the same code read again is neither shown again nor logged.
    static constexpr int PausaMs = 4000;

public slots:
    void camCameraSampleBufferReady(const QImage &fotogramma);
    void txtCodiceReturnPressed();
    void cmdStampaClick();
    void cmdEsciClick();

protected:
    void showEvent(QShowEvent *e) override;
    void done(int r) override;

private:
    void Prepara();
    void Fermati();
    void CodiciLetti(const QStringList &testi);
    void Controlla(const QString &testo, Verifica::Origine origine);
    void Mostra(const Verifica::TVerdetto &v);
    void Suona(Verifica::Esito esito);
    void AggiornaConteggio();

    std::unique_ptr<SorgenteFotogrammi> camCamera;
    TImmagine *imgCamera;
    TImmagine *imgFoto;
    QLabel *lblEsito;
    QLabel *lblTesserato;
    QLabel *lblTessera;
    QLabel *lblScadenza;
    QLabel *lblStato;
    QLabel *lblValidi;
    QLineEdit *txtCodice;
    QPushButton *cmdStampa;
    QPushButton *cmdEsci;
    TRiepilogo *repIngressi;

    Verifica::TElenco m_elenco;
    QByteArray m_chiave;
    bool m_soloFirmati = false;
    int m_validi = 0;
    QString m_ultimo;
    QElapsedTimer m_daUltimo;
    TLettoreIngressi *m_lettore = nullptr;
    std::shared_ptr<std::atomic<bool>> m_occupato = std::make_shared<std::atomic<bool>>(false);
};
