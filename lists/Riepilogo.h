#pragma once
// The "Riepilogo dati" template of the printed lists: a title bar, the list's lines in
// a fixed-pitch memo that continues over as many landscape A4 pages as it needs, and a
// footer with the date of printing after the last line.
#include "report/core/Report.h"

#include <QObject>
#include <QStringList>

class QWidget;

class TRiepilogo : public QObject {
    Q_OBJECT
public:
    // Height of one printed list line, in units.
    static constexpr double AltezzaRiga = 12.822;

    explicit TRiepilogo(QObject *parent = nullptr);

    TReport &Report() { return m_report; }
    const TReport &Report() const { return m_report; }

    // Fills the title and the lines and sets the heights; nothing is printed.
    void Riempi(const QString &titolo, const QStringList &righe);
    // Fills, prepares and prints through the print dialog; the caller reports the result.
    [[nodiscard]] TEsitoStampa Stampa(const QString &titolo, const QStringList &righe,
                                      QWidget *owner = nullptr);

private:
    TReport m_report;
};
