// The renewal through the screens: cmdRinnova on the archive screen, the renewal list and
// the search results, the renewal screen's defaults, checks, list, total, and what follows
// a confirmation (the message, the records shown anew, the cards printed).
#include "support/Supporto.h"

#include "archive/Archivio.h"
#include "lists/Sospesi.h"
#include "lists/TrovaAnagrafica.h"
#include "registry/Anagrafica.h"
#include "rinnovi/Rinnovo.h"
#include "storage/DepositoFile.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QTreeWidget>
#include <QtTest>

namespace {

// `n` members "Socio 01".. expiring on `scade`.
void Archivio(const Ambiente &env, int n, const QByteArray &scade = "30/11/2026")
{
    QList<QByteArray> record;
    for (int i = 1; i <= n; ++i)
        record << Costruttore::Tesserato(
            QStringLiteral("Socio %1").arg(i, 2, 10, QChar(u'0')).toLatin1(), "01/12/2025", scade);
    Costruttore::ScriviArchivio(env.Percorso(NomeArchivio), record);
}

QString Scade(const Ambiente &env, int posizione)
{
    TArchivio a(env.cartella());
    return a.LeggiScheda(posizione).Leggi(Campo::DataScade);
}

QString Testo(QDialog *d, const char *nome)
{
    return Controllo<QLineEdit>(d, nome)->text();
}

void Scrivi(QDialog *d, const char *nome, const QString &testo)
{
    auto *t = Controllo<QLineEdit>(d, nome);
    t->selectAll();
    QTest::keyClicks(t, testo);
}

// Confirms the renewal screen as it stands (receipts off: they are another screen's
// business) and waits for it to close.
void Conferma(QDialog *d)
{
    Controllo<QCheckBox>(d, "chkRicevuta")->setChecked(false);
    Clic(d, "cmdConferma");
    QTRY_VERIFY_WITH_TIMEOUT(!d->isVisible(), 20000);
}

} // namespace

class TestRinnovoSchermi : public QObject {
    Q_OBJECT
private slots:
    void DallArchivio();
    void SchedaNonSalvata();
    void CinquantaDallElencoRinnovi();
    void RicercaSenzaSelezione_data();
    void RicercaSenzaSelezione();
    void ControlliPrimaDiScrivere_data();
    void ControlliPrimaDiScrivere();
};

void TestRinnovoSchermi::DallArchivio()
{
    Ambiente env;
    env->oggi = QDate(2026, 12, 10);
    ScriviIni(env, "[Rinnovo]\r\nScadenza=anno\r\nQuota=30\r\n");
    QList<QByteArray> record{Costruttore::Tesserato("Rossi Anna", "01/01/2026", "31/12/2026"),
                             Costruttore::Tesserato("Verdi Bruno", "01/01/2026", "31/12/2026")};
    Costruttore::ScriviArchivio(env.Percorso(NomeArchivio), record);
    TfrmAnagrafica w;
    w.show();
    w.MostraScheda(2);

    QStringList visti;
    env->modale = [&](QDialog *d) {
        // The defaults: the calendar-year rule, the fee of the settings, today.
        QCOMPARE(Controllo<QLabel>(d, "lblTitolo")->text(),
                 QStringLiteral("Rinnovo della tessera di Verdi Bruno"));
        visti << Testo(d, "txtNuovaScadenza") << Testo(d, "txtQuota")
              << Testo(d, "txtDataPagamento") << Testo(d, "txtCausale");
        auto *cbo = Controllo<QComboBox>(d, "cboPagamento");
        QStringList metodi;
        for (int i = 0; i < cbo->count(); ++i)
            metodi << cbo->itemText(i);
        QCOMPARE(metodi, QStringList({"Contanti", "Bonifico", "Carta/POS", "Assegno", "Altro"}));
        cbo->setCurrentText(QStringLiteral("Bonifico"));
        QCOMPARE(Controllo<QTreeWidget>(d, "lstRinnovi")->topLevelItemCount(), 1);
        QCOMPARE(Controllo<QLabel>(d, "lblTotale")->text(),
                 QStringLiteral("Totale: 1 tessera, \u20AC 30,00"));
        Conferma(d);
    };
    Clic(&w, "cmdRinnova");
    QCOMPARE(env->modaliMostrati, QStringList{"TfrmRinnovo"});
    QCOMPARE(visti, QStringList({"31/12/2027", "30,00", "10/12/2026", "Quota associativa 2027"}));
    QCOMPARE(env->UltimaForma(), Piattaforma::Forma::Informazione);
    QCOMPARE(env->UltimoMessaggio(),
             QStringLiteral("Tessera di Verdi Bruno rinnovata fino al 31/12/2027: ricevuta n. "
                            "1/2026 di \u20AC 30,00."));
    // The screen shows the record as renewed; the register holds the payment.
    QCOMPARE(w.Valore("txtDataScade"), QStringLiteral("31/12/2027"));
    QCOMPARE(w.Valore("txtDataRil"), QStringLiteral("10/12/2026"));
    QCOMPARE(Scade(env, 1), QStringLiteral("31/12/2026"));
    TDepositoFile dep(env.cartella());
    const std::vector<TPagamento> voci = dep.PagamentiDi(2);
    QCOMPARE(voci.size(), size_t(1));
    QCOMPARE(voci[0].metodo, QStringLiteral("Bonifico"));
    QCOMPARE(voci[0].centesimi, qint64(3000));
    QCOMPARE(voci[0].dal, QDate(2027, 1, 1));
    QCOMPARE(voci[0].causale, QStringLiteral("Quota associativa 2027"));
}

void TestRinnovoSchermi::SchedaNonSalvata()
{
    Ambiente env;
    Archivio(env, 1);
    TfrmAnagrafica w;
    w.show();
    Clic(&w, "cmdNuovo");
    // A new record is saved first, or not renewed: here the user says No.
    Clic(&w, "cmdRinnova");
    QCOMPARE(env->UltimaForma(), Piattaforma::Forma::Domanda);
    QVERIFY(env->modaliMostrati.isEmpty());
    QCOMPARE(Scade(env, 1), QStringLiteral("30/11/2026"));
}

void TestRinnovoSchermi::CinquantaDallElencoRinnovi()
{
    Ambiente env;
    env->oggi = QDate(2026, 12, 10);
    ScriviIni(env, "[Rinnovo]\r\nQuota=25\r\n");
    Archivio(env, 60);
    TfrmSospesi w;
    w.show();
    auto *lst = Controllo<QListView>(&w, "lstRecords");
    QCOMPARE(lst->model()->rowCount(), 60);
    for (int r = 0; r < 50; ++r)
        lst->selectionModel()->select(lst->model()->index(r, 0), QItemSelectionModel::Select);

    int righe = 0;
    QString totale, scadenza;
    env->modale = [&](QDialog *d) {
        if (QString::fromLatin1(d->metaObject()->className()) != QLatin1String("TfrmRinnovo"))
            return; // the cards' print screen, closed unprinted
        righe = Controllo<QTreeWidget>(d, "lstRinnovi")->topLevelItemCount();
        totale = Controllo<QLabel>(d, "lblTotale")->text();
        scadenza = Testo(d, "txtNuovaScadenza");
        Controllo<QCheckBox>(d, "chkTessere")->setChecked(true);
        Conferma(d);
    };
    Clic(&w, "cmdRinnova");
    // No question with lines selected; the cards go to the batch printing.
    QCOMPARE(env->modaliMostrati, QStringList({"TfrmRinnovo", "TfrmStampaLotto"}));
    QCOMPARE(righe, 50);
    QCOMPARE(totale, QStringLiteral("Totale: 50 tessere, \u20AC 1.250,00"));
    QCOMPARE(scadenza, QStringLiteral("10/12/2027"));
    QCOMPARE(env->messaggi.size(), 1);
    QCOMPARE(env->messaggi[0].testo,
             QStringLiteral("Tessere rinnovate: 50 su 50, per un totale di \u20AC 1.250,00.\n"
                            "Ricevute dalla n. 1/2026 alla n. 50/2026."));
    // The renewed cards leave the list.
    QCOMPARE(lst->model()->rowCount(), 10);
    QCOMPARE(Scade(env, 1), QStringLiteral("10/12/2027"));
    QCOMPARE(Scade(env, 50), QStringLiteral("10/12/2027"));
    QCOMPARE(Scade(env, 51), QStringLiteral("30/11/2026"));
}

void TestRinnovoSchermi::RicercaSenzaSelezione_data()
{
    QTest::addColumn<bool>("si");
    QTest::newRow("no") << false;
    QTest::newRow("si") << true;
}

void TestRinnovoSchermi::RicercaSenzaSelezione()
{
    QFETCH(bool, si);
    Ambiente env;
    env->oggi = QDate(2026, 12, 10);
    Archivio(env, 4);
    TfrmTrovaAnagrafica w;
    w.show();
    Clic(&w, "btnCerca");
    QCOMPARE(Controllo<QListView>(&w, "lstRecords")->model()->rowCount(), 4);
    env->risposte.enqueue(si);
    int righe = 0;
    env->modale = [&](QDialog *d) {
        righe = Controllo<QTreeWidget>(d, "lstRinnovi")->topLevelItemCount();
        Conferma(d);
    };
    Clic(&w, "cmdRinnova");
    // Nothing selected: every listed line, after a Yes.
    QCOMPARE(env->messaggi.at(0).forma, Piattaforma::Forma::Domanda);
    QCOMPARE(env->messaggi.at(0).testo, Rinnovo::DomandaTutti(4));
    QCOMPARE(env->modaliMostrati.size(), si ? 1 : 0);
    QCOMPARE(righe, si ? 4 : 0);
    for (int p = 1; p <= 4; ++p)
        QCOMPARE(Scade(env, p), si ? QStringLiteral("10/12/2027") : QStringLiteral("30/11/2026"));
}

void TestRinnovoSchermi::ControlliPrimaDiScrivere_data()
{
    QTest::addColumn<QString>("casella");
    QTest::addColumn<QString>("valore");
    QTest::addColumn<QString>("messaggio");
    QTest::newRow("quota") << "txtQuota"
                           << "venti"
                           << "Indicare la quota";
    QTest::newRow("quota negativa") << "txtQuota"
                                    << "-5"
                                    << "Indicare la quota";
    QTest::newRow("data pagamento") << "txtDataPagamento"
                                    << "31/02/2026"
                                    << "Indicare la data del pagamento";
    QTest::newRow("scadenza") << "txtNuovaScadenza"
                              << "32/12/2027"
                              << "La nuova scadenza";
    QTest::newRow("scadenza passata") << "txtNuovaScadenza"
                                      << "01/01/2020"
                                      << "La nuova scadenza";
    QTest::newRow("causale") << "txtCausale"
                             << "  "
                             << "Indicare la causale";
}

void TestRinnovoSchermi::ControlliPrimaDiScrivere()
{
    QFETCH(QString, casella);
    QFETCH(QString, valore);
    QFETCH(QString, messaggio);
    Ambiente env;
    env->oggi = QDate(2026, 12, 10);
    Archivio(env, 2);
    bool aperta = false;
    env->modale = [&](QDialog *d) {
        Scrivi(d, casella.toLatin1().constData(), valore);
        Clic(d, "cmdConferma");
        // Refused before anything is written: the screen stays open for the fix.
        aperta = d->isVisible();
        Clic(d, "cmdAnnulla");
    };
    QVERIFY(!Rinnovo::Apri(nullptr, {1, 2}));
    QCOMPARE(env->modaliMostrati, QStringList{"TfrmRinnovo"});
    QVERIFY(aperta);
    QCOMPARE(env->UltimaForma(), Piattaforma::Forma::Avviso);
    QVERIFY2(env->UltimoMessaggio().startsWith(messaggio), qPrintable(env->UltimoMessaggio()));
    QCOMPARE(Scade(env, 1), QStringLiteral("30/11/2026"));
    QVERIFY(TDepositoFile(env.cartella()).PagamentiDi(1).empty());
    QVERIFY(!QFileInfo::exists(env.Percorso(QStringLiteral("Quote.sqlite"))));
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    TestRinnovoSchermi prova;
    return QTest::qExec(&prova, argc, argv);
}

#include "tst_rinnovoschermi.moc"
