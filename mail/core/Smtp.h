#pragma once
// The association's mail server: its settings in "Quorvel.ini" and a client that sends
// messages over one libcurl connection, kept open for a whole batch. No widgets.
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <memory>

enum class Sicurezza { SslTls, StartTls, Nessuna };

struct TImpostazioniPosta {
    QString server;
    int porta = 465;
    Sicurezza sicurezza = Sicurezza::SslTls;
    QString utente;
    QString password;
    QString mittente;
    QString nomeMittente;
    int giorni = 7; // do not remind the same member again within these days
    QString fileCA; // extra certificate authorities to trust (PEM file), optional
    // The user allowed the user name and password over an unencrypted connection.
    bool autenticazioneInChiaro = false;

    // Server and sender given: the settings can be used.
    bool Complete() const;

    // Section "Posta Elettronica" of "Quorvel.ini" in the folder; the password only as
    // the scrambled fallback copy (the secret store is the screen's business).
    static TImpostazioniPosta Carica(const QString &cartella);
    // Writes every key but the password; throws ErroreFile when the file cannot be written.
    void Salva(const QString &cartella) const;
    // The scrambled fallback copy of the password: written, or removed when empty.
    static void SalvaPasswordInChiaro(const QString &cartella, const QString &password);
    static QString PasswordSalvata(const QString &cartella);

    // The keys every desk of a server archive shares, in the order Salva writes them: all
    // but the password (each desk's secret store) and the CA file (a file of this computer).
    QList<std::pair<QString, QString>> ValoriCondivisi() const;
    // These settings with the shared keys read from a server in place of their own.
    void ApplicaCondivisi(const QHash<QString, QString> &valori);
};

QString TestoSicurezza(Sicurezza s);
// The server is this computer: "localhost", "127.0.0.1" or "::1".
bool ServerLocale(const QString &server);
// The user name and password may be sent: the connection is encrypted, the server is
// this computer, or the user allowed clear text (a trusted network).
bool AccessoConsentito(const TImpostazioniPosta &p);
// What the user is told when AccessoConsentito refuses.
QString MessaggioAccessoInChiaro(const QString &server);
Sicurezza SicurezzaDaTesto(const QString &testo);
// The usual port of each kind of security: 465 for SSL/TLS, 587 for STARTTLS, 25 for a
// connection that is not encrypted. The screen proposes it, and a missing port is read as it.
int PortaPredefinita(Sicurezza s);

class TClienteSmtp {
public:
    struct Esito {
        enum Tipo {
            Inviato,   // the server accepted the message
            Rifiutato, // the server refused this message; others may go on
            Interrotto // the connection or the login failed: nothing more can go
        } tipo = Inviato;
        QString risposta;  // the server's last answer, or what went wrong
        QString messaggio; // for Interrotto: one Italian sentence for the user
        // For Interrotto: the failure came before this message began (connecting, the
        // secure channel, the login), so it is the server's, not the recipient's; `motivo`
        // then says it in one Italian line for the log.
        bool delServer = false;
        QString motivo;
    };

    explicit TClienteSmtp(const TImpostazioniPosta &impostazioni);
    ~TClienteSmtp();
    TClienteSmtp(const TClienteSmtp &) = delete;
    TClienteSmtp &operator=(const TClienteSmtp &) = delete;

    // Sends one message (already composed) to one address; the connection stays open
    // for the next one.
    Esito Invia(const QString &destinatario, const QByteArray &messaggio);
    // Connections opened so far.
    int Connessioni() const { return m_connessioni; }

    static constexpr int SecondiPerPasso = 20;

private:
    struct Stato;
    std::unique_ptr<Stato> m_stato;
    TImpostazioniPosta m_impostazioni;
    int m_connessioni = 0;
};
