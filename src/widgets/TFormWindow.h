// The common base of the secondary windows: a top-level window above the main window,
// created once at start-up and shown and hidden on demand. A modeless one stays above the
// main window while the user works in both, so it opens where it leaves the main window's
// description header and the first rows of its page in sight.
#pragma once

#include <QDialog>
#include <QIcon>
#include <QStyle>

namespace dx {

class TFormWindow : public QDialog {
public:
    TFormWindow(const QString &caption, QWidget *parent);

    // The part of the main window, from its top, that a window opened over it leaves
    // free: the description header, the page tabs and the first rows of the page.
    static constexpr double kHeaderShare = 0.45;

    // The frame, in screen coordinates, that a window wanting a frame of `wanted` opens
    // with beside a main window whose frame is `mainFrame`, on a screen whose free area is
    // `available`. Where the screen has room for the whole window beside the main window
    // (right of it, else below, left, above), it stands there at its wanted size.
    // Otherwise (the main window maximised, or nearly) it covers the lower right part of
    // the screen below the main window's header share, no larger than the room there.
    // The frame always lies on the screen.
    static QRect openingFrame(const QRect &mainFrame, const QRect &available, const QSize &wanted);
    // `frame` moved the least distance that brings it onto `available`; a frame larger
    // than the area keeps its top left corner on it.
    static QRect keptOnScreen(QRect frame, const QRect &available);

    // A toolbar or menu command's icon: the theme's icon of that name, or the style's
    // standard one, with a disabled form that is plainly greyed and faded, so that a
    // command that cannot be used does not look as if it could.
    static QIcon commandIcon(const QWidget *w, const char *theme, QStyle::StandardPixmap fallback);
    // The icon's greyed, faded form of a pixmap.
    static QPixmap disabledPixmap(const QPixmap &normal);

protected:
    // Moves the window's frame to `frameTopLeft`, or as near it as keeps it on the screen.
    void moveOnScreen(const QPoint &frameTopLeft);
    // The first show of a modeless window sizes it to its contents and places it by
    // openingFrame beside the main window (its parent). A modal window is answered and
    // closed and places itself.
    void showEvent(QShowEvent *event) override;

private:
    QWidget *mainWindow() const;
    // The window's frame widths: its own once decorated, else the main window's.
    QMargins expectedFrameWidths() const;
    // The free area of the main window's screen.
    QRect availableArea() const;
    void openBesideMain();
    bool opened_ = false;
};

} // namespace dx
