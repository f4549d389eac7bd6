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

namespace {

// A project whose compartment 7 holds the sub-compartment б twice: 1 (а, б), 3 (в, а),
// 7 (а, б, б, в). The current sub-compartment is what was last shown.
class Current : public Moves {
protected:
    void SetUp() override
    {
        Moves::SetUp();
        std::vector<dx::Row> rows;
        for (auto [otd, pod] : {std::pair{3, "в"}, {1, "а"}, {7, "а"}, {3, "а"}, {1, "б"}, {7, "б"}, {7, "б"}, {7, "в"}})
            rows.push_back({dx::Value::fromInt(otd), dx::Value::fromText(pod)});
        dx::dbf::create(dir.file("d.dbf"),
                        {dx::makeField("OTD", dx::FieldType::Integer, 4), dx::makeField("PODOTD", dx::FieldType::Text, 3)},
                        rows);
        state.projectTablePath = dx::qs(dir.file("d.dbf"));
        state.projectTable.setPath(dir.file("d.dbf"));
        dx::fillCompartments(state);
        dx::reloadSubCompartments(state, state.lists.compartmentText);
        EXPECT_TRUE(dx::showSubCompartment(state, 1, "а").shown);
    }
    std::string current() const
    {
        return std::to_string(state.currentOtd) + ":" + dx::ss(state.currentPodotd);
    }
    // Moves until `count` pairs were seen; each must be the one on screen and in the lists.
    std::vector<std::string> walk(void (*step)(dx::AppState &), int count)
    {
        std::vector<std::string> seen;
        for (int i = 0; i < count; ++i) {
            EXPECT_TRUE(dx::moveAndShow(state, step).shown);
            EXPECT_EQ(at(), current());
            seen.push_back(current());
        }
        return seen;
    }
};

} // namespace

TEST_F(Current, MovesPassOverASubCompartmentEnteredTwice)
{
    EXPECT_EQ(walk(dx::nextSubCompartment, 7),
              (std::vector<std::string>{"1:б", "3:в", "3:а", "7:а", "7:в", "1:а", "1:б"}));
    ASSERT_TRUE(dx::showSubCompartment(state, 7, "в").shown);
    EXPECT_EQ(walk(dx::priorSubCompartment, 3), (std::vector<std::string>{"7:а", "3:а", "3:в"}));
}

TEST_F(Current, MovesStartFromTheSubCompartmentOnScreenNotFromTypedTexts)
{
    // The user typed into both lists and chose another compartment without showing it.
    ASSERT_TRUE(dx::showSubCompartment(state, 3, "а").shown);
    dx::chooseCompartment(state, 2);
    state.lists.compartmentText = "1";
    state.lists.subCompartmentText = "я";
    EXPECT_EQ(walk(dx::nextCompartment, 1), (std::vector<std::string>{"7:а"}));
    ASSERT_TRUE(dx::showSubCompartment(state, 7, "в").shown);
    EXPECT_EQ(walk(dx::nextCompartment, 1), (std::vector<std::string>{"1:а"})); // the last wraps
}

TEST_F(Current, APairThatNamesNoSingleRecordChangesNothing)
{
    ASSERT_TRUE(dx::showSubCompartment(state, 3, "в").shown);
    for (auto [otd, pod] : {std::pair{7, "б"}, {3, "я"}, {99, "а"}, {3, "a"}}) {
        EXPECT_FALSE(dx::showSubCompartment(state, otd, QString::fromUtf8(pod)).shown) << otd << pod;
        EXPECT_EQ(current(), "3:в");
    }
    EXPECT_FALSE(dx::goToAndShow(state, "7", "б").shown);
    EXPECT_FALSE(dx::goToAndShow(state, "1", "в").shown);
    EXPECT_EQ(current(), "3:в");
    EXPECT_EQ(at(), "3:в"); // the lists are back on the sub-compartment on screen
    EXPECT_TRUE(dx::goToAndShow(state, "7", "в").shown);
    EXPECT_EQ(at(), "7:в");
}

TEST_F(Current, ATypedCompartmentListsItsSubCompartmentsOnlyWhenItHasAny)
{
    state.lists.compartmentText = " 3 ";
    std::optional<dx::ListSelection> sel = dx::listedPair(state);
    ASSERT_TRUE(sel.has_value());
    EXPECT_EQ(sel->otd, 3);
    EXPECT_EQ(sel->podotd, "а"); // the sub-compartment in the box, which 3 has too
    EXPECT_EQ(state.lists.subCompartments, QStringList({"в", "а"}));
    EXPECT_EQ(state.lists.compartment, 1);
    state.lists.compartmentText = "1";
    state.lists.subCompartmentText = "в";
    EXPECT_EQ(dx::listedPair(state)->podotd, "а"); // 1 has no в: its first

    // A number without records leaves the lists as they were, the typed text included.
    dx::alignListsToCurrent(state);
    state.lists.compartmentText = "5";
    sel = dx::listedPair(state);
    ASSERT_TRUE(sel.has_value());
    EXPECT_EQ(sel->otd, 5);
    EXPECT_EQ(state.lists.compartmentText, "5");
    EXPECT_EQ(state.lists.subCompartments, QStringList({"а", "б"}));
    EXPECT_EQ(state.lists.compartment, 0);
    EXPECT_FALSE(dx::showSubCompartment(state, sel->otd, sel->podotd).shown);
    EXPECT_EQ(current(), "1:а");

    state.lists.compartmentText = "3 or 1=1";
    EXPECT_FALSE(dx::listedPair(state).has_value());
}

TEST_F(Current, AChosenSubCompartmentBelongsToTheListedCompartment)
{
    dx::chooseCompartment(state, 1); // 3 listed
    state.lists.compartmentText = "x"; // then something typed above it
    std::optional<dx::ListSelection> sel = dx::chosenSubCompartment(state, 1);
    ASSERT_TRUE(sel.has_value());
    EXPECT_EQ(sel->otd, 3);
    EXPECT_EQ(sel->podotd, "а");
    EXPECT_EQ(at(), "3:а");
    EXPECT_FALSE(dx::chosenSubCompartment(state, 5).has_value());
}

TEST_F(Current, AProjectWithOnlyUnshowablePairsStaysPut)
{
    std::vector<dx::Row> rows;
    for (int i = 0; i < 2; ++i) rows.push_back({dx::Value::fromInt(4), dx::Value::fromText("а")});
    dx::dbf::create(dir.file("u.dbf"),
                    {dx::makeField("OTD", dx::FieldType::Integer, 4), dx::makeField("PODOTD", dx::FieldType::Text, 3)},
                    rows);
    state.projectTablePath = dx::qs(dir.file("u.dbf"));
    state.projectTable.close();
    state.projectTable.setPath(dir.file("u.dbf"));
    dx::fillCompartments(state);
    dx::reloadSubCompartments(state, state.lists.compartmentText);
    for (auto step : {dx::nextSubCompartment, dx::priorSubCompartment, dx::nextCompartment, dx::priorCompartment})
        EXPECT_FALSE(dx::moveAndShow(state, step).shown); // ends, does not loop
    EXPECT_EQ(current(), "1:а");
}
