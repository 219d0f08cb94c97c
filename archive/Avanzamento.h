#pragma once
// The one shape in which long work reports how far it got and hears that it must stop:
// called with what is done and the total (0 while the total is unknown), it returns false
// to stop. It is called on the thread doing the work: what it shows on a screen it hands
// to the screen's thread, and it reads the stop request from something both threads share.
#include <QtGlobal>

#include <functional>

using Avanzamento = std::function<bool(qint64 fatti, qint64 totale)>;
