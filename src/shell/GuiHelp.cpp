#include "shell/GuiHelp.h"

#include "core/Paths.h"

#include <QDesktopServices>
#include <QDialog>
#include <QFile>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace dx {

QString helpDocument()
{
    QFile f(QStringLiteral(":/help/dendrix-help.html"));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(f.readAll());
}

bool openHelp(const QString &programDir, QWidget *parent)
{
    const QString chm = joinPath(programDir, QStringLiteral("DENDRIX.CHM"));
    if (fileExists(chm)) return QDesktopServices::openUrl(QUrl::fromLocalFile(diskPath(chm)));

    // One help window for the whole run, raised again when asked a second time.
    static QDialog *window = nullptr;
    if (!window) {
        window = new QDialog(parent, Qt::Window);
        window->setWindowTitle(QStringLiteral("Dendrix - помощ"));
        auto *browser = new QTextBrowser(window);
        browser->setOpenExternalLinks(true);
        browser->setHtml(helpDocument());
        auto *layout = new QVBoxLayout(window);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(browser);
        window->resize(820, 640);
    }
    window->show();
    window->raise();
    window->activateWindow();
    return true;
}

} // namespace dx
