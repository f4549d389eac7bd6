// Windows of the application shell that are opened from the main menu. Their contents
// come with the work on project selection, project settings and project information.
#pragma once

#include "widgets/TFormWindow.h"
#include "widgets/WindowContext.h"

namespace dx {

class TFormStatistics : public TFormWindow {
public:
    explicit TFormStatistics(WindowContext &c) : TFormWindow(QStringLiteral("Информация за проекта"), c.owner()) {}
};
class TFormSelPrj : public TFormWindow {
public:
    explicit TFormSelPrj(WindowContext &c) : TFormWindow(QStringLiteral("Избор на проект"), c.owner()) {}
};
class TFormEditName : public TFormWindow {
public:
    explicit TFormEditName(WindowContext &c) : TFormWindow(QStringLiteral("Настройки"), c.owner()) {}
};

} // namespace dx
