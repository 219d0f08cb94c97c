// The archive screen driven as a user would: typing into its boxes, pressing its
// buttons, answering through the platform seam; the archive is checked byte by byte.
#include "support/Supporto.h"

#include "registry/Anagrafica.h"
#include "registry/core/Scorrimento.h"
#include "shell/Avvio.h"
#include "shell/Schermate.h"
#include "widgets/Controlli.h"

#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTest>
#include <QToolButton>

#include <cstring>

#include <sys/stat.h>

using Piattaforma::Forma;

class TstAnagrafica : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Ambiente> env;
    std::unique_ptr<TfrmAnagrafica> w;
    Simulazione *sim = nullptr;

    QLineEdit *Box(const char *nome) { return Controllo<QLineEdit>(w.get(), nome); }
    QComboBox *Prov(const char *nome) { return Controllo<QComboBox>(w.get(), nome); }
    QLabel *Posizione() { return Controllo<QLabel>(w.get(), "lblPosizione"); }
    void Premi(const char *nome) { Controllo<QAbstractButton>(w.get(), nome)->click(); }
    QString Fuoco() { return w->focusWidget() ? w->focusWidget()->objectName() : QString(); }
    QImage Foto() { return Controllo<TImmagine>(w.get(), "imgFoto")->Picture(); }
    QImage Bianca() { return Controllo<TImmagine>(w.get(), "imgBianco")->Picture(); }
    QString Archivio() { return env->Percorso(QStringLiteral("Tesserati.pro")); }
    void Archivio(int n)
    {
        QList<QByteArray> r;
        for (int i = 1; i <= n; ++i)
            r << Costruttore::Tesserato("TESSERATO " + QByteArray::number(i));
        Costruttore::ScriviArchivio(Archivio(), r);
    }
    qint64 Dimensione() { return QFileInfo(Archivio()).size(); }
    // Types into a box after giving it the focus, as a user would.
    void Scrivi(QWidget *box, const QString &testo)
    {
        box->setFocus();
        for (QChar c : testo) {
            if (c.unicode() < 128) {
                QTest::keyClick(box, char(c.unicode()));
            } else { // accented letters: a key whose text is the letter
                QTest::sendKeyEvent(QTest::Press, box, Qt::Key_unknown, QString(c), {});
                QTest::sendKeyEvent(QTest::Release, box, Qt::Key_unknown, QString(c), {});
            }
        }
    }
    void Compila(const QString &nome, const QString &rilascio, const QString &scadenza)
    {
        Scrivi(Box("txtTesserato"), nome);
        // The date boxes are read-only: the date picker writes them.
        Box("txtDataRil")->setText(rilascio);
        Box("txtDataScade")->setText(scadenza);
    }

private slots:
    void init()
    {
        env = std::make_unique<Ambiente>();
        sim = &env->sim();
        w = std::make_unique<TfrmAnagrafica>();
        w->resize(1366, 768);
        w->show();
        QApplication::setActiveWindow(w.get());
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
    }
    void cleanup()
    {
        w.reset();
        env.reset();
    }

    void salvataggio_data();
    void salvataggio();
    void accodaPoiSovrascrive();
    void salvataggioNellaCartellaUtente();
    void giroCompletoConAccentiECapienza();
    void nuovoPulisceLaScheda();
    void tastiCifre_data();
    void tastiCifre();
    void maiuscoleMentreSiScrive_data();
    void maiuscoleMentreSiScrive();
    void catenaInvio();
    void tastiData();
    void evidenzaEBarraDiStato();
    void scorrimento_data();
    void scorrimento();
    void regolaFrecce_data();
    void regolaFrecce();
    void primoScartaLeModifiche();
    void annullataMostrataETolta();
    void fotoDellaScheda();
    void accessoNegato_data();
    void accessoNegato();
    void indietroArchivioRidotto();
    void larghezze_data();
    void larghezze();
    void fotoNonScrivibile();
    void fotoIlleggibileNonSovrascritta_data();
    void fotoIlleggibileNonSovrascritta();
    void fotoDaTelefono();
    void fotoInvariataNonRiscritta();
    void fotoNonScrittaRestaDaSalvare();
    void fotoCambiataScritta_data();
    void fotoCambiataScritta();
    void strumentiDiControllo_data();
    void strumentiDiControllo();
    void guida();
    void schermateAperte_data();
    void schermateAperte();
    void stampaSchedaInformativa();
    void chiusura();
};

namespace {
const QString A = QStringLiteral("\n\r\n\r");
const QString DataValidaFine =
    QStringLiteral(" non esiste.\n\r\n\rPer poter salvare la scheda è necessario indicare una "
                   "data valida nel formato gg/mm/aaaa.");
const QString Inserita = QStringLiteral("La scheda corrente è stata inserita in archivio.");
const QString Modificata =
    QStringLiteral("Le modifiche apportate alla scheda corrente sono state salvate in archivio.");
const QString Vuoto = QStringLiteral("L'archivio non contiene nessuna scheda.");
const QString Accesso = QStringLiteral(
    "Attenzione: il sistema non permette di accedere all'archivio.\n\r\n\rAccertarsi di "
    "possedere i privilegi di scrittura nella cartella di installazione del programma.");
} // namespace

void TstAnagrafica::salvataggio_data()
{
    QTest::addColumn<QString>("nome");
    QTest::addColumn<QString>("rilascio"); // null: as the cleared screen has it (today)
    QTest::addColumn<QString>("scadenza");
    QTest::addColumn<bool>("svuotaPreavviso");
    QTest::addColumn<int>("forma");
    QTest::addColumn<QString>("testo");
    QTest::addColumn<QString>("fuoco"); // empty: the save succeeds

    const int avviso = int(Forma::Avviso), messaggio = int(Forma::Messaggio);
    const QString nomeMancante = QStringLiteral(
        "Attenzione: per salvare la scheda è necessario indicare il nome del tesserato.");
    QTest::newRow("nome vuoto") << ""
                                << "01/01/2025"
                                << "31/12/2025" << false << avviso << nomeMancante
                                << "txtTesserato";
    QTest::newRow("nome di soli spazi")
        << "   "
        << "01/01/2025"
        << "31/12/2025" << false << avviso << nomeMancante << "txtTesserato";
    QTest::newRow("rilascio vuoto")
        << "ROSSI MARIO"
        << ""
        << "31/12/2025" << false << avviso
        << "Attenzione: per salvare la scheda è necessario indicare la data di rilascio del "
           "tesserino."
        << "txtDataRil";
    QTest::newRow("scadenza vuota su scheda nuova")
        << "ROSSI MARIO" << QString() << "" << false << avviso
        << "Attenzione: per salvare la scheda è necessario indicare la data di scadenza del "
           "tesserino."
        << "txtDataScade";
    QTest::newRow("rilascio inesistente")
        << "ROSSI MARIO"
        << "29/02/2023"
        << "31/12/2025" << false << messaggio
        << "Attenzione: la data di rilascio della tessera 29/02/2023" + DataValidaFine
        << "txtDataRil";
    QTest::newRow("scadenza inesistente")
        << "ROSSI MARIO"
        << "01/01/2024"
        << "31/04/2024" << false << messaggio
        << "Attenzione: la data di scadenza della tessera 31/04/2024" + DataValidaFine
        << "txtDataScade";
    QTest::newRow("scadenza anteriore al rilascio")
        << "ROSSI MARIO"
        << "10/05/2024"
        << "09/05/2024" << false << messaggio
        << "Attenzione: la data di scadenza (09/05/2024) non può essere anteriore a quella di "
           "rilascio della tessera (10/05/2024)."
        << "txtDataScade";
    QTest::newRow("preavviso cancellato")
        << "ROSSI MARIO"
        << "01/01/2025"
        << "31/12/2025" << true << avviso
        << "Attenzione: per salvare la scheda è necessario indicare i giorni di preavviso."
        << "txtPreavviso";
    QTest::newRow("date uguali") << "ROSSI MARIO"
                                 << "10/05/2024"
                                 << "10/05/2024" << false << int(Forma::Informazione) << Inserita
                                 << "";
    QTest::newRow("29 febbraio bisestile")
        << "ROSSI MARIO"
        << "29/02/2024"
        << "28/02/2025" << false << int(Forma::Informazione) << Inserita << "";
}

void TstAnagrafica::salvataggio()
{
    QFETCH(QString, nome);
    QFETCH(QString, rilascio);
    QFETCH(QString, scadenza);
    QFETCH(bool, svuotaPreavviso);
    QFETCH(int, forma);
    QFETCH(QString, testo);
    QFETCH(QString, fuoco);

    Scrivi(Box("txtTesserato"), nome);
    if (!rilascio.isNull())
        Box("txtDataRil")->setText(rilascio);
    Box("txtDataScade")->setText(scadenza);
    if (svuotaPreavviso) {
        Box("txtPreavviso")->setFocus();
        QTest::keyClick(Box("txtPreavviso"), Qt::Key_Backspace);
    }
    Box("txtCarica")->setFocus();
    Premi("cmdSalva");

    QCOMPARE(sim->messaggi.size(), 1);
    QCOMPARE(int(sim->messaggi[0].forma), forma);
    QCOMPARE(sim->messaggi[0].testo, testo);
    if (fuoco.isEmpty()) {
        QCOMPARE(Posizione()->text(), QStringLiteral("1"));
        QCOMPARE(Dimensione(), 2764);
    } else {
        QCOMPARE(Fuoco(), fuoco);
        QVERIFY2(!QFile::exists(Archivio()), "a refused save touches no file");
        QCOMPARE(Posizione()->text(), QString());
    }
}

void TstAnagrafica::accodaPoiSovrascrive()
{
    Archivio(7);
    const QByteArray settima = Costruttore::LeggiFile(Archivio()).mid(6 * 2764, 2764);
    Compila(QStringLiteral("BIANCHI LUCA"), QStringLiteral("01/01/2025"),
            QStringLiteral("31/12/2025"));
    Premi("cmdSalva");

    QCOMPARE(Posizione()->text(), QStringLiteral("8"));
    QCOMPARE(Dimensione(), 8 * 2764);
    QCOMPARE(QImage(env->Percorso(QStringLiteral("8.jpg"))).size(), QSize(157, 174));
    QCOMPARE(sim->UltimaForma(), Forma::Informazione);
    QCOMPARE(sim->UltimoMessaggio(), Inserita);
    QByteArray ottava = Costruttore::LeggiFile(Archivio()).mid(7 * 2764);
    QCOMPARE(Costruttore::Campo(ottava, "Tesserato"), QByteArray("BIANCHI LUCA"));
    QCOMPARE(Costruttore::Campo(ottava, "Annullata"), QByteArray("No"));
    QCOMPARE(Costruttore::Campo(ottava, "Preavviso"), QByteArray("0"));

    Scrivi(Box("txtCarica"), QStringLiteral("PRESIDENTE"));
    Premi("cmdSalva");
    QCOMPARE(Posizione()->text(), QStringLiteral("8"));
    QCOMPARE(Dimensione(), 8 * 2764);
    QCOMPARE(sim->messaggi.size(), 2);
    QCOMPARE(sim->UltimaForma(), Forma::Informazione);
    QCOMPARE(sim->UltimoMessaggio(), Modificata);
    const QByteArray file = Costruttore::LeggiFile(Archivio());
    QCOMPARE(Costruttore::Campo(file.mid(7 * 2764), "Carica"), QByteArray("PRESIDENTE"));
    QCOMPARE(file.mid(6 * 2764, 2764), settima);
}

void TstAnagrafica::salvataggioNellaCartellaUtente()
{
    // An installed program: its folder cannot be written, the record and its photo go
    // to the user's data folder and nothing to the program folder.
    const QString utente = env->Percorso(QStringLiteral("home/.local/share/Quorvel"));
    sim->cartellaUtente = utente;
    sim->cartellaScrivibile = false;
    Compila(QStringLiteral("VERDI ANNA"), QStringLiteral("01/01/2025"),
            QStringLiteral("31/12/2025"));
    Premi("cmdSalva");
    QCOMPARE(sim->UltimoMessaggio(), Inserita);
    QCOMPARE(Posizione()->text(), QStringLiteral("1"));
    const QByteArray file = Costruttore::LeggiFile(QDir(utente).filePath("Tesserati.pro"));
    QCOMPARE(file.size(), 2764);
    QCOMPARE(Costruttore::Campo(file, "Tesserato"), QByteArray("VERDI ANNA"));
    QVERIFY(QFileInfo(QDir(utente).filePath("1.jpg")).size() > 0);
    QVERIFY(!QFile::exists(Archivio()));
    QVERIFY(!QFile::exists(env->Percorso(QStringLiteral("1.jpg"))));
}

void TstAnagrafica::giroCompletoConAccentiECapienza()
{
    // Every box filled to its capacity, accents included, as the user types it.
    const QString accenti = QStringLiteral("Èlia Perché àèìòù ÀÉÌÒÙ ç ");
    QMap<QString, QString> atteso;
    for (const auto &c : TfrmAnagrafica::Caselle()) {
        const int n = Definizione(c.campo).capacita;
        QString t;
        switch (c.regola) {
        case TfrmAnagrafica::Casella::Regola::Libero:
            while (t.size() < n)
                t += accenti;
            t = t.left(n - 1) + u'ò';
            Scrivi(Box(c.nome), t);
            break;
        case TfrmAnagrafica::Casella::Regola::Cifre:
            for (int i = 0; i < n; ++i)
                t += QChar(u'1' + i % 9);
            Box(c.nome)->clear();
            Scrivi(Box(c.nome), t);
            break;
        case TfrmAnagrafica::Casella::Regola::Data:
            t = c.campo == Campo::DataRil ? QStringLiteral("01/02/2024")
                                          : QStringLiteral("03/04/2025");
            Box(c.nome)->setText(t);
            break;
        case TfrmAnagrafica::Casella::Regola::Rifilato:
            t = QStringLiteral("mario.rossi@") + QString(n - 12, u'x');
            Scrivi(Box(c.nome), t);
            break;
        case TfrmAnagrafica::Casella::Regola::Maiuscolo:
            t = QStringLiteral("it60x0542811101000000123456").left(n);
            Scrivi(Box(c.nome), t);
            t = t.toUpper();
            break;
        case TfrmAnagrafica::Casella::Regola::Sesso:
            Scrivi(Box(c.nome), QStringLiteral("f"));
            t = QStringLiteral("F");
            break;
        case TfrmAnagrafica::Casella::Regola::Provincia:
            Scrivi(Prov(c.nome), QStringLiteral("mi"));
            t = QStringLiteral("MI");
            break;
        }
        atteso[QString::fromLatin1(c.nome)] = t;
    }
    Controllo<QCheckBox>(w.get(), "chkAnnullata")->click();
    // The attachment screen writes the hidden labels; names longer than a field are cut.
    const QString lungo = QString(260, u'é');
    Controllo<QLabel>(w.get(), "lblFile01")->setText(QStringLiteral("contratto firmato.pdf"));
    Controllo<QLabel>(w.get(), "lblDesc03")->setText(lungo);
    Premi("cmdSalva");
    QCOMPARE(sim->UltimoMessaggio(), Inserita);

    const QByteArray r = Costruttore::LeggiFile(Archivio());
    QCOMPARE(r.size(), 2764);
    QCOMPARE(uchar(r[Costruttore::Offset("Tesserato")]), uchar(50));
    QCOMPARE(Costruttore::Campo(r, "Tesserato").left(3), QByteArray("\xC8li"));
    QCOMPARE(Costruttore::Campo(r, "Annullata"), QByteArray("S\xEC"));
    QCOMPARE(Costruttore::Campo(r, "Desc03"), QByteArray(250, '\xE9'));

    Premi("cmdNuovo");
    QCOMPARE(Box("txtTesserato")->text(), QString());
    Premi("cmdPrimo");
    for (const auto &c : TfrmAnagrafica::Caselle()) {
        const QString nome = QString::fromLatin1(c.nome);
        const QString mostrato = c.regola == TfrmAnagrafica::Casella::Regola::Provincia
                                     ? Prov(c.nome)->currentText()
                                     : Box(c.nome)->text();
        QVERIFY2(mostrato == atteso[nome], c.nome);
        QCOMPARE(mostrato.size(), atteso[nome].size());
    }
    QVERIFY(Controllo<QCheckBox>(w.get(), "chkAnnullata")->isChecked());
    QCOMPARE(Controllo<QLabel>(w.get(), "lblFile01")->text(),
             QStringLiteral("contratto firmato.pdf"));
    QCOMPARE(Controllo<QLabel>(w.get(), "lblDesc03")->text(), lungo.left(250));
}

void TstAnagrafica::nuovoPulisceLaScheda()
{
    // Opening the screen starts on a new record.
    QCOMPARE(Box("txtDataRil")->text(), QStringLiteral("15/06/2025"));
    QCOMPARE(Box("txtPreavviso")->text(), QStringLiteral("0"));
    QCOMPARE(Fuoco(), QStringLiteral("txtTesserato"));
    QCOMPARE(Controllo<QLabel>(w.get(), "panInfo")->text(),
             QStringLiteral("Pronto per archiviare una nuova scheda..."));

    QList<QByteArray> r{Costruttore::Record({{"Tesserato", "VERDI ANNA"},
                                             {"DataRil", "01/01/2025"},
                                             {"DataScade", "31/12/2025"},
                                             {"ProvRes", "TO"},
                                             {"Annullata", "S\xEC"},
                                             {"File02", "carta.pdf"}})};
    Costruttore::ScriviArchivio(Archivio(), r);
    Immagine(30, 30, Qt::red).save(env->Percorso(QStringLiteral("1.jpg")));
    Premi("cmdUltimo");
    QCOMPARE(Posizione()->text(), QStringLiteral("1"));
    QCOMPARE(Foto().size(), QSize(30, 30));

    Premi("cmdNuovo");
    for (const auto &c : TfrmAnagrafica::Caselle()) {
        const QString atteso = c.campo == Campo::DataRil     ? QStringLiteral("15/06/2025")
                               : c.campo == Campo::Preavviso ? QStringLiteral("0")
                                                             : QString();
        const QString mostrato = c.regola == TfrmAnagrafica::Casella::Regola::Provincia
                                     ? Prov(c.nome)->currentText()
                                     : Box(c.nome)->text();
        QVERIFY2(mostrato == atteso, c.nome);
    }
    QVERIFY(!Controllo<QCheckBox>(w.get(), "chkAnnullata")->isChecked());
    QCOMPARE(Controllo<QLabel>(w.get(), "lblFile02")->text(), QString());
    QCOMPARE(Posizione()->text(), QString());
    QCOMPARE(Foto(), Bianca());
    QCOMPARE(Fuoco(), QStringLiteral("txtTesserato"));
    QVERIFY(sim->messaggi.isEmpty());
}

void TstAnagrafica::tastiCifre_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("prossimo");
    QTest::newRow("preavviso") << "txtPreavviso"
                               << "txtTitoli";
    QTest::newRow("carta") << "txtCarta"
                           << "txtScadeCarta";
    QTest::newRow("partita IVA") << "txtPartitaIva"
                                 << "txtIban";
}

void TstAnagrafica::tastiCifre()
{
    QFETCH(QString, box);
    QFETCH(QString, prossimo);
    QLineEdit *b = Box(box.toLatin1().constData());
    b->clear();
    Scrivi(b, QStringLiteral("1a -2+x3"));
    QCOMPARE(b->text(), QStringLiteral("123"));
    QTest::keyClick(b, Qt::Key_Left);
    QTest::keyClick(b, Qt::Key_Backspace);
    QCOMPARE(b->text(), QStringLiteral("13"));
    QTest::keyClick(b, Qt::Key_Delete);
    QCOMPARE(b->text(), QStringLiteral("1"));
    QTest::keyClick(b, Qt::Key_Right);
    QTest::keyClick(b, Qt::Key_Home); // refused: the cursor stays at the end
    QTest::keyClicks(b, QStringLiteral("5"));
    QCOMPARE(b->text(), QStringLiteral("15"));
    QTest::keyClick(b, Qt::Key_Return);
    QCOMPARE(b->text(), QStringLiteral("15"));
    QCOMPARE(Fuoco(), prossimo);
}

void TstAnagrafica::maiuscoleMentreSiScrive_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("tasti");
    QTest::addColumn<QString>("atteso");
    QTest::newRow("provincia di nascita") << "txtProvNasc"
                                          << "rm"
                                          << "RM";
    QTest::newRow("provincia di residenza") << "txtProvRes"
                                            << " mi"
                                            << "MI";
    QTest::newRow("sesso") << "txtSesso"
                           << "m"
                           << "M";
    QTest::newRow("codice fiscale") << "txtCodFisc"
                                    << " rssmra80 "
                                    << "RSSMRA80";
    QTest::newRow("IBAN") << "txtIban"
                          << "it60 x05"
                          << "IT60X05";
    QTest::newRow("e-mail solo rifilata") << "txtEmail"
                                          << " Mario.Rossi@Posta.it "
                                          << "Mario.Rossi@Posta.it";
}

void TstAnagrafica::maiuscoleMentreSiScrive()
{
    QFETCH(QString, box);
    QFETCH(QString, tasti);
    QFETCH(QString, atteso);
    QWidget *b = Controllo<QWidget>(w.get(), box.toLatin1().constData());
    Scrivi(b, tasti);
    auto *cb = qobject_cast<QComboBox *>(b);
    QCOMPARE(cb ? cb->currentText() : static_cast<QLineEdit *>(b)->text(), atteso);
}

void TstAnagrafica::catenaInvio()
{
    const QStringList primaDelleDate{"txtTesserato", "txtCarica", "txtNumTessera", "txtDataRil"};
    const QStringList resto{"txtDataNasc",  "txtComuneNasc",   "txtProvNasc",   "txtSesso",
                            "txtComuneRes", "txtProvRes",      "txtCapRes",     "txtIndirizzoRes",
                            "txtPreavviso", "txtTitoli",       "txtTelCasa",    "txtTelUff",
                            "txtTelCel",    "txtRecapito",     "txtFax",        "txtEmail",
                            "txtCodFisc",   "txtCarta",        "txtScadeCarta", "txtPartitaIva",
                            "txtIban",      "txtIntestatario", "txtNote",       "txtTesserato"};
    for (const QStringList &catena : {primaDelleDate, resto}) {
        Controllo<QWidget>(w.get(), catena[0].toLatin1().constData())->setFocus();
        for (int i = 1; i < catena.size(); ++i) {
            QTest::keyClick(w->focusWidget(), Qt::Key_Return);
            QCOMPARE(Fuoco(), catena[i]);
        }
    }
    QVERIFY2(sim->modaliMostrati.isEmpty(), "Enter reached a date box only as a target");

    // Tab follows the same table, then reaches the cancelled mark.
    Box("txtNumTessera")->setFocus();
    QTest::keyClick(w->focusWidget(), Qt::Key_Tab);
    QCOMPARE(Fuoco(), QStringLiteral("txtDataRil"));
    Box("txtNote")->setFocus();
    QTest::keyClick(w->focusWidget(), Qt::Key_Tab);
    QCOMPARE(Fuoco(), QStringLiteral("chkAnnullata"));
}

void TstAnagrafica::tastiData()
{
    QStringList parole;
    sim->modale = [&](QDialog *d) {
        auto *memoria = d->findChild<QLabel *>(QStringLiteral("lblMemory"));
        parole << (memoria ? memoria->text() : QStringLiteral("?"));
    };
    QTest::keyClick(Box("txtDataRil"), Qt::Key_Backspace);
    QCOMPARE(Box("txtDataRil")->text(), QString());
    Box("txtDataScade")->setText(QStringLiteral("31/12/2025"));
    QTest::keyClick(Box("txtDataScade"), Qt::Key_Delete);
    QCOMPARE(Box("txtDataScade")->text(), QString());
    QVERIFY(sim->modaliMostrati.isEmpty());

    QTest::keyClick(Box("txtDataScade"), Qt::Key_A);
    QTest::keyClick(Box("txtDataRil"), Qt::Key_Return);
    QTest::keyClick(Box("txtDataRil"), Qt::Key_5);
    QCOMPARE(sim->modaliMostrati,
             QStringList({"TfrmCalendario", "TfrmCalendario", "TfrmCalendario"}));
    QCOMPARE(parole, QStringList({"datascade", "dataril", "dataril"}));
    QCOMPARE(Box("txtDataRil")->text(), QString()); // nothing typed into the box itself
}

void TstAnagrafica::evidenzaEBarraDiStato()
{
    auto eff = [&](const char *nome) { return Controllo<QWidget>(w.get(), nome)->isVisible(); };
    Box("txtCarica")->setFocus();
    QVERIFY(eff("effCarica"));
    QVERIFY(!eff("effTesserato"));
    Prov("txtProvRes")->setFocus();
    QVERIFY(eff("effProvRes"));
    QVERIFY(!eff("effCarica"));
    Box("txtNote")->setFocus();
    QVERIFY(!eff("effProvRes"));
    QVERIFY(eff("effNote"));

    auto *info = Controllo<QLabel>(w.get(), "panInfo");
    const struct {
        const char *controllo;
        const char *testo;
    } casi[] = {
        {"cmdSalva", "Salva la scheda corrente in archivio."},
        {"panContainer", ""},
        {"cmdUltimo", "Visualizza l'ultima scheda in archivio."},
        {"shpSezione04", ""},
        {"txtDataScade", "Premi un tasto qualsiasi per importare una data dal calendario."},
        {"imgFoto", ""},
        {"chkAnnullata",
         "Contrassegna la tessera come annullata per escluderla dai risultati di ricerca."},
        {"btnSfoglia", "Carica la foto del tesserato dal tuo disco fisso."},
    };
    for (const auto &c : casi) {
        QWidget *target = Controllo<QWidget>(w.get(), c.controllo);
        QTest::mouseMove(target, QPoint(2, 2)); // a corner: background, not a control on it
        QTRY_COMPARE_WITH_TIMEOUT(info->text(), QString::fromUtf8(c.testo), 2000);
    }
}

void TstAnagrafica::scorrimento_data()
{
    // Steps: P first, I previous, A next, U last, X the archive file is deleted meanwhile.
    QTest::addColumn<int>("schede"); // -1: no archive file at all
    QTest::addColumn<QString>("passi");
    QTest::addColumn<QString>("posizione");
    QTest::addColumn<int>("avvisiVuoto");
    QTest::newRow("avanti da scheda nuova") << 3 << "A"
                                            << "1" << 0;
    QTest::newRow("avanti fino all'ultima") << 3 << "AAA"
                                            << "3" << 0;
    QTest::newRow("avanti oltre l'ultima") << 3 << "AAAA"
                                           << "3" << 0;
    QTest::newRow("indietro da scheda nuova") << 3 << "I"
                                              << "1" << 0;
    QTest::newRow("indietro dall'ultima") << 3 << "UI"
                                          << "2" << 0;
    QTest::newRow("indietro oltre la prima") << 3 << "UIII"
                                             << "1" << 0;
    QTest::newRow("ultima poi prima") << 3 << "UP"
                                      << "1" << 0;
    QTest::newRow("prima poi ultima") << 3 << "PU"
                                      << "3" << 0;
    QTest::newRow("vuoto: prima") << 0 << "P"
                                  << "" << 1;
    QTest::newRow("vuoto: ultima") << 0 << "U"
                                   << "" << 1;
    QTest::newRow("vuoto: avanti") << 0 << "A"
                                   << "" << 1;
    QTest::newRow("vuoto: indietro da scheda nuova") << 0 << "I"
                                                     << "" << 1;
    QTest::newRow("mancante: prima") << -1 << "P"
                                     << "" << 1;
    QTest::newRow("mancante: avanti") << -1 << "A"
                                      << "" << 1;
    QTest::newRow("svuotato: avanti svuota la posizione") << 3 << "UXA"
                                                          << "" << 1;
    QTest::newRow("svuotato: prima lascia la posizione") << 3 << "UXP"
                                                         << "3" << 1;
    QTest::newRow("svuotato: indietro da 1 tace") << 3 << "PXI"
                                                  << "1" << 0;
}

void TstAnagrafica::scorrimento()
{
    QFETCH(int, schede);
    QFETCH(QString, passi);
    QFETCH(QString, posizione);
    QFETCH(int, avvisiVuoto);
    if (schede >= 0)
        Archivio(schede);
    for (QChar p : passi) {
        switch (p.toLatin1()) {
        case 'P':
            Premi("cmdPrimo");
            break;
        case 'I':
            Premi("cmdIndietro");
            break;
        case 'A':
            Premi("cmdAvanti");
            break;
        case 'U':
            Premi("cmdUltimo");
            break;
        case 'X':
            QVERIFY(QFile::remove(Archivio()));
            break;
        }
    }
    QCOMPARE(Posizione()->text(), posizione);
    if (!posizione.isEmpty())
        QCOMPARE(Box("txtTesserato")->text(), "TESSERATO " + posizione);
    QCOMPARE(sim->messaggi.size(), avvisiVuoto);
    for (const auto &m : sim->messaggi) {
        QCOMPARE(m.forma, Forma::Informazione);
        QCOMPARE(m.testo, Vuoto);
    }
    // The archive exists after every press, created empty when it was missing.
    QVERIFY(QFile::exists(Archivio()));
    QCOMPARE(Dimensione(), passi.contains(u'X') || schede < 0 ? 0 : schede * 2764);
}

void TstAnagrafica::regolaFrecce_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<QString>("etichetta");
    QTest::addColumn<int>("freccia");
    QTest::addColumn<int>("destinazione");
    QTest::addColumn<bool>("vuoto");
    QTest::addColumn<bool>("svuota");
    using F = Scorrimento::Freccia;
    QTest::newRow("blank intorno al numero") << 5 << " 2 " << int(F::Avanti) << 3 << false << false;
    QTest::newRow("etichetta non numerica come vuota")
        << 5 << "x" << int(F::Avanti) << 1 << false << false;
    QTest::newRow("indietro oltre la fine") << 3 << "9" << int(F::Indietro) << 8 << false << false;
    QTest::newRow("indietro da 1 su archivio vuoto")
        << 0 << "1" << int(F::Indietro) << 0 << false << false;
    QTest::newRow("avanti su archivio vuoto") << 0 << "4" << int(F::Avanti) << 0 << true << true;
    QTest::newRow("ultima") << 7 << "2" << int(F::Ultimo) << 7 << false << false;
}

void TstAnagrafica::regolaFrecce()
{
    QFETCH(int, n);
    QFETCH(QString, etichetta);
    QFETCH(int, freccia);
    QFETCH(int, destinazione);
    QFETCH(bool, vuoto);
    QFETCH(bool, svuota);
    const auto d = Scorrimento::Decidi(n, etichetta, Scorrimento::Freccia(freccia));
    QCOMPARE(d.destinazione, destinazione);
    QCOMPARE(d.archivioVuoto, vuoto);
    QCOMPARE(d.svuotaPosizione, svuota);
}

void TstAnagrafica::primoScartaLeModifiche()
{
    Archivio(3);
    Premi("cmdAvanti");
    Premi("cmdAvanti");
    QCOMPARE(Posizione()->text(), QStringLiteral("2"));
    Scrivi(Box("txtTesserato"), QStringLiteral(" MODIFICATO"));
    Premi("cmdPrimo");
    Premi("cmdAvanti");
    QCOMPARE(Posizione()->text(), QStringLiteral("2"));
    QCOMPARE(Box("txtTesserato")->text(), QStringLiteral("TESSERATO 2"));
    QCOMPARE(Dimensione(), 3 * 2764);
}

void TstAnagrafica::annullataMostrataETolta()
{
    Costruttore::ScriviArchivio(
        Archivio(), {Costruttore::Record({{"Tesserato", "UNO"}, {"Annullata", "S\xEC"}}),
                     Costruttore::Record({{"Tesserato", "DUE"}, {"Annullata", "Forse"}}),
                     Costruttore::Record({{"Tesserato", "TRE"}, {"Annullata", "No"}})});
    auto *chk = Controllo<QCheckBox>(w.get(), "chkAnnullata");
    Premi("cmdAvanti");
    QVERIFY(chk->isChecked());
    Premi("cmdAvanti"); // any other value leaves the mark as it was
    QCOMPARE(Box("txtTesserato")->text(), QStringLiteral("DUE"));
    QVERIFY(chk->isChecked());
    Premi("cmdAvanti");
    QVERIFY(!chk->isChecked());
}

void TstAnagrafica::fotoDellaScheda()
{
    Archivio(3);
    QFile guasta(env->Percorso(QStringLiteral("1.jpg")));
    QVERIFY(guasta.open(QIODevice::WriteOnly));
    guasta.write("non sono una foto");
    guasta.close();
    QVERIFY(Immagine(40, 30, Qt::red).save(env->Percorso(QStringLiteral("2.jpg")), "JPG"));

    Premi("cmdAvanti");
    QCOMPARE(Foto(), Bianca());
    Premi("cmdAvanti");
    QCOMPARE(Foto().size(), QSize(40, 30));
    QVERIFY(qRed(Foto().pixel(20, 15)) > 200 && qGreen(Foto().pixel(20, 15)) < 60);
    Premi("cmdAvanti"); // no photo file at all
    QCOMPARE(Foto(), Bianca());
    QVERIFY(sim->messaggi.isEmpty());
}

void TstAnagrafica::accessoNegato_data()
{
    QTest::addColumn<QString>("azione");
    QTest::addColumn<bool>("cartellaMancante"); // else the archive's name is a folder
    QTest::newRow("salva, archivio è una cartella") << "salva" << false;
    QTest::newRow("salva, cartella del programma sparita") << "salva" << true;
    QTest::newRow("avanti, archivio è una cartella") << "avanti" << false;
    QTest::newRow("ultima, cartella del programma sparita") << "ultima" << true;
    QTest::newRow("scheda consegnata, archivio è una cartella") << "mostra" << false;
}

void TstAnagrafica::accessoNegato()
{
    QFETCH(QString, azione);
    QFETCH(bool, cartellaMancante);
    Compila(QStringLiteral("NERI PAOLO"), QStringLiteral("01/01/2025"),
            QStringLiteral("31/12/2025"));
    if (cartellaMancante)
        sim->cartella = env->Percorso(QStringLiteral("non/esiste"));
    else
        QVERIFY(QDir().mkdir(Archivio()));

    if (azione == u"salva")
        Premi("cmdSalva");
    else if (azione == u"avanti")
        Premi("cmdAvanti");
    else if (azione == u"ultima")
        Premi("cmdUltimo");
    else
        w->MostraScheda(1);

    QCOMPARE(sim->messaggi.size(), 1);
    QCOMPARE(sim->UltimaForma(), Forma::Errore);
    QCOMPARE(sim->UltimoMessaggio(), Accesso);
    QCOMPARE(Posizione()->text(), QString());
    QCOMPARE(Box("txtTesserato")->text(), QStringLiteral("NERI PAOLO"));
    QVERIFY(!QFile::exists(env->Percorso(QStringLiteral("1.jpg"))));
}

// The archive shrank behind the screen: Previous cannot read the record before the
// one on display and says so; the screen keeps what it showed.
void TstAnagrafica::indietroArchivioRidotto()
{
    Archivio(3);
    Premi("cmdUltimo");
    QCOMPARE(Posizione()->text(), QStringLiteral("3"));
    Archivio(1);
    Premi("cmdIndietro");
    QCOMPARE(sim->messaggi.size(), 1);
    QCOMPARE(sim->UltimaForma(), Forma::Errore);
    QCOMPARE(sim->UltimoMessaggio(), Accesso);
    QCOMPARE(Posizione()->text(), QStringLiteral("3"));
    QCOMPARE(Box("txtTesserato")->text(), QStringLiteral("TESSERATO 3"));
    QCOMPARE(Dimensione(), 2764);
}

void TstAnagrafica::larghezze_data()
{
    QTest::addColumn<QSize>("finestra");
    QTest::newRow("1280x720") << QSize(1280, 720);
    QTest::newRow("1920x1080") << QSize(1920, 1080);
}

// The IBAN box shows a whole IBAN of 27 characters, and the position label a number
// of 8 digits, measured with the controls' own fonts.
void TstAnagrafica::larghezze()
{
    QFETCH(QSize, finestra);
    w->setWindowState(Qt::WindowNoState);
    w->resize(finestra);
    QTRY_COMPARE(w->size(), finestra);

    auto *iban = Box("txtIban");
    for (const QString &testo : {QStringLiteral("IT60X0542811101000000123456"),
                                 QStringLiteral("IT40S0542811101000000CC1234")}) {
        iban->setText(testo);
        iban->end(false);
        iban->grab(); // a box scrolls its text when it paints
        // With the cursor at the end, nothing has scrolled out on the left.
        const int cursore = iban->inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x();
        const int larghezza = iban->fontMetrics().horizontalAdvance(testo);
        QVERIFY2(cursore >= larghezza && cursore < iban->width(),
                 qPrintable(QStringLiteral("cursor %1, text %2, box %3")
                                .arg(cursore)
                                .arg(larghezza)
                                .arg(iban->width())));
    }

    Posizione()->setText(QStringLiteral("12345678"));
    QVERIFY(Posizione()->fontMetrics().horizontalAdvance(Posizione()->text()) <
            Posizione()->contentsRect().width());
}

void TstAnagrafica::fotoNonScrivibile()
{
    // The photo file's name is taken by a folder: the record is saved, the photo is not.
    QVERIFY(QDir().mkdir(env->Percorso(QStringLiteral("1.jpg"))));
    const QString rossa = env->Percorso(QStringLiteral("rossa.png"));
    QVERIFY(Immagine(60, 80, Qt::red).save(rossa));
    sim->fileDaAprire.enqueue(rossa);
    Premi("btnSfoglia");
    QCOMPARE(Foto().size(), QSize(60, 80));

    Compila(QStringLiteral("GIALLI EVA"), QStringLiteral("01/01/2025"),
            QStringLiteral("31/12/2025"));
    Premi("cmdSalva");
    QCOMPARE(Dimensione(), 2764);
    QCOMPARE(Posizione()->text(), QStringLiteral("1"));
    QCOMPARE(sim->messaggi.size(), 2);
    QCOMPARE(sim->messaggi[0].forma, Forma::Avviso);
    QVERIFY(sim->messaggi[0].testo.startsWith(
        QStringLiteral("Attenzione: non è stato possibile salvare la foto del tesserato.")));
    QCOMPARE(sim->messaggi[1].forma, Forma::Informazione);
    QCOMPARE(sim->messaggi[1].testo, Inserita);
    QCOMPARE(Foto().size(), QSize(60, 80)); // still the user's picture, not the silhouette
    QCOMPARE(Foto().pixel(30, 40), QColor(Qt::red).rgb());
}

namespace {
// A noisy JPEG, so that a part of it cut off matters.
QByteArray Jpeg(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb((x * 7) & 255, (y * 13) & 255, (x * y) & 255));
    QBuffer b;
    b.open(QIODevice::WriteOnly);
    img.save(&b, "JPG", 90);
    return b.data();
}
} // namespace

void TstAnagrafica::fotoIlleggibileNonSovrascritta_data()
{
    QTest::addColumn<QString>("foto");
    QTest::newRow("danneggiata") << "danneggiata";
    QTest::newRow("troncata") << "troncata";
    QTest::newRow("formato senza lettore") << "heic";
    QTest::newRow("tubo con nome") << "fifo";
}

void TstAnagrafica::fotoIlleggibileNonSovrascritta()
{
    // The member's photo cannot be read here: the screen shows the silhouette, and a
    // save for another reason leaves the photo file as it was.
    QFETCH(QString, foto);
    Archivio(1);
    const QString file = env->Percorso(QStringLiteral("1.jpg"));
    QByteArray contenuto;
    if (foto == u"fifo") {
        QCOMPARE(::mkfifo(QFile::encodeName(file).constData(), 0644), 0);
    } else {
        if (foto == u"danneggiata")
            contenuto = QByteArray("\xFF\xD8\xFF\xE0\x00\x10JFIF rotta") + QByteArray(500, 'x');
        else if (foto == u"troncata")
            contenuto = Jpeg(300, 200).left(3000);
        else // the start of an HEIC file saved as .jpg
            contenuto = QByteArray("\x00\x00\x00\x18"
                                   "ftypheic\x00\x00\x00\x00",
                                   16) +
                        QByteArray(4000, '\x5A');
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(contenuto);
    }
    Premi("cmdPrimo");
    QCOMPARE(Posizione()->text(), QStringLiteral("1"));
    QCOMPARE(Foto(), Bianca());
    Box("txtTelCel")->setText(QStringLiteral("3331234567"));
    Premi("cmdSalva");
    QCOMPARE(sim->messaggi.size(), 1);
    QCOMPARE(sim->UltimaForma(), Forma::Informazione);
    QCOMPARE(Costruttore::Campo(Costruttore::LeggiFile(Archivio()), "TelCel"),
             QByteArray("3331234567"));
    if (foto == u"fifo") {
        struct stat st {};
        QCOMPARE(::lstat(QFile::encodeName(file).constData(), &st), 0);
        QVERIFY(S_ISFIFO(st.st_mode));
    } else {
        QCOMPARE(Costruttore::LeggiFile(file), contenuto);
    }
}

void TstAnagrafica::fotoDaTelefono()
{
    // A 48-megapixel phone picture, taken with the camera turned: it loads scaled to
    // 1600 pixels on its long side, upright, and the record's photo file is that size.
    const QString scelta = env->Percorso(QStringLiteral("telefono.jpg"));
    {
        QImage grande(8000, 6000, QImage::Format_RGB888);
        grande.fill(QColor(200, 190, 180));
        for (int y = 0; y < 600; ++y) // a dark band on the picture's top edge
            memset(grande.scanLine(y), 20, grande.bytesPerLine());
        QImageWriter scrittore(scelta, "jpg");
        scrittore.setTransformation(QImageIOHandler::TransformationRotate90);
        QVERIFY(scrittore.write(grande));
    }
    sim->fileDaAprire.enqueue(scelta);
    Premi("btnSfoglia");
    QVERIFY(sim->messaggi.isEmpty());
    QCOMPARE(Foto().size(), QSize(1200, 1600));
    // Turned a quarter clockwise: the top band is now on the right.
    QVERIFY(qGray(Foto().pixel(1190, 800)) < 60);
    QVERIFY(qGray(Foto().pixel(10, 800)) > 150);

    Compila(QStringLiteral("BIANCHI LUCA"), QStringLiteral("01/01/2025"),
            QStringLiteral("31/12/2025"));
    Premi("cmdSalva");
    QCOMPARE(sim->UltimaForma(), Forma::Informazione);
    QCOMPARE(QImageReader(env->Percorso(QStringLiteral("1.jpg"))).size(), QSize(1200, 1600));
}

void TstAnagrafica::strumentiDiControllo_data()
{
    QTest::addColumn<QString>("pulsante");
    QTest::addColumn<QString>("campo");
    QTest::addColumn<QString>("tasti");
    QTest::addColumn<QString>("schermata");
    QTest::addColumn<QString>("ingresso");
    QTest::addColumn<QString>("atteso");
    QTest::newRow("codice fiscale di sole cifre va alla partita IVA") << "cmdCodFisc"
                                                                      << "txtCodFisc"
                                                                      << "12345678901"
                                                                      << "TfrmPartitaIva"
                                                                      << "txtPartitaIva"
                                                                      << "12345678901";
    QTest::newRow("codice fiscale") << "cmdCodFisc"
                                    << "txtCodFisc"
                                    << "rssmra80a01h501u"
                                    << "TfrmCodFisc"
                                    << "txtCodFisc"
                                    << "RSSMRA80A01H501U";
    QTest::newRow("codice fiscale vuoto") << "cmdCodFisc"
                                          << "txtCodFisc"
                                          << ""
                                          << "TfrmCodFisc"
                                          << "txtCodFisc"
                                          << "";
    QTest::newRow("partita IVA") << "cmdPartitaIva"
                                 << "txtPartitaIva"
                                 << "01234567890"
                                 << "TfrmPartitaIva"
                                 << "txtPartitaIva"
                                 << "01234567890";
    QTest::newRow("carta di credito") << "cmdCarta"
                                      << "txtCarta"
                                      << "4111111111111111"
                                      << "TfrmCarta"
                                      << "txtNumero"
                                      << "4111111111111111";
    QTest::newRow("IBAN") << "cmdIban"
                          << "txtIban"
                          << "it60x0542811101000000123456"
                          << "TfrmIban"
                          << "txtIban"
                          << "IT60X0542811101000000123456";
}

void TstAnagrafica::strumentiDiControllo()
{
    QFETCH(QString, pulsante);
    QFETCH(QString, campo);
    QFETCH(QString, tasti);
    QFETCH(QString, schermata);
    QFETCH(QString, ingresso);
    QFETCH(QString, atteso);
    Scrivi(Box(campo.toLatin1().constData()), tasti);
    QString ricevuto = QStringLiteral("<nessuna casella>");
    sim->modale = [&](QDialog *d) {
        if (auto *box = d->findChild<QLineEdit *>(ingresso))
            ricevuto = box->text();
    };
    Premi(pulsante.toLatin1().constData());
    QCOMPARE(sim->modaliMostrati, QStringList{schermata});
    QCOMPARE(ricevuto, atteso);
    QVERIFY2(w->findChildren<QDialog *>().isEmpty(), "the tool is discarded when it closes");
}

void TstAnagrafica::guida()
{
    QString titolo, testo;
    sim->modale = [&](QDialog *d) {
        titolo = Controllo<QLabel>(d, "lblTitolo")->text();
        testo = Controllo<QPlainTextEdit>(d, "txtGuida")->toPlainText();
    };
    Premi("cmdGuida");
    QCOMPARE(sim->modaliMostrati, QStringList{"TfrmGuida"});
    QCOMPARE(titolo, QStringLiteral("Archivio Tesserati."));
    const QStringList paragrafi =
        testo.split(QRegularExpression(QStringLiteral("\\n\\s*\\n")), Qt::SkipEmptyParts);
    QCOMPARE(paragrafi.size(), 11);
    QVERIFY(testo.contains(QStringLiteral("Tessera annullata")));
}

void TstAnagrafica::schermateAperte_data()
{
    QTest::addColumn<QString>("pulsante");
    QTest::addColumn<QString>("schermata");
    QTest::addColumn<QString>("memoria"); // what the opener wrote into lblMemory
    QTest::newRow("ricerca") << "cmdTrova"
                             << "TfrmTrovaAnagrafica"
                             << "anagrafica";
    QTest::newRow("tessere da rinnovare") << "cmdScadute"
                                          << "TfrmSospesi"
                                          << "";
    QTest::newRow("esportazione") << "cmdExcel"
                                  << "TfrmExpAnagrafica"
                                  << "";
}

void TstAnagrafica::schermateAperte()
{
    QFETCH(QString, pulsante);
    QFETCH(QString, schermata);
    QFETCH(QString, memoria);
    Archivio(2);
    QString letto;
    sim->modale = [&](QDialog *d) {
        if (auto *m = d->findChild<QLabel *>(QStringLiteral("lblMemory")))
            letto = m->text();
    };
    Premi(pulsante.toLatin1().constData());
    QCOMPARE(sim->modaliMostrati, QStringList{schermata});
    if (!memoria.isEmpty())
        QCOMPARE(letto, memoria);
    QVERIFY2(w->findChildren<QDialog *>().isEmpty(), "the screen is discarded when it closes");
}

void TstAnagrafica::stampaSchedaInformativa()
{
    // The sheet prints what the boxes hold, saved or not.
    Scrivi(Box("txtTesserato"), QStringLiteral("ROSSI MARIO"));
    sim->stampaSuPdf = env->Percorso(QStringLiteral("scheda.pdf"));
    Premi("cmdStampa");
    QCOMPARE(sim->dialoghiStampa, 1);
    QVERIFY(QFileInfo(sim->stampaSuPdf).size() > 0);
    QVERIFY(!QFile::exists(Archivio()));
}

void TstAnagrafica::chiusura()
{
    // The start screen comes back, created at its first opening.
    Schermate::Crea();
    Scrivi(Box("txtTesserato"), QStringLiteral("DA SCARTARE"));
    sim->risposteAnnulla.enqueue(Piattaforma::Risposta::No);
    Premi("cmdEsci");
    QVERIFY(!w->isVisible());
    QVERIFY(Schermate::Avvio()->isVisible());
    Schermate::Distruggi();

    // Kept, and cleared the next time it is shown.
    w->show();
    QCOMPARE(Box("txtTesserato")->text(), QString());
    QCOMPARE(Box("txtDataRil")->text(), QStringLiteral("15/06/2025"));
}

void TstAnagrafica::fotoInvariataNonRiscritta()
{
    // Ten saves of a record whose photo was not touched leave the photo file byte for
    // byte: a JPEG encoded again loses quality at every save.
    Archivio(1);
    const QString file = env->Percorso(QStringLiteral("1.jpg"));
    const QByteArray originale = Jpeg(300, 200);
    {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(originale);
    }
    Premi("cmdPrimo");
    QCOMPARE(Foto().size(), QSize(300, 200));
    for (int i = 0; i < 10; ++i) {
        Box("txtTelCel")->setText(QStringLiteral("33312345%1").arg(i, 2, 10, QLatin1Char('0')));
        Premi("cmdSalva");
        QCOMPARE(sim->UltimaForma(), Forma::Informazione);
        QCOMPARE(Costruttore::LeggiFile(file), originale);
    }
    QCOMPARE(sim->messaggi.size(), 10);
    QCOMPARE(Costruttore::Campo(Costruttore::LeggiFile(Archivio()), "TelCel"),
             QByteArray("3331234509"));
}

void TstAnagrafica::fotoNonScrittaRestaDaSalvare()
{
    // A photo that could not be written is still a change on screen: leaving asks, and
    // Annulla keeps the screen with the picture.
    QVERIFY(QDir().mkdir(env->Percorso(QStringLiteral("1.jpg"))));
    Compila(QStringLiteral("GIALLI EVA"), QStringLiteral("01/01/2025"),
            QStringLiteral("31/12/2025"));
    w->RiceviFoto(Immagine(60, 80, Qt::green));
    Premi("cmdSalva");
    QCOMPARE(sim->messaggi.size(), 2);
    QCOMPARE(sim->messaggi[0].forma, Forma::Avviso);
    sim->risposteAnnulla.enqueue(Piattaforma::Risposta::Annulla);
    Premi("cmdEsci");
    QCOMPARE(sim->messaggi.size(), 3);
    QCOMPARE(sim->UltimaForma(), Forma::DomandaAnnulla);
    QVERIFY(w->isVisible());
    QCOMPARE(Foto().size(), QSize(60, 80));
}

void TstAnagrafica::fotoCambiataScritta_data()
{
    QTest::addColumn<QString>("azione");
    QTest::newRow("caricata da file") << "caricata";
    QTest::newRow("scattata con la webcam") << "scattata";
    QTest::newRow("cancellata") << "cancellata";
    QTest::newRow("file sparito dopo la lettura") << "sparita";
}

void TstAnagrafica::fotoCambiataScritta()
{
    // A photo changed on screen, or whose file is missing, is written at the save.
    QFETCH(QString, azione);
    Archivio(1);
    const QString file = env->Percorso(QStringLiteral("1.jpg"));
    const QByteArray originale = Jpeg(300, 200);
    {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(originale);
    }
    Premi("cmdPrimo");
    QCOMPARE(Foto().size(), QSize(300, 200));
    QSize attesa(60, 80);
    if (azione == u"caricata") {
        const QString verde = env->Percorso(QStringLiteral("verde.png"));
        QVERIFY(Immagine(60, 80, Qt::green).save(verde));
        sim->fileDaAprire.enqueue(verde);
        Premi("btnSfoglia");
    } else if (azione == u"scattata") {
        w->RiceviFoto(Immagine(60, 80, Qt::green));
    } else if (azione == u"cancellata") {
        Premi("btnCancFoto");
        attesa = Bianca().size();
    } else {
        QVERIFY(QFile::remove(file));
        attesa = QSize(300, 200);
    }
    Premi("cmdSalva");
    QCOMPARE(sim->messaggi.size(), 1);
    QCOMPARE(sim->UltimaForma(), Forma::Informazione);
    const QByteArray scritta = Costruttore::LeggiFile(file);
    QVERIFY(scritta != originale);
    QImage letta;
    QVERIFY(letta.loadFromData(scritta, "JPG"));
    QCOMPARE(letta.size(), attesa);
    if (azione == u"cancellata") {
        // The placeholder, as the screen shows it for a new record.
        QImage bianca(Bianca().size(), QImage::Format_RGB32);
        bianca.fill(Qt::white);
        QPainter(&bianca).drawImage(0, 0, Bianca());
        QBuffer b;
        b.open(QIODevice::WriteOnly);
        QImageWriter jpeg(&b, "jpg");
        jpeg.setQuality(90);
        QVERIFY(jpeg.write(bianca));
        QCOMPARE(scritta, b.data());
    } else if (azione != u"sparita") {
        QVERIFY(qGreen(letta.pixel(30, 40)) > 200 && qRed(letta.pixel(30, 40)) < 60);
    }
    // Written once: a second save leaves the new file as it is.
    Premi("cmdSalva");
    QCOMPARE(Costruttore::LeggiFile(file), scritta);
}

QTEST_MAIN(TstAnagrafica)
#include "tst_anagrafica.moc"
