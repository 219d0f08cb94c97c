#pragma once
// Screen "Trova tesserati in archivio": ten combined filters, the list of matching
// cards, find inside the list, printing, and delivery of a chosen card to the opener.
#include <QDialog>

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;
class TPannelloElenco;
class TRiepilogo;

class TfrmTrovaAnagrafica : public QDialog {
    Q_OBJECT
public:
    explicit TfrmTrovaAnagrafica(QWidget *parent = nullptr);
    ~TfrmTrovaAnagrafica() override;

    // The mode word (lblMemory) naming where a chosen record goes; the opener gives it.
    void ImpostaModo(const QString &modo);

public slots:
    void FormShow();
    void FormClose();
    void btnCercaMouseDown();
    void btnCercaClick();
    void btnTrovaClick();
    void lstRecordsDblClick();
    void btnStampaClick();
    void btnAnnullaClick();
    void btnChiudiClick();

protected:
    void showEvent(QShowEvent *e) override;
    void hideEvent(QHideEvent *e) override;

private:
    void CreaFiltri(QWidget *pannello);

    QLabel *lblMemory;
    QLabel *lblConta;
    QLabel *lblAttendere;
    QWidget *panAvvio;
    TPannelloElenco *panContainer;
    std::array<QLineEdit *, 10> m_filtri{};
    TRiepilogo *repRiepilogo;
};
