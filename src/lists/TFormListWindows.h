// The table selection window of the physico-geographic tables. Its contents come with
// the tables work; until then it is an empty window.
#pragma once

#include "widgets/TFormWindow.h"
#include "widgets/WindowContext.h"

namespace dx {

class TFormTableSelect : public TFormWindow {
public:
    explicit TFormTableSelect(WindowContext &c) : TFormWindow(QString(), c.owner()) {}
};

} // namespace dx
