#pragma once
// The test SMTP server (support/smtp_prova.py on Debian's python3-aiosmtpd) for the mail
// tests: started once per test program, with its mail folder, ports, stored messages and
// the logins it received; and the certificates for its secure listeners.
#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QString>

class ServerPosta {
public:
    ServerPosta() = default;
    ~ServerPosta() { Ferma(); }
    ServerPosta(const ServerPosta &) = delete;
    ServerPosta &operator=(const ServerPosta &) = delete;

    // Makes in `cartella` a certificate authority "ca.pem" and a certificate for
    // 127.0.0.1 signed by it ("server.pem", "server.key"); false when openssl failed.
    static bool CreaCertificati(const QString &cartella);
    // Starts the server on a mail folder inside `cartella`, with the secure listeners
    // when the certificates are there, and a plain one on `altro` (an address of this
    // computer) when given. False when it did not start or gave no ports.
    bool Avvia(const QString &cartella, const QString &altro = QString());
    void Ferma();
    // Forgets the stored messages, logins and the control file.
    void Svuota() const;

    QList<QJsonObject> Messaggi() const;
    // The logins received, one line each ("PLAIN quorvel").
    QString Autenticazioni() const;

    int plain = 0, starttls = 0, ssl = 0, altra = 0;
    QString posta; // the mail folder

private:
    QProcess m_processo;
};

// A loopback address that the clear-text rule does not name as this computer.
QString IndirizzoNonLocale();
