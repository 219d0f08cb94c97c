#pragma once
// Screen "Statistiche dell'associazione": the headline figures, seven charts, the filters
// (a period, cancelled cards or not), and for each chart its picture saved, its numbers
// exported, the whole page printed and the members behind a bar listed.
#include "stats/core/TabelleStatistiche.h"

#include <QDialog>

#include <array>
#include <memory>

class QChart;
class QChartView;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

class TfrmStatistiche : public QDialog {
    Q_OBJECT
public:
    explicit TfrmStatistiche(QWidget *parent = nullptr);
    ~TfrmStatistiche() override;

    // Whether the figures of the last request are on screen (none being counted).
    bool Pronta() const { return m_pronta; }
    // The figures on screen.
    const Statistiche::TStatistiche &Figure() const { return *m_figure; }

signals:
    // The figures of the last request are on screen, every chart made.
    void Aggiornata();

public slots:
    void cmdAggiornaClick();
    void cmdSalvaClick();
    void cmdEsportaClick();
    void cmdStampaClick();
    void cmdChiudiClick();

protected:
    void showEvent(QShowEvent *e) override;

private:
    // The filter as the controls say; false (with a message) when a date is not valid.
    bool Filtro(TFiltroStatistiche &f);
    void Mostra(std::shared_ptr<Statistiche::TStatistiche> figure, const QString &errore);
    void Clic(Statistiche::Grafico g, int serie, int barra);
    QChart *GraficoCorrente() const;

    QCheckBox *chkPeriodo, *chkAnnullate;
    QLineEdit *txtDal, *txtAl;
    QLabel *lblAttivi, *lblAnnullate, *lblScadute, *lblInScadenza, *lblRinnovate, *lblQuote,
        *lblNonValide, *lblAttendere;
    QTabWidget *tabGrafici;
    std::array<QChartView *, Statistiche::NumeroGrafici> m_viste{};
    QPushButton *cmdAggiorna, *cmdSalva, *cmdEsporta, *cmdStampa, *cmdChiudi;

    TFiltroStatistiche m_filtro;
    std::shared_ptr<Statistiche::TStatistiche> m_figure;
    bool m_pronta = false;
    int m_richiesta = 0; // the last count asked for; an older one that ends is dropped
};
