// Registration and lookup of the windows by type.
#include "widgets/WindowRegistry.h"

#include <QWidget>

namespace dx {

void WindowRegistry::insert(const void *key, void *object, QWidget *widget)
{
    Q_ASSERT(!find(key).object);
    entries_.push_back({key, object, widget});
}

WindowRegistry::Entry WindowRegistry::find(const void *key) const
{
    for (const Entry &e : entries_)
        if (e.key == key) return e;
    return {};
}

void WindowRegistry::bringUp(QWidget *window)
{
    if (!window) return;
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace dx
