// A group of criteria in a frame of its own that scrolls it when its window is shorter
// than the group (a low screen below the main window's header): it asks for the whole
// group, never less wide, and may be made as low as a few rows.
#pragma once

#include <QGroupBox>
#include <QScrollArea>
#include <QScrollBar>

#include <algorithm>

namespace dx {

class GuiGroupScrollArea : public QScrollArea {
public:
    explicit GuiGroupScrollArea(QGroupBox *group)
    {
        setWidget(group);
        setWidgetResizable(true);
        setFrameShape(QFrame::NoFrame);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    }
    QSize sizeHint() const override
    {
        return widget()->sizeHint() + QSize(verticalScrollBar()->sizeHint().width(), 0);
    }
    QSize minimumSizeHint() const override
    {
        return QSize(sizeHint().width(), std::min(widget()->minimumSizeHint().height(), 120));
    }
};

} // namespace dx
