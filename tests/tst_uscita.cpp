// Leaving the archive screen with unsaved changes: the screen asks whether to save them
// (Sì, No, Annulla), through Esci and through the window's close box alike.
#include "support/Supporto.h"

#include "registry/Anagrafica.h"
#include "widgets/Controlli.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QWindow>

using Piattaforma::Forma;
using Piattaforma::Risposta;

namespace {
const QString Domanda =
    QStringLiteral("Salvare le modifiche apportate alla scheda corrente prima di uscire?");
} // namespace

class TstUscita : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Ambiente> env;
    std::unique_ptr<TfrmAnagrafica> w;

    QString Archivio() { return env->Percorso(QStringLiteral("Tesserati.pro")); }
    QByteArray NomeInArchivio()
    {
        return Costruttore::Campo(Costruttore::LeggiFile(Archivio()).left(2764), "Tesserato");
    }
    void Premi(const char *nome) { Controllo<QAbstractButton>(w.get(), nome)->click(); }
    // Closes the screen by its Esci button, or as the window manager's close box does.
    void Chiudi(bool casellaChiusura)
    {
        if (!casellaChiusura)
            return Premi("cmdEsci");
        QCloseEvent e;
        QApplication::sendEvent(w->windowHandle(), &e);
    }

private slots:
    void init()
    {
        env = std::make_unique<Ambiente>();
        Costruttore::ScriviArchivio(Archivio(), {Costruttore::Record({{"Tesserato", "ROSSI MARIA"},
                                                                      {"DataRil", "01/01/2025"},
                                                                      {"DataScade", "31/12/2025"},
                                                                      {"ProvRes", "BO"},
                                                                      {"Preavviso", "0"},
                                                                      {"Annullata", "No"}})});
        w = std::make_unique<TfrmAnagrafica>();
        w->resize(1366, 768);
        w->show();
        QApplication::setActiveWindow(w.get());
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        Premi("cmdPrimo");
        QCOMPARE(Controllo<QLineEdit>(w.get(), "txtTesserato")->text(),
                 QStringLiteral("ROSSI MARIA"));
    }
    void cleanup()
    {
        w.reset();
        env.reset();
    }

    void esciConModifiche_data();
    void esciConModifiche();
    void esciSenzaModifiche();
    void modificheCheContano_data();
    void modificheCheContano();
    void siConSchedaIncompleta();
    void domandaVera_data();
    void domandaVera();
};

void TstUscita::esciConModifiche_data()
{
    QTest::addColumn<bool>("casellaChiusura");
    QTest::addColumn<int>("risposta");
    QTest::addColumn<bool>("restaAperta");
    QTest::addColumn<QByteArray>("inArchivio");
    const int si = int(Risposta::Si), no = int(Risposta::No), annulla = int(Risposta::Annulla);
    for (bool casella : {false, true}) {
        const char *come = casella ? "casella di chiusura" : "Esci";
        QTest::addRow("%s, Sì salva", come)
            << casella << si << false << QByteArray("ROSSI MARIA MODIFICATA");
        QTest::addRow("%s, No scarta", come) << casella << no << false << QByteArray("ROSSI MARIA");
        QTest::addRow("%s, Annulla resta", come)
            << casella << annulla << true << QByteArray("ROSSI MARIA");
    }
}

void TstUscita::esciConModifiche()
{
    QFETCH(bool, casellaChiusura);
    QFETCH(int, risposta);
    QFETCH(bool, restaAperta);
    QFETCH(QByteArray, inArchivio);
    auto *nome = Controllo<QLineEdit>(w.get(), "txtTesserato");
    nome->setFocus();
    nome->end(false);
    QTest::keyClicks(nome, " MODIFICATA");
    env->sim().risposteAnnulla.enqueue(Risposta(risposta));
    Chiudi(casellaChiusura);

    QVERIFY(!env->sim().messaggi.isEmpty());
    QCOMPARE(env->sim().messaggi[0].forma, Forma::DomandaAnnulla);
    QCOMPARE(env->sim().messaggi[0].testo, Domanda);
    QCOMPARE(w->isVisible(), restaAperta);
    QCOMPARE(NomeInArchivio(), inArchivio);
    if (restaAperta) // the edit is still on screen, and asked about again
        QCOMPARE(nome->text(), QStringLiteral("ROSSI MARIA MODIFICATA"));
    else
        QCOMPARE(env->sim().messaggi.size(), risposta == int(Risposta::Si) ? 2 : 1);
}

void TstUscita::esciSenzaModifiche()
{
    // A record shown and not touched, then one whose cancelled mark is ticked and saved.
    Premi("cmdEsci");
    QVERIFY(!w->isVisible());
    QVERIFY(env->sim().messaggi.isEmpty());

    // Passing through a drop-down sets its text again, the same: no change.
    w->show();
    Premi("cmdPrimo");
    auto *provincia = Controllo<QComboBox>(w.get(), "txtProvRes");
    provincia->setFocus();
    QTRY_VERIFY_WITH_TIMEOUT(provincia->hasFocus(), 2000);
    QCOMPARE(provincia->currentText(), QStringLiteral("BO"));
    Premi("cmdEsci");
    QVERIFY(!w->isVisible());
    QVERIFY(env->sim().messaggi.isEmpty());

    w->show();
    Premi("cmdPrimo");
    Controllo<QCheckBox>(w.get(), "chkAnnullata")->click();
    Premi("cmdSalva");
    QCOMPARE(env->sim().UltimaForma(), Forma::Informazione);
    env->sim().messaggi.clear();
    Chiudi(true);
    QVERIFY(!w->isVisible());
    QVERIFY(env->sim().messaggi.isEmpty());
}

void TstUscita::modificheCheContano_data()
{
    QTest::addColumn<QString>("come");
    QTest::newRow("provincia scritta") << "provincia scritta";
    QTest::newRow("provincia scelta") << "provincia scelta";
    QTest::newRow("annullata") << "annullata";
    QTest::newRow("data cancellata") << "data cancellata";
}

void TstUscita::modificheCheContano()
{
    // Each kind of edit a user makes is an unsaved change; Annulla keeps the screen.
    QFETCH(QString, come);
    auto *provincia = Controllo<QComboBox>(w.get(), "txtProvRes");
    if (come == u"provincia scritta") {
        provincia->setFocus();
        provincia->lineEdit()->selectAll();
        QTest::keyClicks(provincia->lineEdit(), "mi");
        QCOMPARE(provincia->currentText(), QStringLiteral("MI"));
    } else if (come == u"provincia scelta") {
        provincia->setFocus();
        QTest::keyClick(provincia, Qt::Key_Down);
    } else if (come == u"annullata") {
        Controllo<QCheckBox>(w.get(), "chkAnnullata")->click();
    } else {
        auto *data = Controllo<QLineEdit>(w.get(), "txtDataScade");
        data->setFocus();
        QTest::keyClick(data, Qt::Key_Delete);
        QCOMPARE(data->text(), QString());
    }
    QVERIFY(env->sim().messaggi.isEmpty());
    Premi("cmdEsci");
    QCOMPARE(env->sim().messaggi.size(), 1);
    QCOMPARE(env->sim().messaggi[0].forma, Forma::DomandaAnnulla);
    QVERIFY(w->isVisible());
}

void TstUscita::siConSchedaIncompleta()
{
    // Sì on a record that cannot be saved: the save's own warning, and the screen stays.
    Controllo<QLineEdit>(w.get(), "txtTesserato")->clear();
    env->sim().risposteAnnulla.enqueue(Risposta::Si);
    Premi("cmdEsci");
    QCOMPARE(env->sim().messaggi.size(), 2);
    QCOMPARE(env->sim().messaggi[0].forma, Forma::DomandaAnnulla);
    QCOMPARE(env->sim().messaggi[1].forma, Forma::Avviso);
    QVERIFY(w->isVisible());
    QCOMPARE(NomeInArchivio(), QByteArray("ROSSI MARIA"));
}

void TstUscita::domandaVera_data()
{
    QTest::addColumn<QString>("tasto"); // a button's caption, or "Esc"
    QTest::addColumn<int>("risposta");
    QTest::newRow("Sì") << QStringLiteral("Sì") << int(Risposta::Si);
    QTest::newRow("No") << QStringLiteral("No") << int(Risposta::No);
    QTest::newRow("Annulla") << QStringLiteral("Annulla") << int(Risposta::Annulla);
    QTest::newRow("Esc") << QStringLiteral("Esc") << int(Risposta::Annulla);
}

void TstUscita::domandaVera()
{
    // The desktop's own box, with no test seam: its buttons and what each answers.
    QFETCH(QString, tasto);
    QFETCH(int, risposta);
    w.reset();
    env.reset();
    QStringList pulsanti;
    QString titolo;
    int giri = 0;
    QTimer timer;
    connect(&timer, &QTimer::timeout, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box) {
            if (++giri > 200) // never wait for ever
                QApplication::closeAllWindows();
            return;
        }
        timer.stop();
        titolo = box->windowTitle();
        for (QAbstractButton *b : box->buttons())
            pulsanti << b->text();
        if (tasto == u"Esc") {
            QTest::keyClick(box, Qt::Key_Escape);
            return;
        }
        for (QAbstractButton *b : box->buttons())
            if (b->text() == tasto)
                b->click();
    });
    timer.start(10);
    const Risposta r = Piattaforma::DomandaAnnulla(Domanda);
    QCOMPARE(int(r), risposta);
    QCOMPARE(titolo, QStringLiteral("Conferma"));
    pulsanti.sort();
    QCOMPARE(pulsanti, (QStringList{"Annulla", "No", "Sì"}));
}

QTEST_MAIN(TstUscita)
#include "tst_uscita.moc"
