#include "shell/TFormLoading.h"

#include <QApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QVBoxLayout>

namespace dx {

// A quiet picture: a green evening sky with a row of fir crowns and the name.
QPixmap dendrixPicture(QSize size)
{
    QPixmap pm(size);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor(226, 238, 222));
    sky.setColorAt(1, QColor(150, 184, 142));
    p.fillRect(pm.rect(), sky);
    const int base = size.height() - 40;
    for (int i = 0; i < 14; ++i) {
        int x = i * size.width() / 13 - 10;
        int h = 50 + (i * 37) % 45;
        QPainterPath tree;
        tree.moveTo(x, base - h);
        tree.lineTo(x - 18, base);
        tree.lineTo(x + 18, base);
        tree.closeSubpath();
        p.fillPath(tree, QColor(40 + (i * 13) % 30, 90 + (i * 7) % 30, 50));
    }
    p.fillRect(0, base, size.width(), size.height() - base, QColor(60, 92, 56));
    QFont f(QStringLiteral("Serif"), 30, QFont::Bold);
    p.setFont(f);
    p.setPen(QColor(32, 64, 36));
    p.drawText(QRect(0, 24, size.width(), 60), Qt::AlignHCenter, QStringLiteral("Dendrix"));
    QFont small(QStringLiteral("Sans"), 10);
    p.setFont(small);
    p.drawText(QRect(0, 78, size.width(), 24), Qt::AlignHCenter, QStringLiteral("таксационни описания"));
    return pm;
}

TFormLoading::TFormLoading(QWidget *parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    const QSize size(420, 260);
    setFixedSize(size);
    auto *picture = new QLabel(this);
    picture->setPixmap(dendrixPicture(size));
    picture->setGeometry(0, 0, size.width(), size.height());
    label_ = new QLabel(QStringLiteral("Loading..."), this);
    label_->setGeometry(12, size.height() - 30, size.width() - 24, 22);
    QPalette pal = label_->palette();
    pal.setColor(QPalette::WindowText, Qt::white);
    label_->setPalette(pal);
}

void TFormLoading::setStatus(const QString &text)
{
    label_->setText(text);
    repaint();
}

QString TFormLoading::status() const
{
    return label_->text();
}

void TFormLoading::showNow()
{
    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect r = screen->availableGeometry();
        move(r.center() - rect().center());
    }
    show();
    raise();
    // Let the window be mapped, so that the first status is visible at once.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    repaint();
}

} // namespace dx
