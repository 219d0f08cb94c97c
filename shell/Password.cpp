#include "shell/Password.h"

#include "archive/FileSicuro.h"
#include "archive/Impostazioni.h"
#include "archive/Testo.h"
#include "platform/Finestra.h"
#include "platform/Piattaforma.h"
#include "shell/Guscio.h"
#include "shell/core/Crypt.h"
#include "shell/core/PasswordIniziale.h"
#include "widgets/Controlli.h"
#include "widgets/Tavolozza.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include <exception>

namespace Accesso {
QString FilePassword()
{
    return QDir(Piattaforma::CartellaProgramma()).filePath(QStringLiteral("unins000.dll"));
}

void PreparaCartellaDati()
{
    if (Piattaforma::CartellaProgramma() == Piattaforma::CartellaEseguibile())
        return;
    // A folder made by an earlier version, or by hand, may be open to every account.
    RestringiCartella(Piattaforma::CartellaProgramma());
    try {
        PosaPasswordIniziale(FilePassword());
    } catch (const std::exception &) {
        // Left to the login, which reports a password file it cannot read.
    }
}
} // namespace Accesso

namespace {
const char *const MsgErrata = "Attenzione: password errata.";
const char16_t *const MsgErroreLettura =
    u"Attenzione: si è verificato un errore durante la procedura di lettura della password. "
    u"Si consiglia di reinstallare il software.";
} // namespace

TfrmPassword::TfrmPassword(QWidget *parent) : QWidget(parent, Finestra::FlagsFissa)
{
    setObjectName(QStringLiteral("frmPassword"));
    setWindowTitle(QStringLiteral(" Quorvel - Accesso"));

    // Gradient backgrounds, steel blue to white.
    auto *pan = Guscio::PannelloPassword(this, QRect(0, 150, 520, 170));
    auto *titolo = new QFrame(pan);
    titolo->setObjectName(QStringLiteral("shpTitolo"));
    titolo->setStyleSheet(
        Tavolozza::Colora(QStringLiteral("QFrame#shpTitolo { background: qlineargradient(x1:0, "
                                         "y1:0, x2:1, y2:0, stop:0 @Acciaio, stop:1 @Bianco); }")));

    auto *logo =
        Guscio::Figura(pan, "imgLogo", QStringLiteral(":/shell/banner_password.svg"), {520, 150});
    logo->move(0, 0);
    titolo->setGeometry(30, 172, 460, 30);

    auto *rigo = new QLabel(QStringLiteral("Immetti la password e premi OK."), pan);
    rigo->setObjectName(QStringLiteral("lblRigo05"));
    rigo->setFont(QFont(QStringLiteral("Verdana"), 11, QFont::Bold));
    rigo->setStyleSheet(Tavolozza::Colora(QStringLiteral("color: @Blu; background: transparent;")));
    rigo->setGeometry(40, 172, 440, 30);

    effPassword = new QFrame(pan);
    effPassword->setObjectName(QStringLiteral("effPassword"));
    effPassword->setStyleSheet(
        Tavolozza::Colora(QStringLiteral("background: @Oro; border-radius: 4px;")));
    effPassword->setGeometry(36, 210, 448, 44);
    effPassword->hide();

    txtPassword = new QLineEdit(pan);
    txtPassword->setObjectName(QStringLiteral("txtPassword"));
    txtPassword->setEchoMode(QLineEdit::Password);
    txtPassword->setFont(QFont(QStringLiteral("Verdana"), 14, QFont::Bold));
    txtPassword->setGeometry(40, 214, 440, 36);
    txtPassword->installEventFilter(this);

    auto *cambia = new QPushButton(QStringLiteral("Cambia password"), pan);
    cambia->setObjectName(QStringLiteral("btnCambiaPassword"));
    cambia->setGeometry(40, 270, 170, 34);
    cmdOK = new QPushButton(QStringLiteral("OK"), pan);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(260, 270, 105, 34);
    cmdOK->setEnabled(false);
    auto *esci = new QPushButton(QStringLiteral("Esci"), pan);
    esci->setObjectName(QStringLiteral("cmdEsci"));
    esci->setGeometry(375, 270, 105, 34);

    lblMemory = new QLabel(pan);
    lblMemory->setObjectName(QStringLiteral("lblMemory"));
    lblMemory->hide();

    setTabOrder(txtPassword, cmdOK);
    setTabOrder(cmdOK, esci);
    setTabOrder(esci, cambia);

    connect(txtPassword, &QLineEdit::textChanged, this, &TfrmPassword::txtPasswordChange);
    connect(cmdOK, &QPushButton::clicked, this, &TfrmPassword::cmdOKClick);
    connect(esci, &QPushButton::clicked, this, &TfrmPassword::cmdEsciClick);
    connect(cambia, &QPushButton::clicked, this, &TfrmPassword::btnCambiaPasswordClick);

    pan->setFixedSize(520, 320);
    Finestra::Fissa(this, Finestra::Centro::Schermo);
}

void TfrmPassword::FormShow()
{
    txtPassword->setFocus(Qt::OtherFocusReason);
}

void TfrmPassword::txtPasswordChange()
{
    cmdOK->setEnabled(!Testo::Trim32(txtPassword->text()).isEmpty());
}

void TfrmPassword::txtPasswordKeyUp()
{
    txtPasswordChange();
}

bool TfrmPassword::txtPasswordKeyDown(int tasto)
{
    if (tasto != Qt::Key_Return && tasto != Qt::Key_Enter)
        return false;
    if (!Testo::Trim32(txtPassword->text()).isEmpty())
        cmdOKClick();
    return true;
}

void TfrmPassword::txtPasswordEnter()
{
    effPassword->show();
}
void TfrmPassword::txtPasswordExit()
{
    effPassword->hide();
}

void TfrmPassword::cmdOKClick()
{
    QString memorizzata;
    try {
        // Read at each attempt: a missing file, section or key is the empty password.
        const TFileIni ini(Accesso::FilePassword());
        lblMemory->setText(
            ini.Leggi(QString::fromLatin1(Accesso::Sezione), QString::fromLatin1(Accesso::Chiave)));
        lblMemory->setText(Crypt::Decrypt(lblMemory->text()));
        memorizzata = Testo::Trim32(lblMemory->text());
    } catch (const std::exception &) {
        Piattaforma::Messaggio(QString::fromUtf16(MsgErroreLettura), this);
        return;
    }
    const QString digitata = Testo::Trim32(Testo::MaiuscoleAZ(txtPassword->text()));
    if (digitata == memorizzata && !digitata.isEmpty()) {
        emit AccessoRiuscito();
        hide();
        return;
    }
    Piattaforma::Messaggio(QString::fromLatin1(MsgErrata), this);
    txtPassword->clear();
    txtPassword->setFocus(Qt::OtherFocusReason);
}

void TfrmPassword::cmdEsciClick()
{
    close();
}

void TfrmPassword::btnCambiaPasswordClick()
{
    emit CambioRichiesto();
    hide();
}

void TfrmPassword::MostraVuota()
{
    txtPassword->clear();
    lblMemory->clear();
    show();
    raise();
    activateWindow();
    txtPassword->setFocus(Qt::OtherFocusReason);
}

void TfrmPassword::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    Finestra::Centra(this, Finestra::Centro::Schermo);
    FormShow();
}

void TfrmPassword::closeEvent(QCloseEvent *e)
{
    // "Esci" ends the run.
    e->accept();
    QCoreApplication::exit(0);
}

bool TfrmPassword::eventFilter(QObject *o, QEvent *e)
{
    if (o == txtPassword) {
        switch (e->type()) {
        case QEvent::KeyPress:
            if (txtPasswordKeyDown(static_cast<QKeyEvent *>(e)->key()))
                return true;
            break;
        case QEvent::KeyRelease:
            txtPasswordKeyUp();
            break;
        case QEvent::FocusIn:
            txtPasswordEnter();
            break;
        case QEvent::FocusOut:
            txtPasswordExit();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(o, e);
}
