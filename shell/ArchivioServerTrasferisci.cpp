// The connection screen's move of this folder's archive to an empty server: the same work
// as "quorvel-migra importa", off the window's thread, with a progress bar and a way to stop.
#include "archive/Errori.h"
#include "platform/Piattaforma.h"
#include "shell/ArchivioServer.h"
#include "storage/Migrazione.h"
#include "widgets/Sottofondo.h"

#include <QBoxLayout>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlQuery>
#include <QTimer>

#include <atomic>

namespace {
const QString kTrasferisci = QStringLiteral("Trasferisci sul server l'archivio di questa cartella");
const QString kInterrompi = QStringLiteral("Interrompi il trasferimento");
} // namespace

struct TfrmArchivioServer::TTrasferimento {
    std::atomic<qint64> fatti{0};
    std::atomic<qint64> totale{0};
    std::atomic<bool> annulla{false};
    // Read once the work has ended.
    Migrazione::TRapporto rapporto;
    QString errore;
    bool nulComePunto = false;
    TParametriServer parametri;
};

void ArchivioServer::CreaTrasferimento(QWidget *finestra, QBoxLayout *v, QPushButton *&cmd,
                                       QProgressBar *&prg, QTimer *&avanzamento)
{
    cmd = new QPushButton(kTrasferisci, finestra);
    cmd->setObjectName(QStringLiteral("cmdTrasferisci"));
    cmd->setAutoDefault(false);
    cmd->hide();
    prg = new QProgressBar(finestra);
    prg->setObjectName(QStringLiteral("prgTrasferimento"));
    prg->setRange(0, 1000);
    prg->hide();
    v->addWidget(cmd);
    v->addWidget(prg);
    avanzamento = new QTimer(finestra);
    avanzamento->setInterval(100);
}

void TfrmArchivioServer::reject()
{
    if (m_trasferimento) {
        m_trasferimento->annulla = true;
        return;
    }
    QDialog::reject();
}

void TfrmArchivioServer::OffriTrasferimento(int schedeSulServer)
{
    // Only into an empty archive; the folder's own records are what moves.
    cmdTrasferisci->setVisible(schedeSulServer == 0 && optServer->isChecked());
}

void TfrmArchivioServer::cmdTrasferisciClick()
{
    if (m_trasferimento) {
        m_trasferimento->annulla = true;
        cmdTrasferisci->setEnabled(false);
        return;
    }
    TParametriServer p;
    if (!Leggi(p))
        return;
    if (!Piattaforma::Domanda(
            QStringLiteral("Trasferire sul server \"%1\" l'archivio di questa cartella (schede, "
                           "foto, documenti allegati, dati dell'ente, logo e registro degli "
                           "avvisi)?\n\nServe l'utente di chi amministra il server (membro di "
                           "quorvel_proprietario). La cartella resta com'era; sul server tutto "
                           "viene confrontato con la cartella prima di essere conservato.")
                .arg(p.server),
            this))
        return;
    AvviaTrasferimento(p, false);
}

void TfrmArchivioServer::AvviaTrasferimento(const TParametriServer &p, bool nulComePunto)
{
    auto t = std::make_shared<TTrasferimento>();
    t->nulComePunto = nulComePunto;
    t->parametri = p;
    m_trasferimento = t;
    for (QWidget *w : std::initializer_list<QWidget *>{
             optCartella, optServer, txtServer, txtPorta, txtDatabase, txtUtente, txtPassword,
             txtCertificato, cmdSfogliaCertificato, cmdProva, cmdSalva, cmdAnnulla})
        w->setEnabled(false);
    cmdTrasferisci->setText(kInterrompi);
    prgTrasferimento->setValue(0);
    prgTrasferimento->show();
    connect(m_avanzamento, &QTimer::timeout, this, [this, t] {
        const qint64 totale = t->totale;
        if (totale > 0)
            prgTrasferimento->setValue(static_cast<int>(t->fatti * 1000 / totale));
    });
    m_avanzamento->start();

    const QString cartella = Piattaforma::CartellaProgramma();
    const QString password = txtPassword->text();
    Sottofondo::Esegui(
        [t, cartella, password] {
            const QString nome =
                QStringLiteral("trasferimento-%1").arg(reinterpret_cast<quintptr>(t.get()), 0, 16);
            try {
                QSqlDatabase db = ConnessioneServer::Apri(t->parametri, password, nome);
                {
                    // One long transaction as the archive's owner, without the desk's limits.
                    QSqlQuery q(db);
                    if (!q.exec(QStringLiteral("SET statement_timeout = 0")) ||
                        !q.exec(QStringLiteral("SET idle_in_transaction_session_timeout = 0")) ||
                        !q.exec(QStringLiteral("SET ROLE quorvel_proprietario")))
                        throw ErroreFile(
                            QStringLiteral("Attenzione: l'utente \"%1\" non pu\u00F2 trasferire "
                                           "l'archivio sul server. Serve l'utente di chi "
                                           "amministra il server, membro del ruolo "
                                           "quorvel_proprietario.")
                                .arg(t->parametri.utente));
                }
                Migrazione::TOpzioni o;
                o.nulComePuntoInterrogativo = t->nulComePunto;
                o.cartellaGiaBloccata = true; // this program holds the folder
                t->rapporto = Migrazione::Importa(cartella, db, o, [t](qint64 f, qint64 n) {
                    t->totale = n;
                    t->fatti = f;
                    return !t->annulla;
                });
            } catch (const ErroreFile &e) {
                t->errore = e.testo();
            }
            ConnessioneServer::Chiudi(nome);
        },
        this, [this] { FineTrasferimento(); });
}

void TfrmArchivioServer::FineTrasferimento()
{
    const std::shared_ptr<TTrasferimento> t = std::move(m_trasferimento);
    m_avanzamento->stop();
    m_avanzamento->disconnect(this);
    prgTrasferimento->hide();
    cmdTrasferisci->setText(kTrasferisci);
    for (QWidget *w : std::initializer_list<QWidget *>{optCartella, optServer, cmdSalva, cmdAnnulla,
                                                       cmdTrasferisci})
        w->setEnabled(true);
    optCambia();
    const Migrazione::TRapporto &r = t->rapporto;
    const QString saltati =
        r.saltati.isEmpty()
            ? QString()
            : QStringLiteral("\n\nNon fanno parte dell'archivio e sono rimasti nella "
                             "cartella:\n") +
                  r.saltati.join(u'\n');
    if (!t->errore.isEmpty()) {
        Piattaforma::Errore(t->errore, this);
    } else if (r.riuscito) {
        cmdTrasferisci->hide();
        Piattaforma::Informazione(
            QStringLiteral("Trasferite sul server %1 schede, %2 foto e %3 documenti: il "
                           "confronto con la cartella \u00E8 riuscito. Scegliere \"Salva\" per "
                           "usare da qui l'archivio sul server.")
                    .arg(r.schede)
                    .arg(r.foto)
                    .arg(r.documenti) +
                saltati,
            this);
    } else if (!t->nulComePunto && !r.problemi.isEmpty() &&
               r.problemi.first().contains(QStringLiteral("carattere nullo"))) {
        // A NUL stops the move unless the user chooses "?" in its place.
        if (Piattaforma::Domanda(QStringLiteral("Attenzione: alcuni testi contengono un "
                                                "carattere nullo, che il server non pu\u00F2 "
                                                "conservare:\n") +
                                     r.problemi.mid(0, 20).join(u'\n') +
                                     QStringLiteral("\n\nTrasferire comunque, con \"?\" al "
                                                    "posto del carattere nullo?"),
                                 this))
            AvviaTrasferimento(t->parametri, true);
    } else {
        Piattaforma::Errore(QStringLiteral("Attenzione: il confronto fra il server e la cartella "
                                           "ha trovato differenze; sul server non \u00E8 stato "
                                           "conservato nulla.\n\n") +
                                r.problemi.mid(0, 20).join(u'\n'),
                            this);
    }
}
