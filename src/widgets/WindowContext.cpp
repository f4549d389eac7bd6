// The message boxes of the window context.
#include "widgets/WindowContext.h"

#include <QMessageBox>

namespace dx {
namespace {

QMessageBox::Icon boxIcon(UserMessage::Icon icon)
{
    switch (icon) {
    case UserMessage::Icon::Information: return QMessageBox::Information;
    case UserMessage::Icon::Warning: return QMessageBox::Warning;
    case UserMessage::Icon::Error: return QMessageBox::Critical;
    case UserMessage::Icon::None: break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

void MessageSink::show(const UserMessage &m) const
{
    if (hook_) {
        hook_(m);
        return;
    }
    QMessageBox box(boxIcon(m.icon), m.caption, m.text, QMessageBox::Ok, parent_);
    if (!m.detail.isEmpty()) box.setInformativeText(m.detail);
    box.exec();
}

bool MessageSink::ask(const UserMessage &m, Buttons buttons) const
{
    if (askHook_) return askHook_(m);
    if (hook_) {
        hook_(m);
        return false;
    }
    const bool yesNo = buttons == Buttons::YesNo;
    QMessageBox box(m.icon == UserMessage::Icon::None ? QMessageBox::Question : boxIcon(m.icon), m.caption, m.text,
                    yesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok | QMessageBox::Cancel, parent_);
    const int answer = box.exec();
    return answer == (yesNo ? QMessageBox::Yes : QMessageBox::Ok);
}

} // namespace dx
