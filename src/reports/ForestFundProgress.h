// What the forest fund reports tell while they are built: the ownership window's two
// progress groups, each a caption over a bar. Core code reports through it without
// knowing the window; the command line passes nothing.
#pragma once

#include <QString>

namespace dx {

class ForestFundProgress {
public:
    virtual ~ForestFundProgress() = default;
    // `group` 0 is the first progress group, 1 the second.
    virtual void caption(int group, const QString &text) = 0;
    virtual void range(int group, int maximum) = 0;
    virtual void position(int group, int position) = 0;
};

} // namespace dx
