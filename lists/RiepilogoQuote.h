#pragma once
// Screen "Riepilogo quote": the fee register's entries of a period, with the totals by
// method of payment and by month; printed on the "Riepilogo dati" list pages and exported
// to "Quote.xls" in the program folder like the members' export.
#include "lists/core/RiepilogoQuote.h"

#include <QDialog>

#include <memory>

class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class TModelloQuote;
class TRiepilogo;

class TfrmRiepilogoQuote : public QDialog {
    Q_OBJECT
public:
    explicit TfrmRiepilogoQuote(QWidget *parent = nullptr);

    // Whether the entries are being read.
    bool InLettura() const { return m_inLettura; }

public slots:
    void FormShow();
    void cmdMostraClick();
    void cmdStampaClick();
    void cmdExcelClick();
    void cmdChiudiClick();

protected:
    void showEvent(QShowEvent *e) override;

private:
    // The period typed, or false after saying what is wrong.
    bool Periodo(QDate &dal, QDate &al);
    void Mostra(std::shared_ptr<const TRiepilogoQuote> r, const QString &errore);

    QLineEdit *txtDal, *txtAl;
    QListView *lstQuote;
    TModelloQuote *m_righe;
    QLabel *lblTotale;
    QPushButton *cmdMostra, *cmdStampa, *cmdExcel, *cmdChiudi;
    TRiepilogo *repRiepilogo;
    std::shared_ptr<const TRiepilogoQuote> m_riepilogo;
    bool m_inLettura = false;
};
