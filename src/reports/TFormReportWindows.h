// Windows of the forest fund reports. Their contents come with the report work; until
// then they are empty windows with their captions.
#pragma once

#include "widgets/TFormWindow.h"
#include "widgets/WindowContext.h"

namespace dx {

class TFormSob : public TFormWindow {
public:
    explicit TFormSob(WindowContext &c) : TFormWindow(QStringLiteral("Избор на собственост"), c.owner()) {}
};
class TFormGF1 : public TFormWindow {
public:
    explicit TFormGF1(WindowContext &c)
        : TFormWindow(QStringLiteral("ОГФ 1 - Отчет за разпределение на общата горска площ по вид на горите"), c.owner())
    {
    }
};
class TFormGF1Print : public TFormWindow {
public:
    explicit TFormGF1Print(WindowContext &c) : TFormWindow(QString(), c.owner()) {}
};
class TFormGF2 : public TFormWindow {
public:
    explicit TFormGF2(WindowContext &c)
        : TFormWindow(QStringLiteral("ОГФ 2 - Отчет за разпределение на залесената горска площ по дървесни "
                                     "видове и класове на възраст"),
                      c.owner())
    {
    }
};

} // namespace dx
