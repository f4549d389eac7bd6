// Windows of the sieves. The working sieve and its range, cutting-type and column-choice
// windows have files of their own; the others are empty windows with their captions
// until their work comes.
#pragma once

#include "shell/TFormWindow.h"
#include "sieves/TFormSitoRabotno.h"
#include "sieves/TFormSitoRabotnoAge.h"
#include "sieves/TFormSitoRabotnoSechi.h"
#include "sieves/TFormSitoRabotnoSetting.h"

namespace dx {

class TFormSitoSechi : public TFormWindow {
public:
    explicit TFormSitoSechi(QWidget *p) : TFormWindow(QStringLiteral("Сито за сечите"), p) {}
};
class TFormSitoOBS : public TFormWindow {
public:
    explicit TFormSitoOBS(QWidget *p) : TFormWindow(QStringLiteral("Сито ОБС"), p) {}
};
class TFormSitoRabotnoPrint : public TFormWindow {
public:
    explicit TFormSitoRabotnoPrint(QWidget *p) : TFormWindow(QStringLiteral("Сито работно - Печат"), p) {}
};

} // namespace dx
