// Windows of the forest fund reports. Their contents come with the report work; until
// then they are empty windows with their captions.
#pragma once

#include "shell/TFormWindow.h"

namespace dx {

class TFormSob : public TFormWindow {
public:
    explicit TFormSob(QWidget *p) : TFormWindow(QStringLiteral("Избор на собственост"), p) {}
};
class TFormGF1 : public TFormWindow {
public:
    explicit TFormGF1(QWidget *p)
        : TFormWindow(QStringLiteral("ОГФ 1 - Отчет за разпределение на общата горска площ по вид на горите"), p)
    {
    }
};
class TFormGF1Print : public TFormWindow {
public:
    explicit TFormGF1Print(QWidget *p) : TFormWindow(QString(), p) {}
};
class TFormGF2 : public TFormWindow {
public:
    explicit TFormGF2(QWidget *p)
        : TFormWindow(QStringLiteral("ОГФ 2 - Отчет за разпределение на залесената горска площ по дървесни "
                                     "видове и класове на възраст"),
                      p)
    {
    }
};

} // namespace dx
