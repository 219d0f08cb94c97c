#pragma once
// Screen "Trova tesserati in archivio": ten combined filters, the list of matching
// cards, find inside the list, printing, and delivery of a chosen card to the opener.
#include <QDialog>

#include <QList>

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
    // Several records are chosen and handed back by Scelte() instead of delivered:
    // cmdTessere (or a double click) closes the screen with the chosen lines.
    void ScegliPiu();
    // Positions of the lines chosen when the screen closed so, in list order.
    QList<int> Scelte() const { return m_scelte; }
    // Lists the records at these positions (read through the archive in one pass), as a
    // search that found them: the statistics show the members behind a chart's bar so.
    void MostraSchede(const QList<int> &posizioni);

public slots:
    void FormShow();
    void FormClose();
    void btnCercaMouseDown();
    void btnCercaClick();
    void btnTrovaClick();
    void lstRecordsDblClick();
    void btnStampaClick();
    void cmdTessereClick();
    void cmdRinnovaClick();
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
    bool m_piu = false;
    QList<int> m_scelte;
};
