// Windows of the application shell that are opened from the main menu. Their contents
// come with the work on project selection, project settings and project information.
#pragma once

#include "widgets/TFormWindow.h"

namespace dx {

class TFormStatistics : public TFormWindow {
public:
    explicit TFormStatistics(WindowContext &c) : TFormWindow(QStringLiteral("Информация за проекта"), c) {}
};
class TFormSelPrj : public TFormWindow {
public:
    explicit TFormSelPrj(WindowContext &c) : TFormWindow(QStringLiteral("Избор на проект"), c) {}
};
class TFormEditName : public TFormWindow {
public:
    explicit TFormEditName(WindowContext &c) : TFormWindow(QStringLiteral("Настройки"), c) {}
};

} // namespace dx
