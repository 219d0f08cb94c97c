#pragma once
// Helpers of the reminder tests that send to the test SMTP server: a member due for a
// reminder, the plain mail settings for that server, and a send through the preview.
#include <QByteArray>
#include <QString>

class Ambiente;
class TfrmSospesi;

// The sender address written in the test settings.
inline const QString Mittente = QStringLiteral("segreteria@prova.it");

// One member record with the given name, e-mail and expiry date, due in 30 days' notice.
QByteArray Membro(const QByteArray &nome, const QByteArray &email,
                  const QByteArray &scadenza = "31/12/2026");

// Plain settings for the test server, password kept in the settings file.
void Imposta(Ambiente &env, const QString &server, int porta);

// Confirms the preview and waits for the batch to end; gives the preview's send button.
QString InviaAvvisi(TfrmSospesi &w, Ambiente &env);
