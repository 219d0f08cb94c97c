#include "platform/Finestra.h"

#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QWidget>

namespace Finestra {

void Massimizzata(QWidget *w)
{
    // Changing flags re-styles the whole tree: only when they differ.
    if (w->windowFlags() != Qt::Window)
        w->setWindowFlags(Qt::Window);
    w->setWindowState(Qt::WindowMaximized);
}

void Fissa(QWidget *w, Centro centro)
{
    // A title bar without close, minimize or maximize buttons: left only through its own buttons.
    const Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                  Qt::MSWindowsFixedSizeDialogHint;
    if (w->windowFlags() != flags)
        w->setWindowFlags(flags);
    if (w->layout())
        w->layout()->setSizeConstraint(QLayout::SetFixedSize);
    w->setProperty("centro", static_cast<int>(centro));
}

void Centra(QWidget *w, Centro centro)
{
    QRect area;
    QWidget *owner = w->parentWidget() ? w->parentWidget()->window() : nullptr;
    if (centro == Centro::Proprietario && owner && owner->isVisible())
        area = owner->frameGeometry();
    else if (QScreen *s = w->screen() ? w->screen() : QGuiApplication::primaryScreen())
        area = s->availableGeometry();
    if (area.isEmpty())
        return;
    QRect r = w->frameGeometry();
    r.moveCenter(area.center());
    w->move(r.topLeft());
}

} // namespace Finestra
