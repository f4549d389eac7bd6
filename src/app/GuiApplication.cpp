// Catching at the event loop what the windows did not catch themselves.
#include "app/GuiApplication.h"

#include "core/QtText.h"
#include "core/SafeFileWrite.h"

#include <QMessageBox>

namespace dx {
namespace {

GuiApplication::MessageSink &sink()
{
    static GuiApplication::MessageSink s;
    return s;
}

void report(const UserMessage &m)
{
    // A failure while reporting a failure must not end the program either.
    try {
        if (sink()) {
            sink()(m);
            return;
        }
        QMessageBox box(QMessageBox::Critical, m.caption, m.text, QMessageBox::Ok);
        box.setInformativeText(m.detail);
        box.exec();
    } catch (...) {
    }
}

} // namespace

GuiApplication::GuiApplication(int &argc, char **argv) : QApplication(argc, argv) {}

void GuiApplication::setMessageSink(MessageSink s)
{
    sink() = std::move(s);
}

UserMessage GuiApplication::failureMessage(const QString &what)
{
    return {plainCaption(),
            QStringLiteral("Действието не можа да бъде завършено поради грешка. Програмата продължава работа."),
            UserMessage::Icon::Error, what};
}

bool GuiApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const FileWriteError &e) {
        report(fileWriteMessage(e));
    } catch (const std::exception &e) {
        report(failureMessage(qs(e.what())));
    } catch (...) {
        report(failureMessage(QStringLiteral("непозната грешка")));
    }
    return false;
}

} // namespace dx
