// dendrix-cli: the command-line companion. Each command is one function over the core;
// it writes UTF-8 to the given streams and returns the exit status.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace dx::cli {

struct Context {
    std::string programDir;          // -C DIR, else the working directory
    std::vector<std::string> args;   // the command's own arguments (command name removed)
    std::ostream *out;
    std::ostream *err;
};

int runSql(const Context &ctx);
int runDemo(const Context &ctx);
int runStartup(const Context &ctx);
int runBranchWood(const Context &ctx);
int runZemName(const Context &ctx);
int runZemNumber(const Context &ctx);
int runHeader(const Context &ctx);
int runComposition(const Context &ctx);
int runFuture(const Context &ctx);
int runDamage(const Context &ctx);
int runClause(const Context &ctx);
int runSieve(const Context &ctx);
int runObs(const Context &ctx);
int runCuttingsSieve(const Context &ctx);
int runMeasures(const Context &ctx);
int runPdf(const Context &ctx);
int runOgf1(const Context &ctx);
int runOgf2(const Context &ctx);
int runTable(const Context &ctx);
int runInfo(const Context &ctx);
int runArchive(const Context &ctx);
int runRestore(const Context &ctx);
int runZemTest(const Context &ctx);
int runCuttingsList(const Context &ctx);
int runMeasuresList(const Context &ctx);
int runAreas(const Context &ctx);
int runExport(const Context &ctx);
int runExportText(const Context &ctx);
int runExportDocx(const Context &ctx);
int runDescribe(const Context &ctx);
int runSheet(const Context &ctx);

} // namespace dx::cli
