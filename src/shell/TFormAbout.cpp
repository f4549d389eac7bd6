#include "shell/TFormAbout.h"

#include "shell/TFormLoading.h"
#include "widgets/WindowContext.h"

#include <QEvent>
#include <QLabel>
#include <QVBoxLayout>

namespace dx {

TFormAbout::TFormAbout(WindowContext &context) : TFormWindow(QStringLiteral("За програмта"), context.owner())
{
    picture_ = new QLabel;
    picture_->setPixmap(dendrixPicture(QSize(360, 220)));
    picture_->setCursor(Qt::PointingHandCursor);
    picture_->installEventFilter(this);
    version_ = new QLabel;
    auto *contact = new QLabel(QStringLiteral(
        "Dendrix - таксационни описания на горскостопански проекти\n"
        "Поддръжка и въпроси: dendrix@example.bg"));
    contact->setAlignment(Qt::AlignCenter);
    version_->setAlignment(Qt::AlignCenter);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(picture_);
    layout->addWidget(version_);
    layout->addWidget(contact);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TFormAbout::setVersion(const QString &version)
{
    version_->setText(QStringLiteral("Version %1").arg(version));
}

QString TFormAbout::versionText() const
{
    return version_->text();
}

bool TFormAbout::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == picture_ && event->type() == QEvent::MouseButtonRelease) {
        close();
        return true;
    }
    return TFormWindow::eventFilter(watched, event);
}

} // namespace dx
