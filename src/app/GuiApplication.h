// The program's application object. An exception that escapes an event handler would
// end the program and lose whatever the user had on screen; here it is caught where
// events are delivered, shown to the user as a message, and the program goes on.
#pragma once

#include "core/UserMessage.h"

#include <QApplication>

#include <functional>

namespace dx {

class GuiApplication : public QApplication {
public:
    GuiApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;

    // Where the message about a caught failure goes (the main window's message boxes);
    // without a sink a plain message box is shown.
    using MessageSink = std::function<void(const UserMessage &)>;
    static void setMessageSink(MessageSink sink);

    // The message shown for a failure that reached the event loop; a file that could not
    // be written is shown by fileWriteMessage instead, naming the file and the reason.
    static UserMessage failureMessage(const QString &what);
};

} // namespace dx
