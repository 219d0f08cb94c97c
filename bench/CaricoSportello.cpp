// One desk of the load: a volunteer's mix of actions with pauses between them, each
// action through its own TDeposito as the screens open one per action.
#include "bench/Carico.h"
#include "bench/Dati.h"
#include "lists/core/Elenco.h"
#include "storage/Deposito.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>

namespace Carico {

namespace {

double Ms(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

void Riga(const QString &testo)
{
    std::printf("%s\n", testo.toUtf8().constData());
}

// The index of the card-number filter among the search screen's boxes.
size_t FiltroTessera()
{
    const auto &c = Elenchi::CampiFiltro;
    return size_t(std::find(c.begin(), c.end(), Campo::NumTessera) - c.begin());
}

} // namespace

int Sportello(TParametriServer server, const QString &utente, const QString &password, int numero,
              qint64 fine, int schede, int calde)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    server.utente = utente;
    ConnessioneServer::Imposta(server, password);
    QTemporaryDir cartella;
    ConnessioneServer::ScriviParametri(cartella.path(), server, true);
    QRandomGenerator caso(quint32(numero) * 7919U + 17U);
    int segni = 0, errori = 0;

    while (QDateTime::currentMSecsSinceEpoch() < fine) {
        // The volunteer looks at the screen between two actions.
        QThread::msleep(100 + caso.bounded(400U));
        const int scelta = int(caso.bounded(100U));
        const QString azione = scelta < 45   ? QStringLiteral("ricerca")
                               : scelta < 75 ? QStringLiteral("apertura")
                               : scelta < 92 ? QStringLiteral("modifica")
                                             : QStringLiteral("accodamento");
        QElapsedTimer t;
        double ms = 0;
        int posizione = 0;
        QString segno;
        try {
            if (azione == QLatin1String("ricerca")) {
                Elenchi::Filtri filtri;
                filtri[FiltroTessera()] =
                    QStringLiteral("t%1").arg(caso.bounded(10000U), 5, 10, QLatin1Char('0'));
                t.start();
                const Elenco trovate = Elenchi::Cerca(cartella.path(), filtri);
                ms = Ms(t);
            } else if (azione == QLatin1String("apertura")) {
                posizione = 1 + int(caso.bounded(quint32(schede)));
                t.start();
                const std::unique_ptr<TDeposito> d = ApriDeposito(cartella.path());
                d->LeggiSchedaConVersione(posizione);
                d->LeggiFoto(posizione);
                ms = Ms(t);
            } else if (azione == QLatin1String("modifica")) {
                posizione = 1 + int(caso.bounded(quint32(calde)));
                segno = QStringLiteral("s%1m%2").arg(numero).arg(++segni);
                t.start();
                const std::unique_ptr<TDeposito> d = ApriDeposito(cartella.path());
                TDeposito::TSchedaLetta letta = d->LeggiSchedaConVersione(posizione);
                ms = Ms(t);
                // The volunteer types the change: not the program's time.
                QThread::msleep(50 + caso.bounded(200U));
                t.start();
                for (int tentativo = 0;; ++tentativo) {
                    letta.scheda.Scrivi(Campo::Note, segno);
                    try {
                        const qint64 v =
                            d->ScriviSchedaSeInvariata(posizione, letta.versione, letta.scheda);
                        Riga(QStringLiteral("M %1 %2 %3").arg(posizione).arg(v).arg(segno));
                        break;
                    } catch (const ErroreConflitto &e) {
                        // The question: the desk sees the other save and saves again on it.
                        Riga(QStringLiteral("Q %1").arg(posizione));
                        if (tentativo >= 20)
                            throw;
                        letta = {e.attuale, e.versione};
                    }
                }
                ms += Ms(t);
            } else {
                t.start();
                const std::unique_ptr<TDeposito> d = ApriDeposito(cartella.path());
                posizione = d->AccodaScheda(SchedaSintetica(int(caso.bounded(100000U))));
                ms = Ms(t);
                Riga(QStringLiteral("A %1").arg(posizione));
            }
            Riga(QStringLiteral("L %1 %2 1 %3")
                     .arg(azione)
                     .arg(ms, 0, 'f', 3)
                     .arg(QDateTime::currentMSecsSinceEpoch()));
        } catch (const ErroreFile &e) {
            if (azione == QLatin1String("modifica"))
                Riga(QStringLiteral("X %1 %2").arg(posizione).arg(segno));
            Riga(QStringLiteral("L %1 %2 0 %3")
                     .arg(azione)
                     .arg(t.isValid() ? Ms(t) : 0.0, 0, 'f', 3)
                     .arg(QDateTime::currentMSecsSinceEpoch()));
            if (++errori <= 3)
                Riga(QStringLiteral("E %1 %2").arg(azione, e.testo().simplified()));
        }
    }
    ConnessioneServer::Dimentica();
    return 0;
}

} // namespace Carico
