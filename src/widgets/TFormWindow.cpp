// The secondary windows' common base: caption, where a window opens beside the main
// window, and the command icons with a plainly disabled look.
#include "widgets/TFormWindow.h"

#include <QGuiApplication>
#include <QScreen>
#include <QShowEvent>

#include <algorithm>

namespace dx {

TFormWindow::TFormWindow(const QString &caption, QWidget *parent) : QDialog(parent)
{
    setWindowTitle(caption);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

QRect TFormWindow::keptOnScreen(QRect frame, const QRect &available)
{
    frame.moveLeft(std::max(available.left(), std::min(frame.left(), available.right() - frame.width() + 1)));
    frame.moveTop(std::max(available.top(), std::min(frame.top(), available.bottom() - frame.height() + 1)));
    return frame;
}

QRect TFormWindow::openingFrame(const QRect &mainFrame, const QRect &available, const QSize &wanted)
{
    // Only the part of the main window that is on the screen counts.
    QRect main = mainFrame.intersected(available);
    if (main.isEmpty()) main = available;
    const QSize size = wanted.boundedTo(available.size());

    // Beside the main window, where the whole window fits.
    if (available.right() - main.right() >= size.width())
        return keptOnScreen(QRect(QPoint(main.right() + 1, main.top()), size), available);
    if (available.bottom() - main.bottom() >= size.height())
        return keptOnScreen(QRect(QPoint(main.left(), main.bottom() + 1), size), available);
    if (main.left() - available.left() >= size.width())
        return keptOnScreen(QRect(QPoint(main.left() - size.width(), main.top()), size), available);
    if (main.top() - available.top() >= size.height())
        return keptOnScreen(QRect(QPoint(main.left(), main.top() - size.height()), size), available);

    // Over the main window, in the screen's lower right corner, below the header share.
    const int headerBottom = main.top() + int(main.height() * kHeaderShare + 0.5);
    const QRect room(QPoint(available.left(), std::min(headerBottom, available.bottom())), available.bottomRight());
    QRect frame(QPoint(0, 0), size.boundedTo(room.size()));
    frame.moveBottomRight(room.bottomRight());
    return frame;
}

QPixmap TFormWindow::disabledPixmap(const QPixmap &normal)
{
    QImage grey = normal.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < grey.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(grey.scanLine(y));
        for (int x = 0; x < grey.width(); ++x) {
            // Grey, lightened towards white and a third as opaque: unmistakably off,
            // whatever colours the icon had. (Qt's own disabled form of a light icon
            // looks much like the icon itself.)
            const int g = 128 + qGray(line[x]) / 2;
            line[x] = qRgba(g, g, g, qAlpha(line[x]) / 3);
        }
    }
    QPixmap out = QPixmap::fromImage(grey);
    out.setDevicePixelRatio(normal.devicePixelRatio());
    return out;
}

QIcon TFormWindow::commandIcon(const QWidget *w, const char *theme, QStyle::StandardPixmap fallback)
{
    const QIcon source = QIcon::fromTheme(QString::fromLatin1(theme), w->style()->standardIcon(fallback));
    QIcon icon;
    const qreal ratio = w->devicePixelRatioF();
    for (int side : {16, 22, 24, 32, 48}) {
        const QPixmap normal = source.pixmap(QSize(side, side), ratio);
        if (normal.isNull()) continue;
        icon.addPixmap(normal, QIcon::Normal);
        icon.addPixmap(disabledPixmap(normal), QIcon::Disabled);
    }
    return icon;
}

QWidget *TFormWindow::mainWindow() const
{
    return parentWidget() ? parentWidget()->window() : nullptr;
}

QMargins TFormWindow::expectedFrameWidths() const
{
    auto widths = [](const QWidget *w) {
        const QRect outer = w->frameGeometry(), inner = w->geometry();
        return QMargins(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                        outer.bottom() - inner.bottom());
    };
    if (frameGeometry() != geometry()) return widths(this); // decorated once already
    // Not yet decorated, this window borrows the main window's frame widths.
    const QWidget *main = mainWindow();
    if (!main || !main->isVisible()) return {};
    QMargins m = widths(main);
    // A maximised window loses its side and bottom borders; this one will have some.
    if (main->isMaximized()) {
        const int border = std::max(2, m.top() / 8);
        m = QMargins(std::max(m.left(), border), m.top(), std::max(m.right(), border), std::max(m.bottom(), border));
    }
    return m;
}

QRect TFormWindow::availableArea() const
{
    const QWidget *main = mainWindow();
    QScreen *where = main ? main->screen() : screen();
    if (!where) where = QGuiApplication::primaryScreen();
    return where ? where->availableGeometry() : QRect();
}

void TFormWindow::moveOnScreen(const QPoint &frameTopLeft)
{
    const QMargins m = expectedFrameWidths();
    const QRect frame(frameTopLeft, size() + QSize(m.left() + m.right(), m.top() + m.bottom()));
    const QRect available = availableArea();
    move(available.isEmpty() ? frameTopLeft : keptOnScreen(frame, available).topLeft());
}

void TFormWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous() || opened_) return;
    opened_ = true;
    if (windowModality() == Qt::NonModal) openBesideMain();
}

void TFormWindow::openBesideMain()
{
    const QRect available = availableArea();
    if (available.isEmpty()) return;
    const QWidget *main = mainWindow();
    // A main window not yet shown will open maximised.
    const QRect mainFrame = main && main->isVisible() ? main->frameGeometry() : available;
    const QMargins m = expectedFrameWidths();
    const QSize decoration(m.left() + m.right(), m.top() + m.bottom());
    const QSize wanted = sizeHint().expandedTo(minimumSize()).boundedTo(maximumSize()) + decoration;
    const QRect frame = openingFrame(mainFrame, available, wanted);
    const QSize inner = frame.size() - decoration;
    // Where the screen below the header is smaller than the window's least size, the
    // header stays in sight and the window may be made that small.
    setMinimumSize(minimumSize().boundedTo(inner));
    // The window system puts the frame around the inner area it is given.
    setGeometry(QRect(frame.topLeft() + QPoint(m.left(), m.top()), inner));
}

} // namespace dx
