// The reference tables of the demo installation (names.dbf, kloni.dbf, bon.dbf) and the
// code lists that the demo projects draw their values from, so that every species,
// cutting kind and damage letter stored in a project is one the nomenclature knows
// (apart from the few deliberately unknown ones).
#pragma once

#include <string>
#include <vector>

namespace dx::demo {

// The species of the demo are named in its code by short keys ("бб", "смр"); the tables
// hold their printable names, the full names that real installations print ("Бял бор",
// "Смърч"), which the reports' fixed species sets spell.
struct SpeciesInfo {
    const char *key;     // the demo's own short key
    const char *print;   // printable name stored in DV1..DV11, OBS_DV1..OBS_DV5, kloni.dbf, bon.dbf
    const char *name;    // the nomenclature's NAME: the botanical Bulgarian name
    const char *latin;
    int code;
    int n3;              // 1 coniferous, 2 broadleaved
    int n6;              // group of forest fund report 2 (coniferous and broadleaved), 0 none
};

struct CodeInfo {
    int code;
    const char *print;
    const char *in2 = ""; // damage letter (list "pov")
};

const std::vector<SpeciesInfo> &speciesList();
const SpeciesInfo *findSpecies(const std::string &key);
// The printable name of a species key; any other text (a deliberately unknown species,
// "-") as it stands.
std::string printName(const std::string &key);
// Width of the species name fields of the demo tables.
inline constexpr int kSpeciesWidth = 24;

// Lists by TYPE of names.dbf: "vs", "ns", "pcp", "sms", "pov" (rows with CODE > 0 only).
const std::vector<CodeInfo> &codeList(const std::string &type);
// Printable name of the entry with this code; throws when the list has none.
std::string codePrint(const std::string &type, int code);

// Species that have no row in kloni.dbf (their branch-wood percentage is 0).
bool lacksBranchWood(const std::string &key);
// The letter that the damage list deliberately does not hold.
inline constexpr const char *kUnknownDamageLetter = "ф";

void writeNomenclature(const std::string &path);
void writeBranchWood(const std::string &path);
void writeSiteClasses(const std::string &path);

} // namespace dx::demo
