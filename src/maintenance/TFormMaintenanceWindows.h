// Windows of data maintenance. Their contents come with the maintenance work; until
// then they are empty windows with their captions.
#pragma once

#include "shell/TFormWindow.h"

namespace dx {

class TFormEditDB : public TFormWindow {
public:
    explicit TFormEditDB(QWidget *p) : TFormWindow(QStringLiteral("Редакция база дании"), p) {}
};
class TFormEditDBUnArch : public TFormWindow {
public:
    explicit TFormEditDBUnArch(QWidget *p) : TFormWindow(QStringLiteral("Възтановяване на база данни"), p) {}
};
class TFormDBSearch : public TFormWindow {
public:
    explicit TFormDBSearch(QWidget *p) : TFormWindow(QStringLiteral("Търсене"), p) {}
};
class TFormEditZemName : public TFormWindow {
public:
    explicit TFormEditZemName(QWidget *p) : TFormWindow(QStringLiteral("Землища"), p) {}
};
class TFormTestZemName : public TFormWindow {
public:
    explicit TFormTestZemName(QWidget *p)
        : TFormWindow(QStringLiteral("Тест - Съответсвие имена на землища"), p)
    {
    }
};
class TFormStatus : public TFormWindow {
public:
    explicit TFormStatus(QWidget *p) : TFormWindow(QStringLiteral("Status"), p) {}
};

} // namespace dx
