// dendrix-cli clause, sieve: the working sieve's selection clause (or criteria text) for
// criteria given as saved-sieve keys, and the run of a saved sieve on the current project.
#include "CliCommon.h"

#include "core/ProfileFile.h"
#include "core/QtText.h"
#include "engine/common/Codepage.h"
#include "sieves/SieveClause.h"
#include "sieves/SieveCuttingSieve.h"
#include "sieves/SieveFieldTable.h"
#include "sieves/SieveFile.h"
#include "sieves/SieveObs.h"
#include "sieves/SieveRun.h"

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

// The KEY=VALUE arguments as the keys of a saved sieve's section, each key and value
// taken as a file's reading takes them (blanks, one pair of quotes), and only those
// keys applied, in a file's reading order (a key not given changes nothing). False (with a
// message) for an argument that a saved sieve could not hold, or an unknown key: a
// criterion typed wrongly must not vanish without a word.
bool criteriaFromArgs(const Context &ctx, const std::vector<std::string> &args, SieveCriteria &criteria)
{
    std::vector<SieveKeyValue> pairs;
    for (const std::string &arg : args) {
        if (!cp::isValidUtf8(arg)) {
            *ctx.err << "dendrix-cli: an argument is not valid UTF-8 text (malformed or overlong byte sequences)\n";
            return false;
        }
        const size_t eq = arg.find('=');
        if (eq == std::string::npos) {
            *ctx.err << "dendrix-cli: \"" << arg << "\" is not KEY=VALUE\n";
            return false;
        }
        const QString key = ProfileFile::nameAsRead(qs(arg.substr(0, eq)));
        const QString raw = qs(arg.substr(eq + 1));
        if (key.isEmpty()) {
            *ctx.err << "dendrix-cli: \"" << arg << "\": the key before \"=\" is empty\n";
            return false;
        }
        bool lossless = true;
        const std::string stored = cp::utf8ToCp1251(ss(key + raw), &lossless);
        // Checked on the text as a saved sieve would hold it, after the conversion.
        if (stored.find_first_of(std::string("\r\n\0", 3)) != std::string::npos) {
            *ctx.err << "dendrix-cli: \"" << ss(key) << "\": a key or value cannot hold a line break\n";
            return false;
        }
        if (!lossless) {
            *ctx.err << "dendrix-cli: \"" << ss(key) << "\": the value cannot be written in code page 1251\n";
            return false;
        }
        pairs.push_back({key, ProfileFile::valueAsRead(raw)});
    }
    const ReadSitoResult r = applySieveKeys(pairs, criteria);
    for (const QString &k : r.unknownKeys) {
        *ctx.err << "dendrix-cli: unknown key \"" << ss(k) << "\": no criterion of a saved sieve has this name\n";
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

int runObs(const Context &ctx)
{
    ObsCriteria criteria;
    for (const std::string &arg : ctx.args) {
        if (!cp::isValidUtf8(arg)) {
            *ctx.err << "dendrix-cli: an argument is not valid UTF-8 text (malformed or overlong byte sequences)\n";
            return 2;
        }
        const size_t eq = arg.find('=');
        const std::optional<ObsCriterionId> id =
            eq == std::string::npos ? std::nullopt : obsCriterionByKey(qs(arg.substr(0, eq)));
        if (!id) {
            *ctx.err << "dendrix-cli: \"" << arg << "\" is not LABEL=VALUE with a label of the OBS sieve's criteria\n";
            return 2;
        }
        criteria[*id] = qs(arg.substr(eq + 1));
    }
    AppState state;
    if (!loadInstallation(ctx, state)) return 1;
    const ObsRunOutcome run = runObsSieve(state, criteria, kInitialSieveLabel);
    if (run.status == ObsRunOutcome::Status::NoCriterion || run.status == ObsRunOutcome::Status::InvalidData) {
        writeMessage(ctx, run.message);
        return 1;
    }
    DataGridModel model;
    fillSieveModel(model, run.result);
    writeGrid(ctx, model);
    *ctx.out << ss(run.label) << '\n';
    return 0;
}

int runCuttingsSieve(const Context &ctx)
{
    CuttingSlots types;
    for (const std::string &arg : ctx.args) {
        if (!cp::isValidUtf8(arg)) {
            *ctx.err << "dendrix-cli: an argument is not valid UTF-8 text (malformed or overlong byte sequences)\n";
            return 2;
        }
        const size_t eq = arg.find('=');
        int slot = 0;
        if (eq != std::string::npos) {
            const QString key = qs(arg.substr(0, eq)).simplified();
            for (int n = 1; n <= kCuttingSlots; ++n)
                if (key.compare(cuttingSlotLabel(n).chopped(1), Qt::CaseInsensitive) == 0) slot = n;
        }
        if (slot == 0) {
            *ctx.err << "dendrix-cli: \"" << arg << "\" is not \"сеч N=TYPE\" with N from 1 to 9\n";
            return 2;
        }
        types[size_t(slot - 1)] = qs(arg.substr(eq + 1));
    }
    AppState state;
    if (!loadInstallation(ctx, state)) return 1;
    CuttingSieve sieve;
    sieve.show(state);
    for (int n = 1; n <= kCuttingSlots; ++n)
        if (!types[size_t(n - 1)].isEmpty()) sieve.setType(n, types[size_t(n - 1)]);
    switch (sieve.search(state)) {
    case CuttingSieve::Outcome::NothingChosen:
        *ctx.err << "dendrix-cli: no cutting type chosen; the search does nothing\n";
        return 1;
    case CuttingSieve::Outcome::Failed:
        writeMessage(ctx, sieve.failure());
        return 1;
    case CuttingSieve::Outcome::Rows:
    case CuttingSieve::Outcome::NoRows:
        break;
    }
    DataGridModel model;
    fillCuttingSieveModel(model, sieve.result());
    writeGrid(ctx, model);
    *ctx.out << ss(sieve.status()) << '\n';
    return 0;
}

} // namespace dx::cli
