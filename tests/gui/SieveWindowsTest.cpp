// The working sieve's range, cutting-type and column-choice windows, opened from the
// sieve and driven through their controls.
#include "WorkingSieveFixture.h"

#include "core/ProfileFile.h"

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>

using namespace dx;
using dxtest::WorkingSieveTest;
using I = CriterionId;
using F = RangeWindow::Field;

TEST_F(WorkingSieveTest, EachRangeCriterionOpensTheRangeWindowInItsMode)
{
    const std::pair<I, const char *> openers[] = {
        {I::Age, "Сито работно - избор Възраст"},       {I::Puln, "Сито работно - избор Пълнота"},
        {I::Bon, "Сито работно - избор Бонитет"},       {I::Zapas, "Сито работно - избор Запас"},
        {I::Bon1, "Сито работно - избор Бонитет(преобладаващ)"}, {I::Pl, "Сито работно - избор Площ"}};
    for (const auto &[id, caption] : openers) {
        sieve->opener(id)->click();
        EXPECT_TRUE(range->isVisible());
        EXPECT_TRUE(range->isModal());
        EXPECT_EQ(range->windowTitle(), caption);
        EXPECT_EQ(range->range().mode(), sieveCriterion(id).rangeMode);
        range->cancelButton()->click();
        EXPECT_FALSE(range->isVisible());
    }
    // Placed below its field: 70 pixels under it, 5 in from its left edge.
    QLineEdit *field = sieve->criterionField(I::Zapas);
    QGroupBox *criteriaGroup = nullptr;
    for (QGroupBox *g : sieve->findChildren<QGroupBox *>())
        if (g->title() == "Критерий") criteriaGroup = g;
    ASSERT_NE(criteriaGroup, nullptr);
    ASSERT_TRUE(criteriaGroup->isAncestorOf(field));
    const QPoint inGroup = field->mapTo(criteriaGroup, QPoint(0, 0));
    sieve->opener(I::Zapas)->click();
    EXPECT_EQ(range->pos(), sieve->frameGeometry().topLeft() + inGroup + QPoint(5, field->height() + 70));
    range->cancelButton()->click();

    // A double click on the age field opens it too, filled from the field's text.
    sieve->criterionField(I::Age)->setText("от 20 до 40");
    doubleClick(sieve->criterionField(I::Age), QPoint(4, 4));
    ASSERT_TRUE(range->isVisible());
    EXPECT_EQ(range->range().mode(), RangeMode::Age);
    EXPECT_TRUE(range->choice(RangeKind::Between)->isChecked());
    EXPECT_EQ(range->field(F::From)->text(), "20");
    EXPECT_EQ(range->field(F::To)->text(), "40");
    EXPECT_TRUE(range->field(F::To)->isEnabled());
    EXPECT_FALSE(range->field(F::UpTo)->isEnabled());
    range->cancelButton()->click();
}

TEST_F(WorkingSieveTest, RangeWindowWritesTheRangeTextThatTheRunUses)
{
    // 40 and 20 under "от - до" are stored smaller first.
    sieve->opener(I::Age)->click();
    range->field(F::From)->setText("40");
    range->field(F::To)->setText("20");
    range->okButton()->click();
    EXPECT_FALSE(range->isVisible());
    EXPECT_EQ(sieve->criterionField(I::Age)->text(), "от 20 до 40");

    // The fields take digits only, at most three.
    sieve->opener(I::Zapas)->click();
    range->choice(RangeKind::UpTo)->click();
    EXPECT_TRUE(range->field(F::UpTo)->isEnabled());
    EXPECT_FALSE(range->field(F::From)->isEnabled());
    type(range->field(F::UpTo), "1a2.-34");
    EXPECT_EQ(range->field(F::UpTo)->text(), "123");

    // An empty value is refused and the window stays open.
    range->field(F::UpTo)->clear();
    range->okButton()->click();
    ASSERT_EQ(w->messages.size(), 1);
    EXPECT_EQ(w->messages[0], "Внимание!|Не e въведенa стойност за критерии \"ДО\".");
    EXPECT_TRUE(range->isVisible());
    range->field(F::UpTo)->setText("150");
    range->okButton()->click();
    EXPECT_EQ(sieve->criterionField(I::Zapas)->text(), "до 150");

    // "от - до" needs both values.
    sieve->opener(I::Puln)->click();
    range->choice(RangeKind::Between)->click();
    range->field(F::From)->setText("3");
    range->okButton()->click();
    ASSERT_EQ(w->messages.size(), 2);
    EXPECT_EQ(w->messages[1], "Внимание!|Не са въведени стойности за критерия \"ОТ-ДО\".");
    range->cancelButton()->click();
    EXPECT_TRUE(sieve->criterionField(I::Puln)->text().isEmpty());

    // "Изчисти" on the stock window empties the stock criterion.
    sieve->opener(I::Zapas)->click();
    EXPECT_TRUE(range->choice(RangeKind::UpTo)->isChecked());
    EXPECT_EQ(range->field(F::UpTo)->text(), "150");
    range->clearButton()->click();
    EXPECT_FALSE(range->isVisible());
    EXPECT_TRUE(sieve->criterionField(I::Zapas)->text().isEmpty());
    EXPECT_TRUE(range->choice(RangeKind::Between)->isChecked());

    // Area over 5 and age: the run takes the range conditions in table order.
    sieve->opener(I::Pl)->click();
    range->choice(RangeKind::Over)->click();
    range->field(F::Over)->setText("5");
    range->okButton()->click();
    EXPECT_EQ(sieve->criterionField(I::Pl)->text(), "над 5");
    sieve->opener(I::Bon1)->click();
    range->choice(RangeKind::Equal)->click();
    range->field(F::Equal)->setText("2");
    range->okButton()->click();
    EXPECT_EQ(sieve->criterionField(I::Bon1)->text(), "равно на 2");
    run();
    EXPECT_TRUE(sieve->selection().startsWith(" (PL>=5)  and  (B1=2)  and ((A1>=20 and A1<=40) or"))
        << sieve->selection().toStdString();
    EXPECT_EQ(w->messages.size(), 2);

    // Closing the sieve closes an open range window.
    sieve->opener(I::Age)->click();
    sieve->close();
    EXPECT_FALSE(range->isVisible());
}

TEST_F(WorkingSieveTest, CuttingWindowOffersEachPositionsTypesAndSetsTheCriterion)
{
    sieve->criterionField(I::Cutting)->setFocus();
    doubleClick(sieve->criterionField(I::Cutting), QPoint(4, 4));
    ASSERT_TRUE(cutting->isVisible());
    EXPECT_EQ(cutting->windowTitle(), "Видове сечи");
    ASSERT_TRUE(cutting->cutting().isLoaded());
    // A position is usable when the project holds a type in it; "-" is no type.
    int chosenSlot = 0;
    for (int n = 1; n <= kCuttingSlots; ++n) {
        QComboBox *list = cutting->slotList(n);
        EXPECT_EQ(list->isEnabled(), list->count() > 0) << n;
        EXPECT_EQ(list->findText("-"), -1);
        EXPECT_TRUE(list->currentText().isEmpty());
        if (list->isEnabled()) chosenSlot = n;
    }
    ASSERT_TRUE(cutting->slotList(1)->isEnabled());
    EXPECT_FALSE(cutting->slotList(9)->isEnabled());
    ASSERT_GT(chosenSlot, 1);

    const QString first = cutting->slotList(1)->itemText(0);
    const QString other = cutting->slotList(chosenSlot)->itemText(0);
    cutting->slotList(chosenSlot)->setCurrentIndex(0);
    cutting->slotList(1)->setEditText(first);
    cutting->okButton()->click();
    EXPECT_FALSE(cutting->isVisible());
    EXPECT_EQ(sieve->criterionField(I::Cutting)->text(), first + ", " + other);
    run();
    EXPECT_EQ(sieve->selection(), QString("SECH1=\"%1\" and SECH%2=\"%3\"").arg(first).arg(chosenSlot).arg(other));
    EXPECT_TRUE(sieve->heading().contains("филтър:  ,вид сеч: " + first + ", " + other + "\r\n"));

    // Opened again: the confirmed choice; "Изчисти" empties it and leaves the window open,
    // "Отказ" keeps the criterion as it was.
    sieve->opener(I::Cutting)->click();
    EXPECT_EQ(cutting->slotList(1)->currentText(), first);
    cutting->clearButton()->click();
    EXPECT_TRUE(cutting->isVisible());
    EXPECT_TRUE(cutting->slotList(1)->currentText().isEmpty());
    cutting->cancelButton()->click();
    EXPECT_EQ(sieve->criterionField(I::Cutting)->text(), first + ", " + other);

    // Each show of the sieve marks the lists stale for the next opening.
    sieve->hide();
    sieve->show();
    EXPECT_FALSE(cutting->cutting().isLoaded());
    sieve->command(TFormSitoRabotno::Command::New)->trigger();
    sieve->opener(I::Cutting)->click();
    EXPECT_TRUE(cutting->cutting().isLoaded());
    EXPECT_TRUE(cutting->slotList(chosenSlot)->currentText().isEmpty());
    cutting->cancelButton()->click();
}

TEST_F(WorkingSieveTest, ColumnChoiceIsKeptInTheSettingsFile)
{
    QAction *settings = nullptr;
    for (QAction *menu : sieve->menus()->actions())
        for (QAction *a : menu->menu()->actions())
            if (a->text() == "Настройки") settings = a;
    ASSERT_TRUE(settings);
    settings->trigger();
    ASSERT_TRUE(setting->isVisible());
    EXPECT_EQ(setting->windowTitle(), "Настройки - Сито работно");
    QListWidget *list = setting->checkList();
    ASSERT_EQ(list->count(), 57);
    EXPECT_EQ(list->item(56)->text(), "паша");
    // The demo installation keeps 0,1,2,5,8,12.
    EXPECT_EQ(setting->totalLabel()->text(), "Общо: 57");
    EXPECT_EQ(setting->selectedLabel()->text(), "Избрани: 6");
    EXPECT_EQ(setting->choice(), (QList<int>{0, 1, 2, 5, 8, 12}));
    EXPECT_EQ(list->item(8)->checkState(), Qt::Checked);
    EXPECT_EQ(list->item(7)->checkState(), Qt::Unchecked);
    // The first three cannot be unticked.
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(list->item(i)->flags() & Qt::ItemIsEnabled);
    list->item(2)->setCheckState(Qt::Unchecked);
    EXPECT_EQ(list->item(2)->checkState(), Qt::Checked);
    setting->selectAllButton()->click();
    EXPECT_EQ(setting->selectedLabel()->text(), "Избрани: 57");
    setting->clearAllButton()->click();
    EXPECT_EQ(setting->selectedLabel()->text(), "Избрани: 3");
    EXPECT_EQ(list->item(0)->checkState(), Qt::Checked);

    list->item(56)->setCheckState(Qt::Checked);
    list->item(3)->setCheckState(Qt::Checked);
    EXPECT_EQ(setting->selectedLabel()->text(), "Избрани: 5");
    setting->okButton()->click();
    EXPECT_FALSE(setting->isVisible());
    EXPECT_EQ(ProfileFile::load(state().settingsPath()).readString("сито работно", "fields"), "0,1,2,3,56");

    set(I::Gsu, "2");
    run();
    EXPECT_EQ(gridTitleLine(*sieve->model(), "|"), "отдел|подотдел|площ|гсу|паша");

    // "Отказ" goes back to the stored choice.
    sieve->openSettings();
    list->item(10)->setCheckState(Qt::Checked);
    setting->cancelButton()->click();
    EXPECT_EQ(setting->choice(), (QList<int>{0, 1, 2, 3, 56}));
    EXPECT_EQ(list->item(10)->checkState(), Qt::Unchecked);
    EXPECT_TRUE(w->messages.isEmpty());
}

TEST_F(WorkingSieveTest, StoredColumnChoiceWithWrongItemsIsReportedAndTheRestKept)
{
    ProfileFile ini = ProfileFile::load(state().settingsPath());
    ini.writeString("сито работно", "fields", "0,1,x,99,5");
    ini.save();
    // The choice is read again with the lists, after the next show of the main window.
    sieve->hide();
    w->main->hide();
    w->main->show();
    sieve->show();
    ASSERT_EQ(w->messages.size(), 1);
    EXPECT_TRUE(w->messages[0].startsWith("Настройки - Сито работно|"));
    EXPECT_TRUE(w->messages[0].endsWith(": x, 99")) << w->messages[0].toStdString();
    EXPECT_EQ(setting->choice(), (QList<int>{0, 1, 2, 5}));
}
