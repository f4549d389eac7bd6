// A generated project as the program loads, counts, sieves and walks it, against the
// same records read one by one from the file: the start-up lists, the status area, a
// sieve's rows and a walk over every sub-compartment agree with what the records hold,
// whatever indexes and decoded columns the engine keeps in between.
#include "core/AppState.h"
#include "core/DataPassword.h"
#include "core/QtText.h"
#include "demo/DemoData.h"
#include "shell/InfoStatus.h"
#include "shell/Navigation.h"
#include "shell/Startup.h"

#include "TestUtil.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

using namespace dx;

namespace {

constexpr int kRecords = 10000; // a hundred thousand takes minutes to generate; the paths are the same

// The project table's records as the file holds them, read cell by cell.
struct Records {
    TableFilePtr table;
    int field(const char *name) const { return table->fieldIndex(name); }
    Value at(size_t row, const char *name) const { return table->value(row, size_t(field(name))); }
};

} // namespace

TEST(ScaleResults, StartupStatusSieveAndWalkAgreeWithTheRecords)
{
    dxtest::TempDir dir;
    DemoOptions o;
    o.records = kRecords;
    createDemoInstallation(dir.path(), o);
    AppState state;
    state.programDir = QString::fromStdString(dir.path());
    loadQuietly(state);
    ASSERT_FALSE(state.projectTablePath.isEmpty());

    Database own(dir.path());
    own.addPassword(dataPassword());
    const Records file{own.table(state.projectTablePath.toStdString())};
    ASSERT_EQ(file.table->rowCount(), size_t(kRecords));

    // Start-up: every compartment once, ascending; the first one's sub-compartments in
    // table order.
    std::map<int64_t, std::vector<std::pair<std::string, size_t>>> byOtd;
    double area = 0;
    for (size_t r = 0; r < file.table->rowCount(); ++r) {
        byOtd[file.at(r, "OTD").toInt()].push_back({file.at(r, "PODOTD").toText(), r});
        area += file.at(r, "PL").toReal();
    }
    QStringList compartments;
    for (const auto &[otd, subs] : byOtd) compartments << QString::number(otd);
    EXPECT_EQ(state.lists.compartments, compartments);
    QStringList firstSubs;
    for (const auto &[pod, row] : byOtd.begin()->second) firstSubs << QString::fromStdString(pod);
    EXPECT_EQ(state.lists.subCompartments, firstSubs);

    // The status area.
    EXPECT_EQ(InfoStatus(state.db, state.projectTablePath),
              QStringLiteral("отдели:%1, подотдели:%2, площ:%3 xa").arg(byOtd.size()).arg(kRecords).arg(formatFixed(area, 1)));

    // A sieve of five conditions: its rows, in table order.
    const QueryResult sieve = state.db.execute(
        "select OTD,PODOTD,PL from \"" + state.projectTablePath.toStdString() +
        "\" where (GSU=1) and (VID_GORI=\"иглолистни\") and ((A1>=20 and A1<=80) or (A2>=20 and A2<=80) or "
        "(A3>=20 and A3<=80) or (A4>=20 and A4<=80) or (A5>=20 and A5<=80)) and (PL<=5) and (NADM_VIS>=600)");
    std::vector<std::string> expected, got;
    for (size_t r = 0; r < file.table->rowCount(); ++r) {
        bool age = false;
        for (const char *a : {"A1", "A2", "A3", "A4", "A5"}) {
            const Value v = file.at(r, a);
            age = age || (!v.isNull() && v.toReal() >= 20 && v.toReal() <= 80);
        }
        const Value gsu = file.at(r, "GSU"), pl = file.at(r, "PL"), nadm = file.at(r, "NADM_VIS");
        if (!gsu.isNull() && gsu.toReal() == 1 && file.at(r, "VID_GORI").toText() == "иглолистни" && age &&
            !pl.isNull() && pl.toReal() <= 5 && !nadm.isNull() && nadm.toReal() >= 600)
            expected.push_back(file.at(r, "OTD").toText() + " " + file.at(r, "PODOTD").toText() + " " +
                               file.at(r, "PL").toText());
    }
    for (const Row &row : sieve.rows) got.push_back(row[0].toText() + " " + row[1].toText() + " " + row[2].toText());
    EXPECT_EQ(got, expected);
    EXPECT_FALSE(expected.empty());

    // A walk over every sub-compartment: compartments ascending, each one's records in
    // table order, each step on exactly its own record, and back to the first at the end.
    std::vector<size_t> walked, order;
    for (const auto &[otd, subs] : byOtd)
        for (const auto &[pod, row] : subs) order.push_back(row);
    for (int i = 0; i < kRecords; ++i) {
        const ListSelection sel = listSelection(state.lists);
        ASSERT_TRUE(selectDescription(state, sel.otd, sel.podotd)) << sel.otd << " " << sel.podotd.toStdString();
        walked.push_back(state.projectTable.bookmark());
        nextSubCompartment(state);
    }
    EXPECT_EQ(walked, order);
    EXPECT_EQ(listSelection(state.lists).otd, byOtd.begin()->first);
}
