#pragma once
// Start on a server: before the first screen, a desk whose "Quorvel.ini" says
// [Archivio] Tipo=postgresql gets its password (the desktop's secret store, else libpq's
// own password file, else asked), checks the connection and sets the server for the run.
// When it cannot, it says why and shows the connection screen.
#include "storage/ConnessioneServer.h"

#include <QDialog>

class QLineEdit;

namespace AvvioServer {
// True when the archive is ready (the folder, or the server connected); false when the
// user gave up and the program ends.
bool Prepara();
} // namespace AvvioServer

// Screen " Archivio sul server - Password": asks the password at start when neither the
// secret store nor libpq's password file gives it.
class TfrmPasswordServer : public QDialog {
    Q_OBJECT
public:
    explicit TfrmPasswordServer(const TParametriServer &p, QWidget *parent = nullptr);
    QString Password() const;

public slots:
    void cmdOKClick();
    void cmdAnnullaClick();

private:
    QLineEdit *txtPassword;
};
