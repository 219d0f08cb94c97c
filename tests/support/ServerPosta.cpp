#include "support/ServerPosta.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QtTest>

namespace {
bool Esegui(const QString &programma, const QStringList &argomenti, const QString &cartella)
{
    QProcess p;
    p.setWorkingDirectory(cartella);
    p.start(programma, argomenti);
    return p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}
} // namespace

bool ServerPosta::CreaCertificati(const QString &c)
{
    QFile ext(QDir(c).filePath("ext.cnf"));
    if (!ext.open(QIODevice::WriteOnly))
        return false;
    ext.write("subjectAltName=IP:127.0.0.1\n");
    ext.close();
    const QStringList ec = {"-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes"};
    return Esegui("openssl",
                  QStringList{"req", "-x509"} + ec +
                      QStringList{"-keyout", "ca.key", "-out", "ca.pem", "-days", "2", "-subj",
                                  "/CN=Quorvel prova CA"},
                  c) &&
           Esegui("openssl",
                  QStringList{"req"} + ec +
                      QStringList{"-keyout", "server.key", "-out", "server.csr", "-subj",
                                  "/CN=127.0.0.1"},
                  c) &&
           Esegui("openssl",
                  {"x509", "-req", "-in", "server.csr", "-CA", "ca.pem", "-CAkey", "ca.key",
                   "-CAcreateserial", "-out", "server.pem", "-days", "2", "-extfile", "ext.cnf"},
                  c);
}

bool ServerPosta::Avvia(const QString &cartella, const QString &altro)
{
    posta = QDir(cartella).filePath("posta");
    if (!QDir().mkpath(posta))
        return false;
    const QString script = QFINDTESTDATA("smtp_prova.py");
    if (script.isEmpty())
        return false;
    QStringList argomenti = {script, "--cartella", posta};
    const QString cert = QDir(cartella).filePath("server.pem");
    if (QFile::exists(cert))
        argomenti << "--cert" << cert << "--key" << QDir(cartella).filePath("server.key");
    if (!altro.isEmpty())
        argomenti << "--altro" << altro;
    m_processo.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_processo.start("/usr/bin/python3", argomenti);
    if (!m_processo.waitForStarted(10000))
        return false;
    QElapsedTimer t;
    t.start();
    while (!m_processo.canReadLine() && m_processo.state() == QProcess::Running &&
           t.elapsed() < 20000)
        m_processo.waitForReadyRead(1000);
    const QList<QByteArray> porte = m_processo.readLine().trimmed().split(' ');
    if (porte.size() != (altro.isEmpty() ? 4 : 5) || porte[0] != "PORTE")
        return false;
    plain = porte[1].toInt();
    starttls = porte[2].toInt();
    ssl = porte[3].toInt();
    altra = porte.value(4).toInt();
    return plain > 0;
}

void ServerPosta::Ferma()
{
    if (m_processo.state() == QProcess::NotRunning)
        return;
    m_processo.closeWriteChannel(); // the server stops when its input ends
    if (!m_processo.waitForFinished(10000)) {
        m_processo.kill();
        m_processo.waitForFinished(5000);
    }
}

void ServerPosta::Svuota() const
{
    for (const QString &n : QDir(posta).entryList(QDir::Files))
        QFile::remove(QDir(posta).filePath(n));
}

QList<QJsonObject> ServerPosta::Messaggi() const
{
    QList<QJsonObject> r;
    for (const QString &n : QDir(posta).entryList({"0*.json"}, QDir::Files, QDir::Name)) {
        QFile f(QDir(posta).filePath(n));
        if (f.open(QIODevice::ReadOnly))
            r.append(QJsonDocument::fromJson(f.readAll()).object());
    }
    return r;
}

QString ServerPosta::Autenticazioni() const
{
    QFile f(QDir(posta).filePath("autenticazioni"));
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

QString IndirizzoNonLocale()
{
    // Still this computer, so no test traffic leaves it, but not one of the names the
    // clear-text rule takes for this computer.
    return QStringLiteral("127.0.0.2");
}
