#pragma once
// Screen "Riepilogo tessere in attesa di rinnovo": the cards that have expired or entered
// their notice period, find inside the list, printing, delivery to the archive screen.
// Reminders by e-mail to every member listed go from here (SospesiAvvisi.cpp).
#include "lists/core/Elenco.h"
#include "widgets/Sottofondo.h"

#include <QDialog>
#include <QStringList>

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QThread;
class QTimer;
class TInvioAvvisi;
class TPannelloElenco;
class TRiepilogo;

class TfrmSospesi : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSospesi(QWidget *parent = nullptr);
    ~TfrmSospesi() override;

public slots:
    void FormShow();
    void FormClose();
    void btnTrovaClick();
    void lstRecordsDblClick();
    void btnStampaClick();
    void cmdTessereClick();
    void cmdRinnovaClick();
    void btnChiudiClick();
    void cmdAvvisiClick();
    void cmdPostaClick();
    void cmdAnnullaClick();
    // ---- Fee register: the list of the payments of a period
    void cmdRiepilogoQuoteClick();

public:
    // True while reminders are being sent.
    bool InInvio() const { return m_filo != nullptr; }
    void done(int r) override;

protected:
    void showEvent(QShowEvent *e) override;
    void hideEvent(QHideEvent *e) override;

private:
    QWidget *BarraAvvisi();
    // Adds the date of the last reminder sent to each member's line; throws ErroreFile.
    void SegnaUltimiAvvisi(Elenco &elenco) const;
    void FineInvio();

    TPannelloElenco *m_pannello;
    TRiepilogo *repRiepilogo;
    QCheckBox *chkRipeti = nullptr;
    QProgressBar *prgAvvisi = nullptr;
    QPushButton *cmdAvvisi = nullptr, *cmdPosta = nullptr, *cmdAnnulla = nullptr;
    QThread *m_filo = nullptr;
    TInvioAvvisi *m_invio = nullptr;
    // Shared with the batch: the messages done and the request to stop; m_tic shows them.
    std::shared_ptr<Sottofondo::TCondiviso> m_condiviso;
    QTimer *m_tic = nullptr;
    QStringList m_saltati; // "name: reason" of each member left out of the batch
};
