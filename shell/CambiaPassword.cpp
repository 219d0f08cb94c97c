#include "shell/CambiaPassword.h"

#include "archive/Impostazioni.h"
#include "archive/Testo.h"
#include "platform/Finestra.h"
#include "platform/Piattaforma.h"
#include "shell/Guscio.h"
#include "shell/Password.h"
#include "shell/core/Crypt.h"
#include "widgets/Controlli.h"
#include "widgets/Tavolozza.h"

#include <QCloseEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>

namespace {
const char *const MsgVecchiaErrata = "Attenzione: vecchia password errata.";
const char16_t *const MsgNonConfermata =
    u"Attenzione: la nuova password non è stata confermata correttamente. E' necessario "
    u"reinserire entrambi i valori.";
const char16_t *const MsgNonValida =
    u"Attenzione: la nuova password può contenere al massimo 255 caratteri, scelti tra "
    u"lettere, cifre, lettere accentate e comuni segni di punteggiatura. E' necessario "
    u"reinserire entrambi i valori.";
const char *const MsgCompletata = "Modifica della password completata con successo.";
const char16_t *const MsgErroreModifica =
    u"Attenzione: si è verificato un errore durante la procedura di modifica della password. "
    u"Si consiglia di reinstallare il software.";

// A stored password is matched at login only if the scrambling keeps it whole.
bool Memorizzabile(const QString &password)
{
    return password.size() <= TfrmCambiaPassword::LunghezzaMassima &&
           std::all_of(password.cbegin(), password.cend(),
                       [](QChar c) { return c.unicode() <= 0xFF; });
}
} // namespace

TfrmCambiaPassword::TfrmCambiaPassword(QWidget *parent) : QWidget(parent, Finestra::FlagsFissa)
{
    setObjectName(QStringLiteral("frmCambiaPassword"));
    setWindowTitle(QStringLiteral(" Cambia password"));

    auto *pan = Guscio::PannelloPassword(this, QRect(0, 150, 520, 300));
    Guscio::Figura(pan, "imgLogo", QStringLiteral(":/shell/banner_cambia.svg"), {520, 150})
        ->move(0, 0);

    // One row per field: caption, highlight rectangle, masked edit box.
    struct Riga {
        const char *etichetta, *testo, *campo, *evidenza;
        QLineEdit **edit;
        QWidget **eff;
    };
    const Riga righe[] = {
        {"lblRigo05", "Vecchia password:", "txtPasswordOld", "effPasswordOld", &txtPasswordOld,
         &effPasswordOld},
        {"lblRigo06", "Nuova password:", "txtPasswordNew", "effPasswordNew", &txtPasswordNew,
         &effPasswordNew},
        {"lblRigo07", "Conferma nuova password:", "txtConferma", "effConferma", &txtConferma,
         &effConferma},
    };
    int y = 172;
    for (const Riga &r : righe) {
        auto *lbl = new QLabel(QString::fromLatin1(r.testo), pan);
        lbl->setObjectName(QString::fromLatin1(r.etichetta));
        lbl->setFont(QFont(QStringLiteral("Verdana"), 10, QFont::Bold));
        lbl->setStyleSheet(
            Tavolozza::Colora(QStringLiteral("color: @Blu; background: transparent;")));
        lbl->setGeometry(40, y, 440, 22);
        auto *eff = new QFrame(pan);
        eff->setObjectName(QString::fromLatin1(r.evidenza));
        eff->setStyleSheet(
            Tavolozza::Colora(QStringLiteral("background: @Oro; border-radius: 4px;")));
        eff->setGeometry(36, y + 22, 448, 44);
        eff->hide();
        auto *edit = new QLineEdit(pan);
        edit->setObjectName(QString::fromLatin1(r.campo));
        edit->setEchoMode(QLineEdit::Password);
        edit->setFont(QFont(QStringLiteral("Verdana"), 14, QFont::Bold));
        edit->setGeometry(40, y + 26, 440, 36);
        edit->installEventFilter(this);
        *r.edit = edit;
        *r.eff = eff;
        y += 78;
    }

    cmdOK = new QPushButton(QStringLiteral("OK"), pan);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(260, y + 4, 105, 34);
    cmdOK->setEnabled(false);
    auto *esci = new QPushButton(QStringLiteral("Chiudi"), pan);
    esci->setObjectName(QStringLiteral("cmdEsci"));
    esci->setGeometry(375, y + 4, 105, 34);

    lblMemory = new QLabel(pan);
    lblMemory->setObjectName(QStringLiteral("lblMemory"));
    lblMemory->hide();

    setTabOrder(txtPasswordOld, txtPasswordNew);
    setTabOrder(txtPasswordNew, txtConferma);
    setTabOrder(txtConferma, cmdOK);
    setTabOrder(cmdOK, esci);

    connect(txtPasswordOld, &QLineEdit::textChanged, this,
            &TfrmCambiaPassword::txtPasswordOldChange);
    connect(txtPasswordNew, &QLineEdit::textChanged, this,
            &TfrmCambiaPassword::txtPasswordNewChange);
    connect(txtConferma, &QLineEdit::textChanged, this, &TfrmCambiaPassword::txtConfermaChange);
    connect(cmdOK, &QPushButton::clicked, this, &TfrmCambiaPassword::cmdOKClick);
    connect(esci, &QPushButton::clicked, this, &TfrmCambiaPassword::cmdEsciClick);

    pan->findChild<QFrame *>(QStringLiteral("shpSfondo"))->setFixedHeight(y + 60 - 150);
    pan->setFixedSize(520, y + 60);
    Finestra::Fissa(this, Finestra::Centro::Schermo);
}

void TfrmCambiaPassword::AggiornaOK()
{
    cmdOK->setEnabled(!Testo::Trim32(txtPasswordOld->text()).isEmpty() &&
                      !Testo::Trim32(txtPasswordNew->text()).isEmpty() &&
                      !Testo::Trim32(txtConferma->text()).isEmpty());
}

void TfrmCambiaPassword::txtPasswordOldChange()
{
    AggiornaOK();
}
void TfrmCambiaPassword::txtPasswordNewChange()
{
    AggiornaOK();
}
void TfrmCambiaPassword::txtConfermaChange()
{
    AggiornaOK();
}

void TfrmCambiaPassword::FormShow()
{
    txtPasswordOld->clear();
    txtPasswordNew->clear();
    txtConferma->clear();
    lblMemory->clear();
    AggiornaOK();
    txtPasswordOld->setFocus(Qt::OtherFocusReason);
}

void TfrmCambiaPassword::cmdOKClick()
{
    try {
        TFileIni ini(Accesso::FilePassword());
        const QString sezione = QString::fromLatin1(Accesso::Sezione);
        const QString chiave = QString::fromLatin1(Accesso::Chiave);
        lblMemory->setText(ini.Leggi(sezione, chiave));
        lblMemory->setText(Crypt::Decrypt(lblMemory->text()));
        const QString memorizzata = Testo::Trim32(lblMemory->text());

        if (Testo::Trim32(Testo::MaiuscoleAZ(txtPasswordOld->text())) != memorizzata) {
            Piattaforma::Messaggio(QString::fromLatin1(MsgVecchiaErrata), this);
            txtPasswordOld->clear();
            txtPasswordOld->setFocus(Qt::OtherFocusReason);
            return;
        }
        if (Testo::Trim32(txtPasswordNew->text()) != Testo::Trim32(txtConferma->text())) {
            Piattaforma::Messaggio(QString::fromUtf16(MsgNonConfermata), this);
            txtPasswordNew->clear();
            txtConferma->clear();
            txtPasswordNew->setFocus(Qt::OtherFocusReason);
            return;
        }
        const QString nuova = Testo::Trim32(Testo::MaiuscoleAZ(txtPasswordNew->text()));
        if (!Memorizzabile(nuova)) {
            // It could never be matched again at login: keep the current password.
            Piattaforma::Messaggio(QString::fromUtf16(MsgNonValida), this);
            txtPasswordNew->clear();
            txtConferma->clear();
            txtPasswordNew->setFocus(Qt::OtherFocusReason);
            return;
        }
        lblMemory->setText(Crypt::Encrypt(nuova));
        ini.Scrivi(sezione, chiave, Testo::Trim32(lblMemory->text()));
    } catch (const std::exception &) {
        Piattaforma::Messaggio(QString::fromUtf16(MsgErroreModifica), this);
        return;
    }
    Piattaforma::Messaggio(QString::fromLatin1(MsgCompletata), this);
    close();
}

void TfrmCambiaPassword::cmdEsciClick()
{
    close();
}

void TfrmCambiaPassword::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    Finestra::Centra(this, Finestra::Centro::Schermo);
    FormShow();
}

void TfrmCambiaPassword::closeEvent(QCloseEvent *e)
{
    // However it closes, the login screen comes back with an empty field.
    emit Chiusa();
    e->accept();
}

bool TfrmCambiaPassword::eventFilter(QObject *o, QEvent *e)
{
    // Enter moves along the ring of the three fields; it never runs the change.
    static const std::pair<const char *, const char *> anello[] = {
        {"txtPasswordOld", "txtPasswordNew"},
        {"txtPasswordNew", "txtConferma"},
        {"txtConferma", "txtPasswordOld"},
    };
    auto *campo = qobject_cast<QLineEdit *>(o);
    if (!campo)
        return QWidget::eventFilter(o, e);
    QWidget *eff = campo == txtPasswordOld   ? effPasswordOld
                   : campo == txtPasswordNew ? effPasswordNew
                                             : effConferma;
    switch (e->type()) {
    case QEvent::KeyPress: {
        const int k = static_cast<QKeyEvent *>(e)->key();
        if (k == Qt::Key_Return || k == Qt::Key_Enter) {
            for (const auto &[da, a] : anello)
                if (campo->objectName() == QLatin1String(da))
                    findChild<QLineEdit *>(QLatin1String(a))->setFocus(Qt::TabFocusReason);
            return true;
        }
        break;
    }
    case QEvent::KeyRelease:
        AggiornaOK();
        break;
    case QEvent::FocusIn:
        eff->show();
        break;
    case QEvent::FocusOut:
        eff->hide();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(o, e);
}
