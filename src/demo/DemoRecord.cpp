// Field list of the project table and conversion of a demo record into a table row.
// Both walk the same visitor, so that names and values can never drift apart.
#include "demo/DemoRecord.h"

#include "demo/DemoNomenclature.h"

#include <string>

namespace dx::demo {
namespace {

// A species field is text holding the species' printable name (the record keeps its key).
enum class Kind { Text, Species, Long, Short, Real };

// Walks the fields of `r` in table order; `f(name, index, kind, width, decimals, value)`
// receives the field name's stem and slot number (0 for unnumbered fields). The value
// is a pointer to the member (std::string, int or double according to the kind).
template <class F>
void eachField(const Record &r, F &&f)
{
    f("OTD", 0, Kind::Long, 5, 0, &r.otd);
    f("PODOTD", 0, Kind::Text, 4, 0, &r.podotd);
    f("PL", 0, Kind::Real, 7, 1, &r.pl);
    f("GSU", 0, Kind::Short, 3, 0, &r.gsu);
    f("ZEML", 0, Kind::Long, 6, 0, &r.zeml);
    f("VID_GORI", 0, Kind::Text, 25, 0, &r.vidGori);
    f("VID_PODOTD", 0, Kind::Text, 25, 0, &r.vidPodotd);
    f("STOP_KLAS", 0, Kind::Text, 30, 0, &r.stopKlas);
    f("NZN", 1, Kind::Text, 30, 0, &r.nzn[0]);
    f("NZN", 2, Kind::Text, 24, 0, &r.nzn[1]);
    for (int i = 3; i <= 7; ++i) f("NZN", i, Kind::Text, 30, 0, &r.nzn[size_t(i - 1)]);
    f("OBLAST", 0, Kind::Text, 32, 0, &r.oblast);
    f("PODPOIAS", 0, Kind::Text, 40, 0, &r.podpoias);
    f("NADM_VIS", 0, Kind::Long, 5, 0, &r.nadmVis);
    f("IZLOJENIE", 0, Kind::Text, 15, 0, &r.izlojenie);
    f("RELEF", 0, Kind::Text, 20, 0, &r.relef);
    f("NAKLON", 0, Kind::Short, 3, 0, &r.naklon);
    f("MESTORAST", 0, Kind::Text, 50, 0, &r.mestorast);
    f("STROEJ", 0, Kind::Text, 15, 0, &r.stroej);
    f("SYSTOIANIE", 0, Kind::Text, 15, 0, &r.systoianie);
    f("PRAVOSTYBL", 0, Kind::Text, 10, 0, &r.pravostybl);
    f("SHEMA", 0, Kind::Text, 10, 0, &r.shema);
    f("POCHVA", 0, Kind::Text, 30, 0, &r.pochva);
    f("MEH_SYST", 0, Kind::Text, 30, 0, &r.mehSyst);
    f("KAMENL", 0, Kind::Text, 20, 0, &r.kamenl);
    f("PLYTNOST", 0, Kind::Text, 20, 0, &r.plytnost);
    f("DYLBOCHINA", 0, Kind::Text, 20, 0, &r.dylbochina);
    f("VLAJNOST", 0, Kind::Text, 15, 0, &r.vlajnost);
    f("ERO_ST", 0, Kind::Text, 15, 0, &r.eroSt);
    f("VID_ERO1", 0, Kind::Text, 25, 0, &r.vidEro1);
    f("VID_ERO2", 0, Kind::Text, 25, 0, &r.vidEro2);
    f("OSN_SKALA", 0, Kind::Text, 20, 0, &r.osnSkala);
    f("NELES", 0, Kind::Short, 3, 0, &r.neles);
    f("BOGATSTVO", 0, Kind::Text, 15, 0, &r.bogatstvo);
    f("SECH_PER", 0, Kind::Short, 3, 0, &r.sechPer);
    for (int i = 1; i <= 9; ++i) f("SECH", i, Kind::Text, 30, 0, &r.sech[size_t(i - 1)]);
    for (int j = 1; j <= 11; ++j) {
        const StandSlot &s = r.standSlots[size_t(j - 1)];
        f("DV", j, Kind::Species, kSpeciesWidth, 0, &s.dv);
        f("ET", j, Kind::Text, 4, 0, &s.et);
        f("UCH", j, Kind::Short, 2, 0, &s.uch);
        f("POVR", j, Kind::Text, 8, 0, &s.povr);
        f("PR", j, Kind::Short, 1, 0, &s.pr);
        f("A", j, Kind::Short, 3, 0, &s.a);
        f("PYLN", j, Kind::Real, 4, 1, &s.pyln);
        f("H", j, Kind::Short, 2, 0, &s.h);
        f("B", j, Kind::Short, 1, 0, &s.b);
        f("D", j, Kind::Short, 3, 0, &s.d);
        f("VHA", j, Kind::Long, 4, 0, &s.vha);
        f("V", j, Kind::Long, 6, 0, &s.v);
        f("POLZV", j, Kind::Long, 6, 0, &s.polzv);
    }
    f("NAS_ZALES", 0, Kind::Text, 30, 0, &r.nasZales);
    f("PP1", 0, Kind::Text, 30, 0, &r.pp1);
    f("PLPP1", 0, Kind::Real, 6, 1, &r.plpp1);
    f("PP2", 0, Kind::Text, 30, 0, &r.pp2);
    f("PLPP2", 0, Kind::Real, 6, 1, &r.plpp2);
    f("SMESVANE", 0, Kind::Text, 20, 0, &r.smesvane);
    f("SHEMA_ZAL", 0, Kind::Text, 10, 0, &r.shemaZal);
    f("TSEL", 0, Kind::Text, 40, 0, &r.tsel);
    for (int k = 1; k <= 5; ++k) {
        const FutureSlot &s = r.obs[size_t(k - 1)];
        f("OBS_DV", k, Kind::Species, kSpeciesWidth, 0, &s.dv);
        f("OBS_UCH", k, Kind::Short, 2, 0, &s.uch);
        f("OBS_B", k, Kind::Short, 1, 0, &s.b);
        f("OBS_ZALES", k, Kind::Real, 6, 1, &s.zales);
    }
    f("GOD_SECH", 0, Kind::Long, 4, 0, &r.godSech);
    f("PASHA", 0, Kind::Text, 15, 0, &r.pasha);
}

} // namespace

std::vector<FieldDef> projectFields(TableFormat format)
{
    std::vector<FieldDef> out;
    out.reserve(221);
    Record none;
    eachField(none, [&](const char *stem, int index, Kind kind, int width, int decimals, const void *) {
        FieldDef fd;
        fd.name = index ? std::string(stem) + std::to_string(index) : std::string(stem);
        switch (kind) {
        case Kind::Text:
        case Kind::Species:
            fd.type = FieldType::Text;
            fd.width = width;
            break;
        case Kind::Long:
        case Kind::Short:
            fd.type = FieldType::Integer;
            if (format == TableFormat::Dbase) {
                fd.width = width;
            } else if (kind == Kind::Short) {
                fd.width = 2;
                fd.nativeType = 0x03;
            } else {
                fd.width = 4;
            }
            break;
        case Kind::Real:
            fd.type = FieldType::Real;
            fd.width = format == TableFormat::Dbase ? width : 8;
            fd.decimals = decimals;
            break;
        }
        out.push_back(std::move(fd));
    });
    return out;
}

Row toRow(const Record &r)
{
    Row row;
    row.reserve(221);
    eachField(r, [&](const char *, int, Kind kind, int, int, const void *value) {
        switch (kind) {
        case Kind::Text:
            row.push_back(Value::fromText(*static_cast<const std::string *>(value)));
            break;
        case Kind::Species:
            row.push_back(Value::fromText(printName(*static_cast<const std::string *>(value))));
            break;
        case Kind::Long:
        case Kind::Short:
            row.push_back(Value::fromInt(*static_cast<const int *>(value)));
            break;
        case Kind::Real:
            row.push_back(Value::fromReal(*static_cast<const double *>(value)));
            break;
        }
    });
    return row;
}

} // namespace dx::demo
