// Windows of the lists and area tables. Their contents come with the lists work; until
// then they are empty windows with their captions.
#pragma once

#include "widgets/TFormWindow.h"
#include "widgets/WindowContext.h"

namespace dx {

class TFormSpisatzi : public TFormWindow {
public:
    explicit TFormSpisatzi(WindowContext &c) : TFormWindow(QStringLiteral("Списъци"), c.owner()) {}
};
class TFormSpisatziSubInfo : public TFormWindow {
public:
    explicit TFormSpisatziSubInfo(WindowContext &c) : TFormWindow(QString(), c.owner()) {}
};
class TFormSpisatziQuery : public TFormWindow {
public:
    explicit TFormSpisatziQuery(WindowContext &c) : TFormWindow(QStringLiteral("Площи по ..."), c.owner()) {}
};
class TFormSpisatziSechi : public TFormWindow {
public:
    explicit TFormSpisatziSechi(WindowContext &c) : TFormWindow(QStringLiteral("Списък на сечите"), c.owner()) {}
};

} // namespace dx
