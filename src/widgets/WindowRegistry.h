// The windows of the program by their class. Each window is registered once under its
// own type and found by that type, never by a name. A window that only opens another
// needs no more than the other's declaration (`class TFormExport;`), not its header, so
// a window never depends on another subsystem's windows.
#pragma once

#include <QVector>

class QWidget;

namespace dx {

class WindowRegistry {
public:
    // Registers `window` under its type W; each type once.
    template <class W> void add(W *window) { insert(&key<W>, window, window); }

    // The window of type W; nullptr when none is registered.
    template <class W> W *get() const { return static_cast<W *>(find(&key<W>).object); }
    // The same window as a plain widget (W may be only declared).
    template <class W> QWidget *widget() const { return find(&key<W>).widget; }
    // Shows the window of type W above the others and gives it the focus.
    template <class W> void open() const { bringUp(widget<W>()); }

    // Shows `window` (when there is one), raises and activates it.
    static void bringUp(QWidget *window);

private:
    // One address per window type, the same in every file that names the type.
    template <class W> static constexpr char key = 0;

    struct Entry {
        const void *key = nullptr;
        void *object = nullptr; // the registered pointer, as its own type W
        QWidget *widget = nullptr;
    };
    void insert(const void *key, void *object, QWidget *widget);
    Entry find(const void *key) const;

    QVector<Entry> entries_;
};

} // namespace dx
