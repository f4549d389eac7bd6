// Windows of the application shell that are opened from the main menu. Their contents
// come with the work on project selection, project settings and project information.
#pragma once

#include "shell/TFormWindow.h"

namespace dx {

class TFormStatistics : public TFormWindow {
public:
    explicit TFormStatistics(QWidget *p) : TFormWindow(QStringLiteral("Информация за проекта"), p) {}
};
class TFormSelPrj : public TFormWindow {
public:
    explicit TFormSelPrj(QWidget *p) : TFormWindow(QStringLiteral("Избор на проект"), p) {}
};
class TFormEditName : public TFormWindow {
public:
    explicit TFormEditName(QWidget *p) : TFormWindow(QStringLiteral("Настройки"), p) {}
};

} // namespace dx
