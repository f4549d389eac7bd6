// A message for the user: what a message box shows (caption, text, icon and what went
// wrong underneath). Core code reports through it without knowing how it is shown; the
// windows show it as a box and dendrix-cli as lines on its streams.
#pragma once

#include <QString>

namespace dx {

struct UserMessage {
    enum class Icon { None, Information, Warning, Error };
    QString caption;
    QString text;
    Icon icon = Icon::None;
    QString detail = {}; // what went wrong underneath, shown below the text when not empty
};

// The caption of plain messages and of the framework's own error box.
inline QString plainCaption() { return QStringLiteral("Dendrix"); }

} // namespace dx
