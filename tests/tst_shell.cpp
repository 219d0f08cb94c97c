// Start-up, screen flow, login and change of password, driven through the screens' controls.
#include "support/Supporto.h"

#include "cards/Tessera.h"
#include "cards/Tessere.h"
#include "registry/Anagrafica.h"
#include "registry/Calendario.h"
#include "shell/Avvio.h"
#include "shell/CambiaPassword.h"
#include "shell/Guida.h"
#include "shell/Info.h"
#include "shell/Password.h"
#include "shell/Schermate.h"
#include "shell/Splash.h"
#include "widgets/Controlli.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <memory>

namespace {
// "GIRASOLIDILUNA" and "LUNA2025" scrambled by hand from the file format.
const QByteArray Iniziale = "A5823867F71E9DE7318671AFD794";
const QByteArray Luna2025 = "AEC2FE5E1C47165E";

const QString Errata = QStringLiteral("Attenzione: password errata.");
const QString ErroreLettura = QStringLiteral(
    "Attenzione: si è verificato un errore durante la procedura di lettura della password. "
    "Si consiglia di reinstallare il software.");
const QString VecchiaErrata = QStringLiteral("Attenzione: vecchia password errata.");
const QString NonConfermata = QStringLiteral(
    "Attenzione: la nuova password non è stata confermata correttamente. E' necessario "
    "reinserire entrambi i valori.");
const QString Completata = QStringLiteral("Modifica della password completata con successo.");
const QString ErroreModifica = QStringLiteral(
    "Attenzione: si è verificato un errore durante la procedura di modifica della password. "
    "Si consiglia di reinstallare il software.");
} // namespace

class TestShell : public QObject {
    Q_OBJECT

    std::unique_ptr<Ambiente> env;

    Simulazione &sim() { return env->sim(); }
    QString FilePassword() const { return env->Percorso(QStringLiteral("unins000.dll")); }
    void ScriviPassword(const QByteArray &valore)
    {
        QFile f(FilePassword());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[Accesso]\r\nValore=" + valore + "\r\n");
    }
    QWidget *Login() { return Schermate::Password(); }
    QWidget *Avvio() { return Schermate::Avvio(); }
    QWidget *Cambia() { return Schermate::CambiaPassword(); }
    // A screen of the registry by its objectName, created if not yet opened.
    static QWidget *DalRegistro(const QString &nome)
    {
        if (nome == u"frmAvvio")
            return Schermate::Avvio();
        if (nome == u"frmCambiaPassword")
            return Schermate::CambiaPassword();
        if (nome == u"frmAnagrafica")
            return Schermate::Anagrafica();
        if (nome == u"frmTessera")
            return Schermate::Tessera();
        return Schermate::Tessere();
    }
    // The top-level screens (objectName "frm...") in existence.
    static QStringList Esistenti()
    {
        QStringList nomi;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->objectName().startsWith(u"frm"))
                nomi << w->objectName();
        nomi.sort();
        return nomi;
    }
    QLineEdit *Campo(QWidget *w, const char *nome) { return Controllo<QLineEdit>(w, nome); }
    // Types any text key by key, accented letters and symbols included.
    static void Digita(QWidget *w, const QString &testo)
    {
        for (QChar c : testo)
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }

    // Types the password into the login screen and presses OK.
    void Accedi(const QString &password)
    {
        auto *txt = Campo(Login(), "txtPassword");
        txt->clear();
        Digita(txt, password);
        Controllo<QPushButton>(Login(), "cmdOK")->click();
    }
    void ApriCambio()
    {
        Login()->show();
        Controllo<QPushButton>(Login(), "btnCambiaPassword")->click();
        QVERIFY(Cambia()->isVisible());
        QVERIFY(!Login()->isVisible());
        QVERIFY(QTest::qWaitForWindowActive(Cambia()));
    }
    void Compila(const QString &vecchia, const QString &nuova, const QString &conferma)
    {
        Digita(Campo(Cambia(), "txtPasswordOld"), vecchia);
        Digita(Campo(Cambia(), "txtPasswordNew"), nuova);
        Digita(Campo(Cambia(), "txtConferma"), conferma);
    }
    void Conferma() { Controllo<QPushButton>(Cambia(), "cmdOK")->click(); }

private slots:
    void init()
    {
        env = std::make_unique<Ambiente>();
        ScriviPassword(Iniziale);
        Schermate::Crea();
        Login()->show();
        Login()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(Login()));
    }
    void cleanup()
    {
        Schermate::Distruggi();
        env.reset();
    }

    void schermateCreate_data()
    {
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QString>("titolo");
        QTest::addColumn<bool>("massimizzata");
        const struct {
            const char *nome;
            const char16_t *titolo;
            bool massimizzata;
        } righe[] = {
            {"frmAvvio", u" Quorvel", true},
            {"frmCambiaPassword", u" Cambia password", false},
            {"frmGuida", u" Guida all'utilizzo del software", false},
            {"frmInfo", u" Informazioni su Quorvel", false},
            {"frmAnagrafica", u" Quorvel - Archivio Tesserati", true},
            {"frmTessera", u" Quorvel - Stampa tessera singola", true},
            {"frmTessere", u" Quorvel - Stampa più tessere", true},
            {"frmCalendario", u" Importazione data", false},
        };
        for (const auto &r : righe)
            QTest::newRow(r.nome) << QString::fromLatin1(r.nome) << QString::fromUtf16(r.titolo)
                                  << r.massimizzata;
    }
    void schermateCreate()
    {
        QFETCH(QString, nome);
        QFETCH(QString, titolo);
        QFETCH(bool, massimizzata);
        // The shell's screens come from the registry, the dialogs from their openers.
        std::unique_ptr<QWidget> dialogo;
        if (nome == u"frmGuida")
            dialogo = std::make_unique<TfrmGuida>();
        else if (nome == u"frmInfo")
            dialogo = std::make_unique<TfrmInfo>();
        else if (nome == u"frmCalendario")
            dialogo = std::make_unique<TfrmCalendario>();
        QWidget *trovata = dialogo ? dialogo.get() : DalRegistro(nome);
        QCOMPARE(trovata->objectName(), nome);
        QCOMPARE(trovata->windowTitle(), titolo);
        QCOMPARE(trovata->windowState().testFlag(Qt::WindowMaximized), massimizzata);
        // Fixed screens have a title bar without buttons.
        QCOMPARE(trovata->windowFlags().testFlag(Qt::CustomizeWindowHint), !massimizzata);
        if (!massimizzata)
            QVERIFY(!trovata->windowFlags().testFlag(Qt::WindowCloseButtonHint));
        // Only the login screen shows at start-up.
        QVERIFY(!trovata->isVisible());
        QVERIFY(Login()->isVisible());
        QVERIFY(Login()->windowTitle().startsWith(u' '));
    }

    void soloAccessoAllAvvio()
    {
        // Start-up makes the login screen alone; the start screen comes with the login and
        // the password-change screen with its button, each once.
        QCOMPARE(Esistenti(), QStringList{QStringLiteral("frmPassword")});
        Accedi(QStringLiteral("girasolidiluna"));
        QCOMPARE(Esistenti(),
                 QStringList({QStringLiteral("frmAvvio"), QStringLiteral("frmPassword")}));
        Login()->show();
        Controllo<QPushButton>(Login(), "btnCambiaPassword")->click();
        Controllo<QPushButton>(Cambia(), "cmdEsci")->click();
        QVERIFY(Login()->isVisible());
        Controllo<QPushButton>(Login(), "btnCambiaPassword")->click();
        QCOMPARE(Esistenti(),
                 QStringList({QStringLiteral("frmAvvio"), QStringLiteral("frmCambiaPassword"),
                              QStringLiteral("frmPassword")}));
    }

    void accessoAccettato_data()
    {
        QTest::addColumn<QString>("digitata");
        QTest::newRow("minuscole") << QStringLiteral("girasolidiluna");
        QTest::newRow("misto con spazi") << QStringLiteral("  GiraSoliDiLuna  ");
        QTest::newRow("maiuscole") << QStringLiteral("GIRASOLIDILUNA");
    }
    void accessoAccettato()
    {
        QFETCH(QString, digitata);
        Accedi(digitata);
        QVERIFY(sim().messaggi.isEmpty());
        QVERIFY(Avvio()->isVisible());
        QVERIFY(!Login()->isVisible());
        QCOMPARE(Campo(Login(), "txtPassword")->text(), digitata);
    }

    void passwordErrata()
    {
        auto *txt = Campo(Login(), "txtPassword");
        QVERIFY(txt->echoMode() == QLineEdit::Password);
        Accedi(QStringLiteral("girasoli"));
        QCOMPARE(sim().messaggi.size(), 1);
        QCOMPARE(sim().UltimaForma(), Piattaforma::Forma::Messaggio);
        QCOMPARE(sim().UltimoMessaggio(), Errata);
        QVERIFY(txt->text().isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(txt->hasFocus(), 2000);
        QVERIFY(!Avvio()->isVisible());
        // An accented lower-case letter is compared as typed.
        Accedi(QStringLiteral("girasolidilunà"));
        QCOMPARE(sim().UltimoMessaggio(), Errata);
        // The next correct attempt, by Enter, logs in.
        Digita(txt, QStringLiteral("girasolidiluna"));
        QTest::keyClick(txt, Qt::Key_Return);
        QVERIFY(Avvio()->isVisible());
        QCOMPARE(sim().messaggi.size(), 2);
    }

    void campoVuotoNonAccede()
    {
        auto *txt = Campo(Login(), "txtPassword");
        auto *ok = Controllo<QPushButton>(Login(), "cmdOK");
        QVERIFY(!ok->isEnabled());
        Digita(txt, QStringLiteral("   "));
        QVERIFY(!ok->isEnabled());
        QTest::keyClick(txt, Qt::Key_Return);
        QVERIFY(sim().messaggi.isEmpty());
        QVERIFY(Login()->isVisible());
        Digita(txt, QStringLiteral("x"));
        QVERIFY(ok->isEnabled());
        QTest::keyClick(txt, Qt::Key_Backspace);
        QVERIFY(!ok->isEnabled());
    }

    void fileMancanteRifiutaTutto()
    {
        QVERIFY(QFile::remove(FilePassword()));
        Accedi(QStringLiteral("girasolidiluna"));
        QCOMPARE(sim().UltimoMessaggio(), Errata);
        Accedi(QStringLiteral("x"));
        QCOMPARE(sim().UltimoMessaggio(), Errata);
        QVERIFY(!Avvio()->isVisible());
    }

    void valoreNelFile_data()
    {
        QTest::addColumn<QByteArray>("valore");
        QTest::addColumn<bool>("accede");
        QTest::newRow("cifre minuscole") << Iniziale.toLower() << true;
        QTest::newRow("lunghezza dispari") << Iniziale + "7" << true;
        QTest::newRow("non esadecimale") << QByteArray("A5823867ZZ") << false;
    }
    void valoreNelFile()
    {
        QFETCH(QByteArray, valore);
        QFETCH(bool, accede);
        ScriviPassword(valore);
        Accedi(QStringLiteral("girasolidiluna"));
        QCOMPARE(Avvio()->isVisible(), accede);
        if (!accede) {
            QCOMPARE(sim().UltimoMessaggio(), ErroreLettura);
            QCOMPARE(Campo(Login(), "txtPassword")->text(), QStringLiteral("girasolidiluna"));
            QVERIFY(Login()->isVisible());
        }
    }

    void cambioCompleto()
    {
        ApriCambio();
        auto *ok = Controllo<QPushButton>(Cambia(), "cmdOK");
        QVERIFY(!ok->isEnabled());
        Compila(QStringLiteral("girasolidiluna"), QStringLiteral("luna2025"), QString());
        QVERIFY(!ok->isEnabled());
        Digita(Campo(Cambia(), "txtConferma"), QStringLiteral("  luna2025"));
        QVERIFY(ok->isEnabled());
        Conferma();
        QCOMPARE(sim().UltimoMessaggio(), Completata);
        QCOMPARE(sim().UltimaForma(), Piattaforma::Forma::Messaggio);
        QVERIFY(Costruttore::LeggiFile(FilePassword()).contains("Valore=" + Luna2025));
        // The login screen is back with an empty field.
        QVERIFY(!Cambia()->isVisible());
        QVERIFY(Login()->isVisible());
        QVERIFY(Campo(Login(), "txtPassword")->text().isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(Campo(Login(), "txtPassword")->hasFocus(), 2000);

        Accedi(QStringLiteral("girasolidiluna"));
        QCOMPARE(sim().UltimoMessaggio(), Errata);
        Accedi(QStringLiteral("LuNa2025"));
        QVERIFY(Avvio()->isVisible());
    }

    void vecchiaErrataSvuotaSoloQuella()
    {
        ApriCambio();
        Compila(QStringLiteral("sbagliata"), QStringLiteral("nuova1"), QStringLiteral("nuova1"));
        Conferma();
        QCOMPARE(sim().UltimoMessaggio(), VecchiaErrata);
        QVERIFY(Campo(Cambia(), "txtPasswordOld")->text().isEmpty());
        QCOMPARE(Campo(Cambia(), "txtPasswordNew")->text(), QStringLiteral("nuova1"));
        QCOMPARE(Campo(Cambia(), "txtConferma")->text(), QStringLiteral("nuova1"));
        QTRY_VERIFY_WITH_TIMEOUT(Campo(Cambia(), "txtPasswordOld")->hasFocus(), 2000);
        QVERIFY(Cambia()->isVisible());
        QVERIFY(Costruttore::LeggiFile(FilePassword()).contains(Iniziale));
    }

    // A new password that would be refused at every login is not stored.
    void nuovaRifiutata_data()
    {
        QTest::addColumn<QString>("nuova");
        QTest::addColumn<QString>("conferma");
        QTest::addColumn<QString>("messaggio");
        QTest::newRow("non confermata")
            << QStringLiteral("luna") << QStringLiteral("LUNA") << NonConfermata;
        QTest::newRow("256 caratteri")
            << QString(256, u'a') << QString(256, u'a') << QStringLiteral("255 caratteri");
        QTest::newRow("euro") << QStringLiteral("luna€2025") << QStringLiteral("luna€2025")
                              << QStringLiteral("255 caratteri");
    }
    void nuovaRifiutata()
    {
        QFETCH(QString, nuova);
        QFETCH(QString, conferma);
        QFETCH(QString, messaggio);
        ApriCambio();
        Compila(QStringLiteral("girasolidiluna"), nuova, conferma);
        Conferma();
        QCOMPARE(sim().messaggi.size(), 1);
        QCOMPARE(sim().UltimaForma(), Piattaforma::Forma::Messaggio);
        QVERIFY2(sim().UltimoMessaggio().contains(messaggio), qPrintable(sim().UltimoMessaggio()));
        QVERIFY(sim().UltimoMessaggio().startsWith(QStringLiteral("Attenzione: ")));
        QCOMPARE(Campo(Cambia(), "txtPasswordOld")->text(), QStringLiteral("girasolidiluna"));
        QVERIFY(Campo(Cambia(), "txtPasswordNew")->text().isEmpty());
        QVERIFY(Campo(Cambia(), "txtConferma")->text().isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(Campo(Cambia(), "txtPasswordNew")->hasFocus(), 2000);
        QVERIFY(Costruttore::LeggiFile(FilePassword()).contains(Iniziale));
        // The current password still admits the user.
        Controllo<QPushButton>(Cambia(), "cmdEsci")->click();
        Accedi(QStringLiteral("girasolidiluna"));
        QVERIFY(Avvio()->isVisible());
    }

    void valoreIllegibileNelCambio()
    {
        ScriviPassword("A5823867ZZ");
        ApriCambio();
        Compila(QStringLiteral("girasolidiluna"), QStringLiteral("y"), QStringLiteral("y"));
        Conferma();
        QCOMPARE(sim().UltimoMessaggio(), ErroreModifica);
        QVERIFY(Cambia()->isVisible());
        QCOMPARE(Campo(Cambia(), "txtPasswordOld")->text(), QStringLiteral("girasolidiluna"));
        QCOMPARE(Campo(Cambia(), "txtConferma")->text(), QStringLiteral("y"));
        QCOMPARE(Costruttore::LeggiFile(FilePassword()),
                 QByteArray("[Accesso]\r\nValore=A5823867ZZ\r\n"));
    }

    void invioGiraTraICampi()
    {
        ApriCambio();
        auto *old = Campo(Cambia(), "txtPasswordOld");
        QTRY_VERIFY_WITH_TIMEOUT(old->hasFocus(), 2000);
        QVERIFY(Controllo<QWidget>(Cambia(), "effPasswordOld")->isVisible());
        Digita(old, QStringLiteral("girasolidiluna"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), Campo(Cambia(), "txtPasswordNew"));
        QVERIFY(!Controllo<QWidget>(Cambia(), "effPasswordOld")->isVisible());
        QVERIFY(Controllo<QWidget>(Cambia(), "effPasswordNew")->isVisible());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), Campo(Cambia(), "txtConferma"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), old);
        QVERIFY(sim().messaggi.isEmpty());
    }

    void chiudiRiportaAlLogin()
    {
        Campo(Login(), "txtPassword")->setText(QStringLiteral("qualcosa"));
        ApriCambio();
        Compila(QStringLiteral("girasolidiluna"), QStringLiteral("a"), QStringLiteral("a"));
        Controllo<QPushButton>(Cambia(), "cmdEsci")->click();
        QVERIFY(!Cambia()->isVisible());
        QVERIFY(Login()->isVisible());
        QVERIFY(Campo(Login(), "txtPassword")->text().isEmpty());
        QVERIFY(Costruttore::LeggiFile(FilePassword()).contains(Iniziale));
        // Shown again, it starts empty.
        ApriCambio();
        QVERIFY(Campo(Cambia(), "txtPasswordOld")->text().isEmpty());
        QVERIFY(Campo(Cambia(), "txtPasswordNew")->text().isEmpty());
        QVERIFY(!Controllo<QPushButton>(Cambia(), "cmdOK")->isEnabled());
    }

    void riquadriEChiusura_data()
    {
        QTest::addColumn<QString>("riquadro");
        QTest::addColumn<QString>("schermata");
        QTest::newRow("archivio") << "imgArchivio"
                                  << "frmAnagrafica";
        QTest::newRow("tessera") << "btnTessera"
                                 << "frmTessera";
        QTest::newRow("tessere") << "infTessere"
                                 << "frmTessere";
    }
    void riquadriEChiusura()
    {
        QFETCH(QString, riquadro);
        QFETCH(QString, schermata);
        Accedi(QStringLiteral("girasolidiluna"));
        QVERIFY(Avvio()->isVisible());
        auto *tile = Controllo<TImmagine>(Avvio(), qPrintable(riquadro));
        // Created at its first opening, and the one instance ever after.
        QVERIFY(!Esistenti().contains(schermata));
        QTest::mouseClick(tile, Qt::LeftButton);
        QCOMPARE(Esistenti().count(schermata), 1);
        QWidget *principale = DalRegistro(schermata);
        QVERIFY(principale->isVisible());
        QVERIFY(!Avvio()->isVisible());
        // Its title-bar close box brings the start screen back and keeps the screen.
        QVERIFY(principale->close());
        QVERIFY(!principale->isVisible());
        QVERIFY(Avvio()->isVisible());
        QVERIFY(!Login()->isVisible());
        QTest::mouseClick(tile, Qt::LeftButton);
        QVERIFY(principale->isVisible());
        QCOMPARE(Esistenti().count(schermata), 1);
    }

    void chiusuraAvvioTermina_data()
    {
        QTest::addColumn<bool>("conCroce");
        QTest::newRow("imgEsci") << true;
        QTest::newRow("chiusura finestra") << false;
    }
    void chiusuraAvvioTermina()
    {
        QFETCH(bool, conCroce);
        Accedi(QStringLiteral("girasolidiluna"));
        QTimer::singleShot(0, this, [this, conCroce] {
            if (conCroce)
                QTest::mouseClick(Controllo<TImmagine>(Avvio(), "imgEsci"), Qt::LeftButton);
            else
                Avvio()->close();
        });
        QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(1); });
        QCOMPARE(QCoreApplication::exec(), 0);
        QVERIFY(!Avvio()->isVisible());
        QVERIFY(!Login()->isVisible());
    }

    void esciTermina()
    {
        QTimer::singleShot(0, this,
                           [this] { Controllo<QPushButton>(Login(), "cmdEsci")->click(); });
        QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(1); });
        QCOMPARE(QCoreApplication::exec(), 0);
        QVERIFY(!Login()->isVisible());
    }

    void guidaDellAvvio()
    {
        QStringList titoli, testi;
        sim().modale = [&](QDialog *d) {
            titoli << Controllo<QLabel>(d, "lblTitolo")->text();
            auto *txt = Controllo<QPlainTextEdit>(d, "txtGuida");
            QVERIFY(txt->isReadOnly());
            QCOMPARE(txt->lineWrapMode(), QPlainTextEdit::WidgetWidth);
            testi << txt->toPlainText();
        };
        auto *guida = Controllo<TImmagine>(Avvio(), "imgGuida");
        QTest::mouseClick(guida, Qt::LeftButton);
        QTest::mouseClick(guida, Qt::LeftButton);
        QCOMPARE(sim().modaliMostrati,
                 QStringList({QStringLiteral("TfrmGuida"), QStringLiteral("TfrmGuida")}));
        QCOMPARE(titoli, QStringList(2, QStringLiteral("Uno sguardo a Quorvel")));
        QCOMPARE(testi.at(0), testi.at(1));
        // 24 paragraphs joined by an empty line.
        const QStringList paragrafi = Guscio::TestoGuidaAvvio().split(QStringLiteral("\r\n\r\n"));
        QCOMPARE(paragrafi.size(), 24);
        for (const QString &p : paragrafi)
            QVERIFY(!p.trimmed().isEmpty() && !p.contains(u'\n'));
        QVERIFY(paragrafi.at(22).contains(QStringLiteral("\"girasolidiluna\"")));
        QVERIFY(testi.at(0).contains(paragrafi.at(0)));
        QVERIFY(testi.at(0).contains(paragrafi.at(23)));
    }

    void guidaMostraIlChiamante()
    {
        // Any caller's topic shows as given; a new screen starts from its design text.
        TfrmGuida guida(Avvio());
        QCOMPARE(Controllo<QLabel>(&guida, "lblTitolo")->text(),
                 QStringLiteral("Argomento della guida."));
        Controllo<QLabel>(&guida, "lblTitolo")->setText(QStringLiteral("Stampa più tessere."));
        Controllo<QPlainTextEdit>(&guida, "txtGuida")
            ->setPlainText(QStringLiteral("Uno.\r\n\r\nDue."));
        guida.show();
        QCOMPARE(Controllo<QLabel>(&guida, "lblTitolo")->text(),
                 QStringLiteral("Stampa più tessere."));
        QVERIFY(Controllo<QPlainTextEdit>(&guida, "txtGuida")->toPlainText().contains(u"Due."));
        QTest::mouseClick(Controllo<QPushButton>(&guida, "btnChiudi"), Qt::LeftButton);
        QVERIFY(!guida.isVisible());
    }

    void aperturaDalDesktop()
    {
        const QString posta =
            QStringLiteral("\"mailto:info@quorvel-lab.example?subject=Software Quorvel&body=Salve, "
                           "desidererei avere le seguenti informazioni sul software in oggetto:\"");
        const QString sito = QStringLiteral("https://www.quorvel-lab.example");
        const QString pdf =
            u'"' + QDir::toNativeSeparators(env->cartella() + u'/') + QStringLiteral("Guida.pdf\"");
        sim().modale = [](QDialog *d) {
            // The link, then its icon.
            QTest::mouseClick(Controllo<TEtichetta>(d, "lnkWeb"), Qt::LeftButton);
            for (const char *icona : {"imgPDF", "imgEmail", "imgWeb"})
                if (auto *i = d->findChild<TImmagine *>(QLatin1String(icona)))
                    QTest::mouseClick(i, Qt::LeftButton);
            QTest::mouseClick(Controllo<QPushButton>(d, "btnChiudi"), Qt::LeftButton);
        };
        QTest::mouseClick(Controllo<TImmagine>(Avvio(), "imgGuida"), Qt::LeftButton);
        QTest::mouseClick(Controllo<TImmagine>(Avvio(), "imgInfo"), Qt::LeftButton);
        QTest::mouseClick(Controllo<TImmagine>(Avvio(), "imgCrediti"), Qt::LeftButton);
        QTest::mouseClick(Controllo<TImmagine>(Avvio(), "imgSito"), Qt::LeftButton);
        QCOMPARE(sim().modaliMostrati,
                 QStringList({QStringLiteral("TfrmGuida"), QStringLiteral("TfrmInfo"),
                              QStringLiteral("TfrmSplash")}));
        QCOMPARE(sim().aperti, QStringList({pdf, pdf, posta, posta, sito, sito, sito}));
        // A missing guide is not reported.
        QVERIFY(sim().messaggi.isEmpty());
        // The modal screens were destroyed when they closed.
        QVERIFY(Avvio()->findChildren<QDialog *>().isEmpty());
    }

    void guidaSenzaLettorePdf()
    {
        // A desktop with no program for PDF files: the user is told where the guide is.
        sim().aperturaFallisce = true;
        const QString pdf =
            QDir::toNativeSeparators(env->cartella() + u'/') + QStringLiteral("Guida.pdf");
        sim().modale = [](QDialog *d) {
            QTest::mouseClick(Controllo<TEtichetta>(d, "lnkWeb"), Qt::LeftButton);
        };
        QTest::mouseClick(Controllo<TImmagine>(Avvio(), "imgGuida"), Qt::LeftButton);
        QCOMPARE(sim().modaliMostrati, QStringList(QStringLiteral("TfrmGuida")));
        QCOMPARE(sim().aperti, QStringList(u'"' + pdf + u'"'));
        QCOMPARE(sim().messaggi.size(), 1);
        QCOMPARE(sim().UltimaForma(), Piattaforma::Forma::Avviso);
        QCOMPARE(sim().UltimoMessaggio(), QStringLiteral("Impossibile aprire la guida: nessun "
                                                         "programma per i file PDF. La guida è "
                                                         "il file ") +
                                              pdf);
    }

    void datiNellaCartellaUtente()
    {
        // An installed program: its folder cannot be written, the data go to the user's.
        ScriviPassword(Luna2025);
        const QString utente = env->Percorso(QStringLiteral("home/.local/share/Quorvel"));
        sim().cartellaUtente = utente;
        sim().cartellaScrivibile = false;
        const QString password = QDir(utente).filePath(QStringLiteral("unins000.dll"));

        // First start: the initial password is laid there, and it opens the program.
        Accesso::PreparaCartellaDati();
        QVERIFY(QFile(password).open(QIODevice::ReadOnly));
        QVERIFY(Costruttore::LeggiFile(password).contains("Valore=" + Iniziale));
        Login()->show();
        Accedi(QStringLiteral("girasolidiluna"));
        QVERIFY(sim().messaggi.isEmpty());
        QVERIFY(Avvio()->isVisible());

        // Later starts keep the user's own password.
        QFile::remove(password);
        QVERIFY(QFile(password).open(QIODevice::WriteOnly));
        Accesso::PreparaCartellaDati();
        QCOMPARE(Costruttore::LeggiFile(password), QByteArray());

        // The information screen says where the data are.
        QString testo;
        sim().modale = [&](QDialog *d) { testo = Controllo<QLabel>(d, "lblCartellaDati")->text(); };
        QTest::mouseClick(Controllo<TImmagine>(Avvio(), "imgInfo"), Qt::LeftButton);
        QCOMPARE(sim().modaliMostrati, QStringList(QStringLiteral("TfrmInfo")));
        QCOMPARE(testo, QStringLiteral("I dati di Quorvel (archivio, foto, impostazioni, "
                                       "password) sono nella cartella:\n") +
                            QDir::toNativeSeparators(utente));
        // Nothing new in the program folder.
        QCOMPARE(QDir(env->cartella()).entryList(QDir::Files | QDir::NoDotAndDotDot),
                 QStringList(QStringLiteral("unins000.dll")));
    }

    void nessunaPasswordNellaCartellaDelProgramma()
    {
        // A program folder that holds the data gets no password from the program.
        QFile::remove(FilePassword());
        Accesso::PreparaCartellaDati();
        QVERIFY(!QFile::exists(FilePassword()));
    }

    void guidaInstallata()
    {
        // A package puts the guide in <prefix>/share/quorvel, the program in <prefix>/bin.
        sim().cartella = env->Percorso(QStringLiteral("usr/bin"));
        const QString guida = env->Percorso(QStringLiteral("usr/share/quorvel/Guida.pdf"));
        QVERIFY(QDir().mkpath(sim().cartella) && QDir().mkpath(QFileInfo(guida).path()));
        QVERIFY(QFile(guida).open(QIODevice::WriteOnly));
        sim().modale = [](QDialog *d) {
            QTest::mouseClick(Controllo<TImmagine>(d, "imgPDF"), Qt::LeftButton);
        };
        QTest::mouseClick(Controllo<TImmagine>(Avvio(), "imgGuida"), Qt::LeftButton);
        QCOMPARE(sim().modaliMostrati, QStringList(QStringLiteral("TfrmGuida")));
        QCOMPARE(sim().aperti, QStringList(u'"' + QDir::toNativeSeparators(guida) + u'"'));
        // One beside the executable comes first.
        QVERIFY(QFile(sim().cartella + QStringLiteral("/Guida.pdf")).open(QIODevice::WriteOnly));
        QTest::mouseClick(Controllo<TImmagine>(Avvio(), "imgGuida"), Qt::LeftButton);
        QCOMPARE(sim().aperti.value(1),
                 u'"' + QDir::toNativeSeparators(sim().cartella + QStringLiteral("/Guida.pdf")) +
                     u'"');
    }

    void coloriDelLink()
    {
        TfrmInfo info(Avvio());
        info.show();
        auto *link = Controllo<TEtichetta>(&info, "lnkWeb");
        auto colore = [link] { return link->palette().color(QPalette::WindowText).rgba(); };
        QVERIFY(link->font().underline());
        QCOMPARE(colore(), Guscio::ColoreLink);
        QTest::mousePress(Controllo<TImmagine>(&info, "imgEmail"), Qt::LeftButton);
        QCOMPARE(colore(), Guscio::ColoreLinkPremuto);
        QTest::mouseRelease(Controllo<TImmagine>(&info, "imgEmail"), Qt::LeftButton);
        QCOMPARE(colore(), Guscio::ColoreLink);
        QTest::mousePress(link, Qt::LeftButton);
        QCOMPARE(colore(), Guscio::ColoreLinkPremuto);
        QTest::mouseRelease(link, Qt::LeftButton);
        QCOMPARE(colore(), Guscio::ColoreLink);
        QCOMPARE(sim().aperti.size(), 2);
    }
};

QTEST_MAIN(TestShell)
#include "tst_shell.moc"
