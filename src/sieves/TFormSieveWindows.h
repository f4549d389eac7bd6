// Windows of the sieves. Their contents come with the sieve work; until then they are
// empty windows with their captions.
#pragma once

#include "shell/TFormWindow.h"

namespace dx {

class TFormSitoSechi : public TFormWindow {
public:
    explicit TFormSitoSechi(QWidget *p) : TFormWindow(QStringLiteral("Сито за сечите"), p) {}
};
class TFormSitoRabotno : public TFormWindow {
public:
    explicit TFormSitoRabotno(QWidget *p) : TFormWindow(QStringLiteral("Сито работно"), p) {}
};
class TFormSitoRabotnoSechi : public TFormWindow {
public:
    explicit TFormSitoRabotnoSechi(QWidget *p) : TFormWindow(QStringLiteral("Видове сечи"), p) {}
};
class TFormSitoOBS : public TFormWindow {
public:
    explicit TFormSitoOBS(QWidget *p) : TFormWindow(QStringLiteral("Сито ОБС"), p) {}
};
class TFormSitoRabotnoPrint : public TFormWindow {
public:
    explicit TFormSitoRabotnoPrint(QWidget *p) : TFormWindow(QStringLiteral("Сито работно - Печат"), p) {}
};
class TFormSitoRabotnoAge : public TFormWindow {
public:
    explicit TFormSitoRabotnoAge(QWidget *p) : TFormWindow(QStringLiteral("Сито работно - избор Възраст"), p) {}
};
class TFormSitoRabotnoSetting : public TFormWindow {
public:
    explicit TFormSitoRabotnoSetting(QWidget *p) : TFormWindow(QStringLiteral("Настройки - Сито работно"), p) {}
};

} // namespace dx
