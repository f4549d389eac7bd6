// Small project tables and a nomenclature with species classes (N3) and report groups
// (N6) for the forest fund report tests.
#pragma once

#include "sieves/SieveFixture.h"

namespace dxtest {

struct ForestFundFixture : SieveFixture {
    // A stand record: kind of forest, kind of sub-compartment, area, ownership, purpose.
    static ProjectRow stand(int otd, const char *podotd, const char *vidGori, const char *vidPodotd, double pl,
                            const char *nzn2 = "държавна", const char *nzn1 = "дървопроизв.и средообр")
    {
        ProjectRow r(otd, podotd);
        r.text("VID_GORI", vidGori).text("VID_PODOTD", vidPodotd).real("PL", pl).text("NZN2", nzn2).text("NZN1", nzn1);
        return r;
    }

    // names.dbf with the species: type "dv", code, PRINT, N3, N6.
    void makeNomenclature(const std::vector<std::tuple<const char *, int, int>> &species)
    {
        using dx::FieldType;
        using dx::makeField;
        std::vector<dx::Row> rows;
        int code = 0;
        rows.push_back({dx::Value::fromText("dv"), dx::Value::fromInt(0), dx::Value::fromText("дървесни видове"),
                        dx::Value::fromInt(0), dx::Value::fromInt(0)});
        for (const auto &[print, n3, n6] : species)
            rows.push_back({dx::Value::fromText("dv"), dx::Value::fromInt(++code), dx::Value::fromText(print),
                            dx::Value::fromInt(n3), dx::Value::fromInt(n6)});
        rows.push_back({dx::Value::fromText("vs"), dx::Value::fromInt(1), dx::Value::fromText("гола сеч"),
                        dx::Value::fromInt(2), dx::Value::fromInt(1)});
        dx::dbf::create(dir.file("names.dbf"),
                        {makeField("TYPE", FieldType::Text, 4), makeField("CODE", FieldType::Integer, 4),
                         makeField("PRINT", FieldType::Text, 40), makeField("N3", FieldType::Integer, 2),
                         makeField("N6", FieldType::Integer, 2)},
                        rows);
    }
};

} // namespace dxtest
