#pragma once
// Screen " Archivio": where this desk's archive is, the program folder (one desk) or a
// PostgreSQL server shared by several desks. Settings in "Quorvel.ini", section
// "Archivio"; the password in the desktop's secret store, never in the settings file.
// Opened from the information screen, and at start when the server cannot be reached.
#include "storage/ConnessioneServer.h"

#include <QDialog>

#include <memory>

class QBoxLayout;
class QLabel;
class QProgressBar;
class QTimer;
class QLineEdit;
class QPushButton;
class QRadioButton;

class TfrmArchivioServer : public QDialog {
    Q_OBJECT
public:
    // `avvio`: shown at start, before any other screen; Salva then closes it once the
    // archive is ready, and Annulla ends the program.
    explicit TfrmArchivioServer(QWidget *parent = nullptr, bool avvio = false);

public slots:
    void FormShow();
    void optCambia();
    void cmdSfogliaCertificatoClick();
    void cmdProvaClick();
    void cmdSalvaClick();
    void cmdAnnullaClick();
    void cmdTrasferisciClick();

protected:
    void showEvent(QShowEvent *e) override;
    // While the move runs, closing asks it to stop instead.
    void reject() override;

private:
    // The server's settings as typed, or false after showing what is wrong.
    bool Leggi(TParametriServer &p);

    bool m_avvio;
    QRadioButton *optCartella;
    QRadioButton *optServer;
    QLineEdit *txtServer;
    QLineEdit *txtPorta;
    QLineEdit *txtDatabase;
    QLineEdit *txtUtente;
    QLineEdit *txtPassword;
    QLineEdit *txtCertificato;
    QPushButton *cmdSfogliaCertificato;
    QLabel *lblEsito;
    QPushButton *cmdProva;
    QPushButton *cmdSalva;
    QPushButton *cmdAnnulla;

    // ---- Moving this folder's archive to an empty server
    struct TTrasferimento;
    // Shows the move when the trial found an empty archive on the server.
    void OffriTrasferimento(int schedeSulServer);
    void AvviaTrasferimento(const TParametriServer &p, bool nulComePunto);
    void FineTrasferimento();
    QPushButton *cmdTrasferisci;
    QProgressBar *prgTrasferimento;
    QTimer *m_avanzamento;
    std::shared_ptr<TTrasferimento> m_trasferimento; // while one runs
};

namespace ArchivioServer {
// Tries a connection off the window's thread while the window keeps drawing (user input
// held back); the connect timeout bounds the wait. Throws ConnessioneServer::ErroreServer.
ConnessioneServer::TEsitoProva Prova(const TParametriServer &p, const QString &password);
// The move's button ("cmdTrasferisci", hidden) and progress bar ("prgTrasferimento"), below
// the trial's result.
void CreaTrasferimento(QWidget *finestra, QBoxLayout *v, QPushButton *&cmd, QProgressBar *&prg,
                       QTimer *&avanzamento);
} // namespace ArchivioServer
