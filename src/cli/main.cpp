// dendrix-cli entry: global options, then one command.
#include "Cli.h"

#include <QLocale>

#include <clocale>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>

namespace {

void usage(std::ostream &os)
{
    os << "usage: dendrix-cli [-C DIR] COMMAND [ARGS...]\n"
          "  -C DIR                 program directory (default: the working directory)\n"
          "commands:\n"
          "  sql \"STATEMENT\"        run one local SQL statement, print TAB-separated rows\n"
          "  demo DIR [--records N] [--seed S] [--force]\n"
          "                         create the demo installation in DIR (a new or empty\n"
          "                         folder; --force replaces what it holds)\n"
          "  startup                run the loading sequence; print its messages, the caption,\n"
          "                         the compartment lists and the status counts\n"
          "  branchwood SPECIES ORIGIN HEIGHT\n"
          "                         branch-wood percentage of a species\n"
          "  zemname NUMBER         land-area name of a number\n"
          "  zemnumber NAME         land-area number of a name\n"
          "  measures OTD PODOTD    the cutting and afforestation rows of a sub-compartment\n"
          "  header OTD PODOTD      the description header of a sub-compartment, one box a line\n"
          "  composition OTD PODOTD the current composition, TAB-separated, totals row included\n"
          "  future OTD PODOTD      the future composition, TAB-separated\n"
          "  damage CODE            the wording of a damage code\n"
          "  clause [--text] KEY=VALUE ...\n"
          "                         the working sieve's selection clause (or, with --text, its\n"
          "                         criteria text) for criteria given by saved-sieve keys, read\n"
          "                         as from a saved sieve (the management unit under \"землище\")\n"
          "                         where only the keys given are set\n"
          "  sieve FILE.drf [--fields 0,1,2,...]\n"
          "                         run a saved sieve on the current project; print the result\n"
          "                         grid TAB-separated and, last, the result label\n"
          "  obs LABEL=VALUE ...    run the OBS sieve on the current project with the criteria\n"
          "                         named by their labels (\"о.б.с. дървесен вид\" and\n"
          "                         \"о.б.с. бонитет\" for the future composition's); print the\n"
          "                         result grid TAB-separated and, last, the result label\n"
          "  cuttings-sieve 'сеч N=TYPE' ...\n"
          "                         run the cuttings sieve on the current project with the\n"
          "                         types chosen for positions 1 to 9; print the result grid\n"
          "                         TAB-separated and, last, the status text\n"
          "  pdf OUT.pdf [--branches] [--sheets] OTD PODOTD | --from A --to B [--duplex|--manual]\n"
          "      | --sheet OTD | --list FILE --separator C [--from A --to B] [--two-sided]\n"
          "                         print descriptions (one a page; --sheets: each compartment's\n"
          "                         pre-compartment sheet before them) or one sheet to a PDF file,\n"
          "                         in the order a printer gets them: --manual backs then faces,\n"
          "                         --duplex pairs as two-sided jobs, --list the entries of a list\n"
          "                         file (--two-sided: then their backs); the jobs go to stderr\n"
          "  ogf1 [--ownership KIND] [--purpose general|economic|special]\n"
          "                         forest fund report 1: the titles line, then the grid rows\n"
          "  ogf2 [--ownership KIND] [--purpose general|economic|special]\n"
          "                         forest fund report 2: the upper table, an empty line, the\n"
          "                         lower table, each with its titles line\n"
          "  table 1|1а|2|3|6|7|9|10|12-13 [--ownership KIND] [--purpose general|economic|special]\n"
          "                         build a physico-geographic table into Tables/ (.dbf, .txt)\n"
          "                         and print it: the titles line, then the grid rows\n"
          "  info                   the project information: counts, area, area by ownership\n"
          "  archive                copy the project table to its archive (X.db -> X.drbackup)\n"
          "  restore                copy the archive back over the project table\n"
          "  areas compartments|species|attribute N [--chart OUT.png|OUT.svg]\n"
          "                         the areas by compartment, by species (the species area\n"
          "                         table made anew) or by attribute N (1-21) as the Lists\n"
          "                         window shows them, titles first; --chart also draws them\n"
          "  zemtest                the land-area names test, one finding a line; exit 1 when\n"
          "                         it finds a problem\n"
          "  cuttings-list [--attribute N --value V]\n"
          "  measures-list [--attribute N --value V]\n"
          "                         the list of cuttings or of afforestation measures (N: the\n"
          "                         attribute's number in the list window's choice, from 1):\n"
          "                         the titles line, then the grid rows\n"
          "  export OUT.txt|OUT.docx --current OTD PODOTD | --sheet OTD | --from A --to B\n"
          "      [--sheets|--sheets-only] | --list FILE [--separator C] [--partial p1,p2,...]\n"
          "                         export descriptions as the export window does: text appended\n"
          "                         to OUT (code page 1251), or a Word document of page pictures\n"
          "                         when OUT ends in .docx; --partial the settings tab's parts\n"
          "  export-text OUT ...    the same, always as text; export-docx OUT ...: always Word\n"
          "  describe OTD PODOTD    the whole description as the single export appends it to a\n"
          "                         file, in UTF-8 (CR LF and the trailer kept)\n"
          "  sheet OTD              the pre-compartment sheet, the same way\n";
}

} // namespace

int main(int argc, char **argv)
{
    std::setlocale(LC_ALL, "C");
    // Numbers are written with a decimal point whatever the user's locale.
    QLocale::setDefault(QLocale::c());
    dx::cli::Context ctx;
    ctx.out = &std::cout;
    ctx.err = &std::cerr;
    std::error_code ec;
    ctx.programDir = std::filesystem::current_path(ec).string();

    int i = 1;
    while (i < argc && argv[i][0] == '-') {
        std::string opt = argv[i];
        if (opt == "-C" && i + 1 < argc) {
            ctx.programDir = argv[i + 1];
            i += 2;
        } else if (opt == "-h" || opt == "--help") {
            usage(std::cout);
            return 0;
        } else {
            std::cerr << "dendrix-cli: unknown option " << opt << "\n";
            usage(std::cerr);
            return 2;
        }
    }
    if (i >= argc) {
        usage(std::cerr);
        return 2;
    }
    std::string command = argv[i++];
    for (; i < argc; ++i) ctx.args.push_back(argv[i]);
    // A relative directory is taken from where the command runs, once.
    ctx.programDir = std::filesystem::absolute(ctx.programDir, ec).lexically_normal().string();
    while (ctx.programDir.size() > 1 && (ctx.programDir.back() == '/' || ctx.programDir.back() == '\\'))
        ctx.programDir.pop_back();

    static const std::map<std::string, std::function<int(const dx::cli::Context &)>> commands = {
        {"sql", dx::cli::runSql},
        {"demo", dx::cli::runDemo},
        {"startup", dx::cli::runStartup},
        {"measures", dx::cli::runMeasures},
        {"branchwood", dx::cli::runBranchWood},
        {"zemname", dx::cli::runZemName},
        {"zemnumber", dx::cli::runZemNumber},
        {"header", dx::cli::runHeader},
        {"composition", dx::cli::runComposition},
        {"future", dx::cli::runFuture},
        {"damage", dx::cli::runDamage},
        {"clause", dx::cli::runClause},
        {"sieve", dx::cli::runSieve},
        {"obs", dx::cli::runObs},
        {"cuttings-sieve", dx::cli::runCuttingsSieve},
        {"pdf", dx::cli::runPdf},
        {"ogf1", dx::cli::runOgf1},
        {"ogf2", dx::cli::runOgf2},
        {"table", dx::cli::runTable},
        {"info", dx::cli::runInfo},
        {"archive", dx::cli::runArchive},
        {"restore", dx::cli::runRestore},
        {"zemtest", dx::cli::runZemTest},
        {"cuttings-list", dx::cli::runCuttingsList},
        {"measures-list", dx::cli::runMeasuresList},
        {"areas", dx::cli::runAreas},
        {"export", dx::cli::runExport},
        {"export-text", dx::cli::runExportText},
        {"export-docx", dx::cli::runExportDocx},
        {"describe", dx::cli::runDescribe},
        {"sheet", dx::cli::runSheet},
    };
    auto it = commands.find(command);
    if (it == commands.end()) {
        std::cerr << "dendrix-cli: unknown command " << command << "\n";
        usage(std::cerr);
        return 2;
    }
    try {
        return it->second(ctx);
    } catch (const std::exception &e) {
        std::cerr << "dendrix-cli: " << e.what() << "\n";
        return 1;
    }
}
