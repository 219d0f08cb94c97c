// Two desks on the same member: the record on screen is written only over the version
// this desk read; a save by another desk meanwhile is shown to the user, who chooses.
#include "registry/Anagrafica.h"

#include "archive/Testo.h"
#include "platform/Piattaforma.h"

#include <QDateTime>

using Testo::Trim32;

QStringList TfrmAnagrafica::CampiCambiati(const TScheda &a, const TScheda &b)
{
    QStringList campi;
    auto aggiungi = [&campi](const QString &etichetta) {
        if (!campi.contains(etichetta))
            campi << etichetta;
    };
    auto diversi = [&a, &b](Campo c) { return Trim32(a.Leggi(c)) != Trim32(b.Leggi(c)); };
    for (const Casella &c : Caselle()) {
        if (!diversi(c.campo))
            continue;
        QString etichetta = QString::fromUtf8(c.etichetta);
        if (etichetta.endsWith(u':'))
            etichetta.chop(1);
        aggiungi(etichetta);
    }
    if (diversi(Campo::Annullata))
        aggiungi(QStringLiteral("Tessera annullata"));
    for (Campo c :
         {Campo::File01, Campo::File02, Campo::File03, Campo::Desc01, Campo::Desc02, Campo::Desc03})
        if (diversi(c))
            aggiungi(QStringLiteral("Allegati"));
    return campi;
}

QString TfrmAnagrafica::DomandaConflitto(int posizione, const QString &da, const QDateTime &il,
                                         const QStringList &campi)
{
    const QString quando =
        QStringLiteral("alle ") + il.toLocalTime().toString(QStringLiteral("HH:mm"));
    QString testo = QStringLiteral("Attenzione: la scheda n. %1 è stata modificata dall'utente "
                                   "%2 %3, dopo che è stata aperta su questa postazione")
                        .arg(posizione)
                        .arg(da, quando);
    if (!campi.isEmpty())
        testo += QStringLiteral(" (campi cambiati: ") + campi.join(QStringLiteral(", ")) + u')';
    return testo + QStringLiteral(".\r\n\r\nSalvare comunque le modifiche di questa postazione? "
                                  "Sì: le modifiche dell'altra postazione andranno perse. No: "
                                  "non si salva.");
}

bool TfrmAnagrafica::ScriviSeInvariata(TDeposito &deposito, int p, const TScheda &s)
{
    // Each Yes writes over the version the user was shown; a desk that saves again in
    // between makes the question come back with its own changes.
    TScheda letta = m_schedaLetta;
    qint64 versione = m_versione;
    for (;;) {
        try {
            m_versione = deposito.ScriviSchedaSeInvariata(p, versione, s);
            m_schedaLetta = s;
            return true;
        } catch (const ErroreConflitto &c) {
            if (!Piattaforma::Domanda(
                    DomandaConflitto(p, c.da, c.il, CampiCambiati(letta, c.attuale)), this))
                return false;
            letta = c.attuale;
            versione = c.versione;
        }
    }
}
