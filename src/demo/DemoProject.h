// Generation of one demo project: the forest unit it describes (region, land areas,
// kinds of stand), its sub-compartment records, and the tables written from them.
#pragma once

#include "demo/DemoRandom.h"
#include "demo/DemoRecord.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace dx::demo {

struct LandArea {
    int nomer;
    const char *name;
};

enum class Storage { EncryptedParadox, Paradox, Dbase };

// The kinds of stand a forest unit grows, by weight (see kStandTypes in DemoProject.cpp).
struct StandWeights {
    int pine, spruce, fir, whitePine, blackPine, beech, sessileOak, coppiceOak, reconstruction,
        lowStem, poplar, dwarfPine;
};

struct ProjectSpec {
    int id = 0;                    // stream of random numbers of this project
    std::string direkcia, vid, bgname, year;
    std::string tabl;              // as the catalogue writes it: database\NAME
    std::string tableOnDisk;       // the file as created, relative, '/' separated
    std::string zemnom, zemnomOnDisk;
    Storage storage = Storage::Paradox;
    int records = 0;
    int altitudeLow = 0, altitudeHigh = 0;
    std::string oblast;
    std::vector<std::string> subBelts;
    std::vector<std::string> soils;
    std::vector<std::string> rocks;
    std::vector<LandArea> landAreas;
    int missingLandArea = 0;       // a ZEML number that the land-area table lacks
    StandWeights stands{};
    std::vector<int> ownershipWeights; // over kOwnerships in DemoProject.cpp
    std::string noValue = "-";     // how this project's data entry wrote an empty text
    bool lowland = false;          // holds altitudes 0, 50, 51 and 100
    bool duplicatePair = false;    // holds one OTD/PODOTD pair twice
};

// Hands the records of the project to `emit` in table order: random stands around the
// showcase records of compartments 2 to 5 (DemoShowcase.cpp). Records are made one
// compartment at a time, so that a large project is never held whole as records.
void generateRecords(const ProjectSpec &plan, uint64_t seed, const std::function<void(Record &&)> &emit);

// Generates the project and writes its project table and land-area table under `dir`.
void writeProject(const std::string &dir, const ProjectSpec &plan, uint64_t seed);

// --- shared between the random stands and the showcase records -------------------

struct CompartmentSite {
    int otd = 0, gsu = 1, zeml = 0, altitude = 0;
    std::string nzn1, nzn2, oblast, subBelt, soil, rock, exposure;
};

class RecordMaker {
public:
    RecordMaker(const ProjectSpec &plan, Random &rnd) : plan_(plan), rnd_(rnd) {}

    CompartmentSite compartment(int otd, int compartmentCount);
    // A random sub-compartment of the compartment; `nonWood` makes it non-wood land
    // (a meadow, a ride, rocks, ...), which carries a digit instead of a letter.
    Record randomRecord(const CompartmentSite &site, const std::string &podotd, bool nonWood);

    // Building blocks.
    Record base(const CompartmentSite &site, const std::string &podotd, double pl);
    void fillSite(Record &r, const CompartmentSite &site);
    void fillSoil(Record &r, const CompartmentSite &site);
    // Appends a slot: V = VHA x area, use = V x cutting percentage. Returns its index.
    size_t addSlot(Record &r, const std::string &dv, const std::string &et, int uch, int pr, int a,
                   double pyln, int h, int b, int d, int vha);
    void planCutting(Record &r, const std::string &kind, int percent, const std::string &second = "");
    void recomputeUse(Record &r);
    void planAfforestation(Record &r, const std::vector<std::pair<std::string, int>> &species, int b,
                           bool planted);
    std::string noValue() const { return plan_.noValue; }
    Random &random() { return rnd_; }
    const ProjectSpec &plan() const { return plan_; }

private:
    void standRecord(Record &r, const CompartmentSite &site);
    void openLand(Record &r, const CompartmentSite &site);
    void nonWoodLand(Record &r, const CompartmentSite &site);
    std::string damage();

    const ProjectSpec &plan_;
    Random &rnd_;
};

int heightFor(int age, int siteClass, bool coppice);
int diameterFor(int height, int age);

// Adds the showcase records of compartments 2 to 5 (edge cases of the decoding, the
// reports and the lists) to `out`, and to `late` those that stand at the table's end.
void addShowcase(RecordMaker &maker, std::vector<Record> &out, std::vector<Record> &late, int compartmentCount);

} // namespace dx::demo
