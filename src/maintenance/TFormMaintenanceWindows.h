// Windows of data maintenance. Their contents come with the maintenance work; until
// then they are empty windows with their captions.
#pragma once

#include "widgets/TFormWindow.h"
#include "widgets/WindowContext.h"

namespace dx {

class TFormEditDB : public TFormWindow {
public:
    explicit TFormEditDB(WindowContext &c) : TFormWindow(QStringLiteral("Редакция база дании"), c.owner()) {}
};
class TFormEditDBUnArch : public TFormWindow {
public:
    explicit TFormEditDBUnArch(WindowContext &c) : TFormWindow(QStringLiteral("Възтановяване на база данни"), c.owner()) {}
};
class TFormDBSearch : public TFormWindow {
public:
    explicit TFormDBSearch(WindowContext &c) : TFormWindow(QStringLiteral("Търсене"), c.owner()) {}
};
class TFormEditZemName : public TFormWindow {
public:
    explicit TFormEditZemName(WindowContext &c) : TFormWindow(QStringLiteral("Землища"), c.owner()) {}
};
class TFormTestZemName : public TFormWindow {
public:
    explicit TFormTestZemName(WindowContext &c)
        : TFormWindow(QStringLiteral("Тест - Съответсвие имена на землища"), c.owner())
    {
    }
};
class TFormStatus : public TFormWindow {
public:
    explicit TFormStatus(WindowContext &c) : TFormWindow(QStringLiteral("Status"), c.owner()) {}
};

} // namespace dx
