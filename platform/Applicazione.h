#pragma once
// The application object: Italian locale and Qt translations, the date format,
// and the general error report for errors no handler caught.
#include <QApplication>

class TApplicazione : public QApplication {
public:
    TApplicazione(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;

    // Locale, date format and translations; also called by the tests.
    static void ImpostaLingua();
};
