#include "support/Avvisi.h"

#include "archive/Impostazioni.h"
#include "lists/Sospesi.h"
#include "mail/core/Smtp.h"
#include "support/Supporto.h"

#include <QPushButton>
#include <QtTest>

QByteArray Membro(const QByteArray &nome, const QByteArray &email, const QByteArray &scadenza)
{
    return Costruttore::Record({{"Tesserato", nome},
                                {"NumTessera", "1"},
                                {"DataRil", "01/01/2026"},
                                {"DataScade", scadenza},
                                {"Preavviso", "30"},
                                {"Email", email},
                                {"Annullata", "No"}});
}

void Imposta(Ambiente &env, const QString &server, int porta)
{
    TImpostazioniPosta p;
    p.server = server;
    p.porta = porta;
    p.sicurezza = Sicurezza::Nessuna;
    p.utente = QStringLiteral("quorvel");
    p.mittente = Mittente;
    p.nomeMittente = QStringLiteral("Segreteria");
    p.Salva(env.cartella());
    TImpostazioniPosta::SalvaPasswordInChiaro(env.cartella(), QStringLiteral("segreta"));
}

QString InviaAvvisi(TfrmSospesi &w, Ambiente &env)
{
    QString pulsante;
    env->modaliMostrati.clear();
    env->modale = [&pulsante](QDialog *d) {
        QPushButton *invia = Controllo<QPushButton>(d, "cmdInvia");
        pulsante = invia->text();
        invia->click();
    };
    Controllo<QPushButton>(&w, "cmdAvvisi")->click();
    if (env->modaliMostrati != QStringList{"TfrmAnteprimaAvvisi"})
        return QString();
    [&] { QTRY_VERIFY_WITH_TIMEOUT(!w.InInvio(), 60000); }();
    return pulsante;
}
