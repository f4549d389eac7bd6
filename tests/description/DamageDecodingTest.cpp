// Damage codes in words: the three-degree form, the state-and-percentage form with its
// hundred mark, unknown letters, failing lookups and codes of odd length or characters.
#include "DescriptionFixture.h"

#include "description/CurrentComposition.h"
#include "description/DamageDecoding.h"
#include "description/DamageWordingMemo.h"

#include <gtest/gtest.h>

using namespace dx;

namespace {

DamageWording listed(const QString &letter)
{
    static const std::map<QString, QString> words = {
        {"к", "корояди"}, {"д", "повреди от дивеч"}, {"г", "гъбни болести"}, {"в", "ветровал"}};
    DamageWording w;
    auto it = words.find(letter);
    w.found = it != words.end();
    if (w.found) w.wording = it->second;
    return w;
}

QString decode(const QString &code) { return decodeDamage(code, listed); }

} // namespace

TEST(DamageCode, ThreeDigitsGiveKindsAndDegrees)
{
    EXPECT_EQ(decode("213"), "обезлистване, леко 20%, силно 10%, загиващи 30%");
    EXPECT_EQ(decode("000"), "обезлистване");
    EXPECT_EQ(decode("к2д03"), "корояди, повреди от дивеч, силно 20%"); // places count letters too
    EXPECT_EQ(decode("1ф11"), "неизвестна повреда (ф), леко 10%, загиващи 10%");
}

TEST(DamageCode, StateAndPercentages)
{
    EXPECT_EQ(decode("10"), "100%");
    EXPECT_EQ(decode("1к"), "10%, корояди");
    EXPECT_EQ(decode("л1"), "леко повредени, 10%");
    EXPECT_EQ(decode("с3гв"), "силно повредени, 30%, гъбни болести, освен това ветровал");
    EXPECT_EQ(decode("н10кд"), "загинали, 100%, корояди, освен това повреди от дивеч");
    // Without the hundred, place 5 is no second kind.
    EXPECT_EQ(decode("л2кдг"), "леко повредени, 20%, корояди, освен това повреди от дивеч, гъбни болести");
    EXPECT_EQ(decode("/"), "неповредени");
    EXPECT_EQ(decode("к"), ""); // another first letter adds nothing
    EXPECT_EQ(decode("л2фк"), "леко повредени, 20%, неизвестна повреда (ф), освен това корояди");
}

TEST(DamageCode, LongAndOddCodesAreReadCharacterByCharacter)
{
    EXPECT_EQ(decode("л1234567891011121314").count(QLatin1Char('%')), 18); // 20 characters
    EXPECT_EQ(decode("кккккккккккккккккккк").count(QStringLiteral("корояди")), 19);
    EXPECT_EQ(decode(" л2 "), "леко повредени, 20%");
    EXPECT_EQ(decode("л😀'"), "леко повредени, неизвестна повреда (😀), неизвестна повреда (')");
}

TEST(DamageCode, AFailingLookupIsReportedAndDecodingGoesOn)
{
    dxtest::DescriptionFixture f;
    std::vector<UserMessage> reports;
    auto report = [&](const UserMessage &m) { reports.push_back(m); };
    EXPECT_EQ(decodeDamage(f.state, "с3гб", report), "силно повредени, 30%, гъбни болести, неизвестна повреда (б)");
    EXPECT_TRUE(reports.empty());
    // A click on the grid explains a damage code only in the damage column.
    EXPECT_EQ(compositionCellStatus(f.state, "Повр", "л2к", report), "повреда: л2к = леко повредени, 20%, корояди");
    EXPECT_EQ(compositionCellStatus(f.state, "Повр", "-", report), "Тилмара ЕООД");
    EXPECT_EQ(compositionCellStatus(f.state, "Дървесен вид", "л2к", report), "Тилмара ЕООД");

    f.state.programDir = QString::fromStdString(f.dir.file("nowhere"));
    EXPECT_EQ(decodeDamage(f.state, "л2кд", report), "леко повредени, 20%");
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0].caption, "Error opening file - повреди");
    EXPECT_EQ(reports[0].text, damageLookupFailedText(f.state.nomenclaturePath()));
    EXPECT_EQ(reports[0].icon, UserMessage::Icon::Error);
}

TEST(DamageCode, ALongCodeOfRepeatedLettersReadsEachLetterAndARunKeepsThem)
{
    dxtest::DescriptionFixture f;
    // A code far longer than any real one, as a table made elsewhere may hold.
    const QString code = "л" + QString("кг").repeated(200);
    QStringList words{"леко повредени"};
    for (int i = 0; i < 200; ++i) words << "корояди" << "гъбни болести";
    words[3] = "освен това корояди"; // the second kind of damage stands in place 4
    EXPECT_EQ(decodeDamage(f.state, code, {}), words.join(", "));

    // Inside a run the letters are kept in the run's memo, for its other descriptions.
    const QString names = f.state.nomenclaturePath();
    DamageWordingMemo run;
    EXPECT_EQ(run.find(names, "к"), nullptr);
    decodeDamage(f.state, "с3кд", {});
    ASSERT_NE(run.find(names, "к"), nullptr);
    EXPECT_EQ(run.find(names, "к")->wording, "корояди");
    EXPECT_NE(run.find(names, "д"), nullptr);
}
