#pragma once
// The one way a screen opens another modally: created over its owner, prepared,
// shown through the platform layer (so tests answer it), destroyed when it closes.
#include "platform/Piattaforma.h"

#include <memory>

class QWidget;

// Creates a `T` over `owner`, lets `prepara` hand it its data, shows it modally and
// returns its result.
template <class T, class Prepara> int ApriModale(QWidget *owner, Prepara &&prepara)
{
    const std::unique_ptr<T> schermata(new T(owner));
    prepara(*schermata);
    return Piattaforma::MostraModale(schermata.get());
}

template <class T> int ApriModale(QWidget *owner)
{
    return ApriModale<T>(owner, [](T &) {});
}
