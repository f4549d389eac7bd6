// Windows of the sieves. The working sieve and its range, cutting-type and column-choice
// windows have files of their own; the others are empty windows with their captions
// until their work comes.
#pragma once

#include "sieves/TFormSitoOBS.h"
#include "sieves/TFormSitoRabotno.h"
#include "sieves/TFormSitoRabotnoAge.h"
#include "sieves/TFormSitoRabotnoSechi.h"
#include "sieves/TFormSitoRabotnoSetting.h"
#include "widgets/TFormWindow.h"
#include "widgets/WindowContext.h"

namespace dx {

class TFormSitoSechi : public TFormWindow {
public:
    explicit TFormSitoSechi(WindowContext &c) : TFormWindow(QStringLiteral("Сито за сечите"), c.owner()) {}
};
class TFormSitoRabotnoPrint : public TFormWindow {
public:
    explicit TFormSitoRabotnoPrint(WindowContext &c) : TFormWindow(QStringLiteral("Сито работно - Печат"), c.owner()) {}
};

} // namespace dx
