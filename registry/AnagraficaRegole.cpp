// Input rules of the archive screen's boxes: digits only, trimming and upper-casing as
// typed, the sex box on key release, the province lists and the date key rule.
#include "registry/Anagrafica.h"

#include "archive/Testo.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>

#include <algorithm>

using Testo::Trim32;

namespace {

bool Modificatore(int k)
{
    return k == Qt::Key_Shift || k == Qt::Key_Control || k == Qt::Key_Alt || k == Qt::Key_Meta ||
           k == Qt::Key_AltGr || k == Qt::Key_CapsLock;
}

} // namespace

// ---- Input rules ----------------------------------------------------------------------

bool TfrmAnagrafica::FiltroCifre(QWidget *box, QKeyEvent *k)
{
    switch (k->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        for (const Casella &c : Caselle())
            if (box->objectName() == QLatin1String(c.nome))
                Mio(c.invio)->setFocus(Qt::OtherFocusReason);
        return true;
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Tab: // focus moves on as in every box
    case Qt::Key_Backtab:
        return false;
    default:
        break;
    }
    const QString t = k->text();
    const bool cifra = t.size() == 1 && t[0] >= u'0' && t[0] <= u'9' &&
                       !(k->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    return !cifra;
}

bool TfrmAnagrafica::eventFilter(QObject *oggetto, QEvent *e)
{
    auto *box = qobject_cast<QWidget *>(oggetto);
    if (!box)
        return QWidget::eventFilter(oggetto, e);
    const QString nome = box->objectName();
    if (e->type() == QEvent::MouseMove && box->property("svuotaInfo").toBool()) {
        // Over the background itself, not over one of its controls.
        const QPoint punto = static_cast<QMouseEvent *>(e)->position().toPoint();
        if (box->childAt(punto) == nullptr && !m_panInfo->text().isEmpty())
            FormMouseMove();
    } else if (e->type() == QEvent::FocusIn) {
        if (nome == u"txtProvNasc")
            txtProvNascCanFocus();
        else if (nome == u"txtProvRes")
            txtProvResCanFocus();
    } else if (e->type() == QEvent::KeyRelease && nome == u"txtSesso") {
        txtSessoKeyUp();
    } else if (e->type() == QEvent::KeyPress) {
        auto *k = static_cast<QKeyEvent *>(e);
        if (nome == u"txtDataRil" || nome == u"txtDataScade") {
            // Tab and bare modifiers keep their usual meaning; every other key is the rule's.
            if (k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab || Modificatore(k->key()))
                return false;
            if (nome == u"txtDataRil")
                txtDataRilKeyDown(k->key());
            else
                txtDataScadeKeyDown(k->key());
            return true;
        }
        if (nome == u"txtPreavviso" || nome == u"txtCarta" || nome == u"txtPartitaIva")
            return FiltroCifre(box, k);
    }
    return QWidget::eventFilter(oggetto, e);
}

void TfrmAnagrafica::Maiuscolo(QLineEdit *box, bool maiuscole)
{
    const QString prima = box->text();
    QString dopo = Trim32(prima);
    if (maiuscole)
        dopo = Testo::MaiuscoleAZ(dopo);
    if (dopo == prima)
        return;
    // The cursor keeps its place relative to the text that stays.
    int iniziali = 0;
    while (iniziali < prima.size() && prima[iniziali].unicode() <= 32)
        ++iniziali;
    const int cursore = std::clamp(box->cursorPosition() - iniziali, 0, int(dopo.size()));
    box->setText(dopo);
    box->setCursorPosition(cursore);
}

void TfrmAnagrafica::txtCodFiscTyping()
{
    Maiuscolo(Riquadro("txtCodFisc"), true);
}
void TfrmAnagrafica::txtIbanTyping()
{
    Maiuscolo(Riquadro("txtIban"), true);
}
void TfrmAnagrafica::txtEmailTyping()
{
    Maiuscolo(Riquadro("txtEmail"), false);
}
void TfrmAnagrafica::txtProvNascTyping()
{
    Maiuscolo(Provincia("txtProvNasc")->lineEdit(), true);
}
void TfrmAnagrafica::txtProvResTyping()
{
    Maiuscolo(Provincia("txtProvRes")->lineEdit(), true);
}
void TfrmAnagrafica::txtSessoKeyUp()
{
    Maiuscolo(Riquadro("txtSesso"), true);
}

// The list forgets its selection; the text typed or shown stays.
void TfrmAnagrafica::txtProvNascCanFocus()
{
    Imposta("txtProvNasc", Valore("txtProvNasc"));
}
void TfrmAnagrafica::txtProvResCanFocus()
{
    Imposta("txtProvRes", Valore("txtProvRes"));
}

void TfrmAnagrafica::txtDataRilKeyDown(int tasto)
{
    if (tasto == Qt::Key_Backspace || tasto == Qt::Key_Delete)
        Riquadro("txtDataRil")->clear();
    else
        Compagni::ApriCalendario(this, QStringLiteral("dataril"));
}

void TfrmAnagrafica::txtDataScadeKeyDown(int tasto)
{
    if (tasto == Qt::Key_Backspace || tasto == Qt::Key_Delete)
        Riquadro("txtDataScade")->clear();
    else
        Compagni::ApriCalendario(this, QStringLiteral("datascade"));
}

void TfrmAnagrafica::FormMouseMove()
{
    m_panInfo->clear();
}
