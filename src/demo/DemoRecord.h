// One sub-compartment record of a demo project table, with named members, and its
// conversion to the 221 fields of the project table in their fixed order.
#pragma once

#include "engine/common/Value.h"

#include <array>
#include <string>
#include <vector>

namespace dx::demo {

// One species of one storey of the current stand.
struct StandSlot {
    std::string dv = "-";
    std::string et = "-";
    int uch = 0;
    std::string povr = "-";
    int pr = 0;
    int a = 0;
    double pyln = 0;
    int h = 0;
    int b = 0;
    int d = 0;
    int vha = 0;
    int v = 0;
    int polzv = 0;
    bool filled() const { return dv != "-"; }
};

// One species of the target composition.
struct FutureSlot {
    std::string dv = "-";
    int uch = 0;
    int b = 0;
    double zales = 0;
};

struct Record {
    int otd = 0;
    std::string podotd;
    double pl = 0;
    int gsu = 1;
    int zeml = 0;
    std::string vidGori = "-", vidPodotd = "-", stopKlas = "-";
    std::array<std::string, 7> nzn{"-", "-", "-", "-", "-", "-", "-"};
    std::string oblast = "-", podpoias = "-";
    int nadmVis = 0;
    std::string izlojenie = "-", relef = "-";
    int naklon = 0;
    std::string mestorast = "-", stroej = "-", systoianie = "-", pravostybl = "-", shema = "-";
    std::string pochva = "-", mehSyst = "-", kamenl = "-", plytnost = "-", dylbochina = "-",
                vlajnost = "-", eroSt = "-", vidEro1 = "-", vidEro2 = "-", osnSkala = "-";
    int neles = 0;
    std::string bogatstvo = "-";
    int sechPer = 0;
    std::array<std::string, 9> sech{"-", "-", "-", "-", "-", "-", "-", "-", "-"};
    std::array<StandSlot, 11> standSlots;
    std::string nasZales = "-", pp1 = "-";
    double plpp1 = 0;
    std::string pp2 = "-";
    double plpp2 = 0;
    std::string smesvane = "-", shemaZal = "-", tsel = "-";
    std::array<FutureSlot, 5> obs;
    int godSech = 0;
    std::string pasha = "-";
};

enum class TableFormat { Paradox, Dbase };

// The 221 fields of the project table in their order, with the widths of the demo
// tables. Paradox tables store the small whole numbers as Short.
std::vector<FieldDef> projectFields(TableFormat format);

// The record's values in the order of projectFields().
Row toRow(const Record &r);

} // namespace dx::demo
