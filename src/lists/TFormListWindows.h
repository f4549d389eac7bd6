// Windows of the lists and area tables. Their contents come with the lists work; until
// then they are empty windows with their captions.
#pragma once

#include "widgets/TFormWindow.h"
#include "widgets/WindowContext.h"

namespace dx {

class TFormSpisatziSechi : public TFormWindow {
public:
    explicit TFormSpisatziSechi(WindowContext &c) : TFormWindow(QStringLiteral("Списък на сечите"), c.owner()) {}
};
class TFormTableSelect : public TFormWindow {
public:
    explicit TFormTableSelect(WindowContext &c) : TFormWindow(QString(), c.owner()) {}
};

} // namespace dx
