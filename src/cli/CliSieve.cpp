// dendrix-cli clause, sieve: the working sieve's selection clause (or criteria text) for
// criteria given as saved-sieve keys, and the run of a saved sieve on the current project.
#include "CliCommon.h"

#include "core/ProfileFile.h"
#include "core/QtText.h"
#include "core/SafeFileWrite.h"
#include "engine/common/Codepage.h"
#include "sieves/SieveClause.h"
#include "sieves/SieveFieldTable.h"
#include "sieves/SieveFile.h"
#include "sieves/SieveRun.h"

#include <QTemporaryDir>

#include <ostream>

namespace dx::cli {
namespace {

void writeNotes(const Context &ctx, const ReadSitoResult &r, const std::string &file)
{
    if (!r.sectionFound)
        *ctx.err << "dendrix-cli: " << file << ": no section [" << ss(kSieveFileSection) << "], every criterion is empty\n";
    for (const QString &k : r.unknownKeys) *ctx.err << "dendrix-cli: " << file << ": unknown key \"" << ss(k) << "\" ignored\n";
    for (const QString &c : r.badRanges)
        *ctx.err << "dendrix-cli: " << file << ": the range of \"" << ss(c) << "\" is not of the form "
                 << "\"от A до B\", \"до A\", \"над A\" or \"равно на A\"\n";
}

// The KEY=VALUE arguments as the lines of a saved sieve, read back through the profile
// file, so that every value is taken exactly as from a file. False (with a message) for
// an argument that cannot stand in such a file.
bool criteriaFromArgs(const Context &ctx, const std::vector<std::string> &args, SieveCriteria &criteria)
{
    std::string bytes = "[" + cp::utf8ToCp1251(ss(kSieveFileSection)) + "]\r\n";
    for (const std::string &arg : args) {
        const size_t eq = arg.find('=');
        if (eq == std::string::npos || eq == 0) {
            *ctx.err << "dendrix-cli: \"" << arg << "\" is not KEY=VALUE\n";
            return false;
        }
        if (arg.find_first_of("\r\n") != std::string::npos) {
            *ctx.err << "dendrix-cli: \"" << arg.substr(0, eq) << "\": a value cannot hold a line break\n";
            return false;
        }
        bool lossless = true;
        bytes += cp::utf8ToCp1251(arg, &lossless) + "\r\n";
        if (!lossless) {
            *ctx.err << "dendrix-cli: \"" << arg.substr(0, eq) << "\": the value cannot be written in code page 1251\n";
            return false;
        }
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("criteria.drf"));
    try {
        if (!dir.isValid()) throw FileWriteError(path, dir.errorString());
        writeFileSafely(path, QByteArray::fromStdString(bytes));
    } catch (const FileWriteError &) {
        *ctx.err << "dendrix-cli: cannot write a temporary file\n";
        return false;
    }
    const ReadSitoResult r = ReadSito(path, criteria);
    if (!r.read) {
        *ctx.err << "dendrix-cli: " << ss(r.error) << '\n';
        return false;
    }
    for (const QString &k : r.unknownKeys) {
        *ctx.err << "dendrix-cli: unknown key \"" << ss(k) << "\"\n";
        return false;
    }
    writeNotes(ctx, r, "criteria");
    return true;
}

void writeGrid(const Context &ctx, const DataGridModel &model)
{
    for (int c = 0; c < model.columnCount(); ++c)
        *ctx.out << (c ? "\t" : "") << oneLine(model.headerData(c, Qt::Horizontal).toString());
    *ctx.out << '\n';
    for (int r = 0; r < model.rowCount(); ++r) {
        for (int c = 0; c < model.columnCount(); ++c) *ctx.out << (c ? "\t" : "") << oneLine(model.displayText(r, c));
        *ctx.out << '\n';
    }
}

} // namespace

int runClause(const Context &ctx)
{
    std::vector<std::string> args = ctx.args;
    const bool text = !args.empty() && args.front() == "--text";
    if (text) args.erase(args.begin());
    SieveCriteria criteria;
    if (!criteriaFromArgs(ctx, args, criteria)) return 2;
    if (text) {
        *ctx.out << ss(criteriaText(criteria)) << '\n';
        return 0;
    }
    const SelectionClause clause = composeSelectionClause(criteria);
    if (clause.isEmpty()) {
        writeMessage(ctx, noCriterionMessage());
        return 1;
    }
    if (!clause.isValid()) {
        writeMessage(ctx, invalidDataMessage(clause.shown));
        *ctx.err << "  (" << ss(clause.invalid.join(QStringLiteral(", "))) << ")\n";
        return 1;
    }
    *ctx.out << ss(clause.clause) << '\n';
    return 0;
}

int runSieve(const Context &ctx)
{
    std::vector<std::string> args = ctx.args;
    std::optional<std::string> fields;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--fields" && i + 1 < args.size()) {
            fields = args[i + 1];
            args.erase(args.begin() + long(i), args.begin() + long(i) + 2);
            break;
        }
    }
    if (args.size() != 1) {
        *ctx.err << "usage: dendrix-cli [-C DIR] sieve FILE.drf [--fields 0,1,2,...]\n";
        return 2;
    }
    AppState state;
    if (!loadInstallation(ctx, state)) return 1;

    SieveCriteria criteria;
    const ReadSitoResult read = ReadSito(qs(args[0]), criteria);
    if (!read.read) {
        *ctx.err << "dendrix-cli: " << ss(read.error) << '\n';
        return 1;
    }
    writeNotes(ctx, read, args[0]);

    SieveColumnChoice choice;
    QStringList rejected = fields ? QStringList() : choice.load(state.settingsPath());
    if (fields) choice.setChoice(parseSieveFields(qs(*fields), &rejected));
    for (const QString &item : rejected) *ctx.err << "dendrix-cli: column \"" << ss(item) << "\" left out\n";

    const SieveRunOutcome run = runWorkingSieve(state, criteria, choice.choice(), kInitialSieveLabel);
    if (run.status == SieveRunOutcome::Status::NoCriterion || run.status == SieveRunOutcome::Status::InvalidData) {
        writeMessage(ctx, run.message);
        return 1;
    }
    DataGridModel model;
    fillSieveModel(model, run.result);
    writeGrid(ctx, model);
    *ctx.out << ss(run.label) << '\n';
    return 0;
}

} // namespace dx::cli
