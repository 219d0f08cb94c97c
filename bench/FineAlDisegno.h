#pragma once
// Ends a start-up benchmark's program once its first window has been painted: the run is
// timed from outside until the window is on the screen, not through its closing.
#include <QEvent>
#include <QObject>
#include <QTimer>

#include <cstdlib>
#include <functional>
#include <utility>

class TFineAlDisegno : public QObject {
public:
    // `prima` runs just before the process leaves (e.g. releasing a lock file).
    explicit TFineAlDisegno(QObject *finestra, std::function<void()> prima = {})
        : m_prima(std::move(prima))
    {
        finestra->installEventFilter(this);
        // A window never painted ends the run with an error rather than hang it.
        QTimer::singleShot(20000, this, [] { std::_Exit(2); });
    }

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        // Leaves after the paint and its flush to the screen, at the next turn of the loop.
        if (e->type() == QEvent::Paint)
            QTimer::singleShot(0, this, [this] {
                if (m_prima)
                    m_prima();
                std::_Exit(0);
            });
        return false;
    }

private:
    std::function<void()> m_prima;
};
