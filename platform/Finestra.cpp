#include "platform/Finestra.h"

#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QWidget>

namespace Finestra {

void Massimizzata(QWidget *w)
{
    // Changing flags re-styles the whole tree: only when they differ.
    if (w->windowType() != Qt::Window)
        w->setWindowFlags(Qt::Window);
    // A window that was never sized would be sized to its contents first, which
    // lays out and styles every control of a screen that may not be shown yet.
    if (!w->testAttribute(Qt::WA_Resized))
        w->resize(1024, 768);
    w->setWindowState(Qt::WindowMaximized);
}

void Fissa(QWidget *w, Centro centro)
{
    // A title bar without close, minimize or maximize buttons: left only through its own buttons.
    if (w->windowFlags() != FlagsFissa)
        w->setWindowFlags(FlagsFissa);
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
