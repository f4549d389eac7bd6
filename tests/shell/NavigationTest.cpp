// The moves through a project: the compartment and sub-compartment lists, the toolbar
// moves with their ends, and the sieves' go-to.
#include "core/QtText.h"
#include "engine/dbf/DbfFile.h"
#include "shell/Navigation.h"

#include "TestUtil.h"

#include <gtest/gtest.h>

namespace {

// Compartments 1 (а, б), 3 (в, а: not alphabetical) and 7 (а).
class Moves : public ::testing::Test {
protected:
    void SetUp() override
    {
        using dx::FieldType;
        std::vector<dx::Row> rows;
        for (auto [otd, pod] : {std::pair{3, "в"}, {1, "а"}, {7, "а"}, {3, "а"}, {1, "б"}})
            rows.push_back({dx::Value::fromInt(otd), dx::Value::fromText(pod)});
        dx::dbf::create(dir.file("p.dbf"),
                        {dx::makeField("OTD", FieldType::Integer, 4), dx::makeField("PODOTD", FieldType::Text, 3)},
                        rows);
        state.programDir = dx::qs(dir.path());
        state.db.setProgramDir(dir.path());
        state.projectTablePath = dx::qs(dir.file("p.dbf"));
        dx::fillCompartments(state);
        dx::reloadSubCompartments(state, state.lists.compartmentText);
    }
    std::string at() const
    {
        return dx::ss(state.lists.compartmentText + ":" + state.lists.subCompartmentText);
    }
    dxtest::TempDir dir;
    dx::AppState state;
};

} // namespace

TEST_F(Moves, ListsFollowTheTable)
{
    EXPECT_EQ(state.lists.compartments, QStringList({"1", "3", "7"}));
    EXPECT_EQ(state.firstOtd, 1);
    EXPECT_EQ(state.lastOtd, 7);
    dx::chooseCompartment(state, 1);
    EXPECT_EQ(state.lists.subCompartments, QStringList({"в", "а"})); // table order
    EXPECT_EQ(at(), "3:в");
    dx::reloadSubCompartments(state, "3 or 1=1"); // typed text is no number: nothing matches
    EXPECT_TRUE(state.lists.subCompartments.isEmpty());
}

TEST_F(Moves, NextSubCompartmentWrapsToTheFirstCompartment)
{
    std::vector<std::string> seen;
    for (int i = 0; i < 6; ++i) {
        dx::nextSubCompartment(state);
        seen.push_back(at());
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"1:б", "3:в", "3:а", "7:а", "1:а", "1:б"}));
}

TEST_F(Moves, PriorSubCompartmentTakesTheLastOfThePreviousCompartment)
{
    dx::chooseCompartment(state, 1);
    dx::priorSubCompartment(state);
    EXPECT_EQ(at(), "1:б");
    dx::priorSubCompartment(state);
    EXPECT_EQ(at(), "1:а");
    // On the very first sub-compartment it stays on the first compartment, at its end.
    dx::priorSubCompartment(state);
    EXPECT_EQ(at(), "1:б");
}

TEST_F(Moves, CompartmentMovesWrapForwardAndStopBackward)
{
    dx::priorCompartment(state);
    EXPECT_EQ(at(), "1:а");
    dx::nextCompartment(state);
    EXPECT_EQ(at(), "3:в");
    dx::nextCompartment(state);
    dx::nextCompartment(state);
    EXPECT_EQ(at(), "1:а");
}

TEST_F(Moves, GoToSelectsBothListsOrLeavesTheSubCompartmentEmpty)
{
    EXPECT_TRUE(dx::goToSubCompartment(state, "3", "а"));
    EXPECT_EQ(at(), "3:а");
    EXPECT_EQ(state.lists.compartment, 1);
    EXPECT_EQ(state.lists.subCompartment, 1);
    EXPECT_FALSE(dx::goToSubCompartment(state, "7", "я"));
    EXPECT_EQ(state.lists.subCompartment, -1);
    EXPECT_EQ(at(), "7:");
}

TEST_F(Moves, EmptyProjectMovesNowhere)
{
    dx::dbf::create(dir.file("e.dbf"),
                    {dx::makeField("OTD", dx::FieldType::Integer, 4), dx::makeField("PODOTD", dx::FieldType::Text, 3)});
    state.projectTablePath = dx::qs(dir.file("e.dbf"));
    dx::fillCompartments(state);
    dx::reloadSubCompartments(state, state.lists.compartmentText);
    dx::nextSubCompartment(state);
    dx::priorSubCompartment(state);
    dx::nextCompartment(state);
    dx::priorCompartment(state);
    EXPECT_EQ(at(), ":");
}
