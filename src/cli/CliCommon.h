// What the commands share: argument checks, one-line texts, messages on stderr and
// loading an installation without a window.
#pragma once

#include "Cli.h"

#include "shell/Startup.h"

#include <QString>
#include <QStringList>

#include <string>

namespace dx::cli {

// True when the command got exactly `n` arguments; else its usage on stderr.
bool wantArgs(const Context &ctx, size_t n, const char *usage);
// A text on one output line: tabs and line breaks inside it become blanks.
std::string oneLine(const QString &text);
// Cells joined by one TAB, each on one line, ended by a line feed.
void writeCells(std::ostream &out, const QStringList &cells);
// A message box of the program as a line on stderr (its detail below it).
void writeMessage(const Context &ctx, const UserMessage &m);
// Loads the program directory's installation without a window, its messages on
// stderr. False when the loading stopped or the program would end.
bool loadInstallation(const Context &ctx, AppState &state);

} // namespace dx::cli
