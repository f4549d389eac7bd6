// Forest units, project catalogue (project.conf) and settings file (Dendrix.ini) of the
// demo installation. Both text files are written as the Windows program writes them:
// code page 1251, CR LF line ends, backslashes in relative paths.
#include "demo/DemoSettings.h"

#include "core/SafeFileWrite.h"
#include "demo/DemoData.h"

#include "engine/common/Codepage.h"

#include <algorithm>
#include <stdexcept>

namespace dx::demo {
namespace {

std::string encodeLines(const std::vector<std::string> &lines)
{
    std::string text;
    for (const auto &l : lines) text += l + "\r\n";
    bool lossless = true;
    std::string bytes = cp::utf8ToCp1251(text, &lossless);
    if (!lossless) throw std::runtime_error("demo: text not representable in code page 1251");
    return bytes;
}

} // namespace

std::vector<ProjectSpec> demoProjects(int records)
{
    std::vector<ProjectSpec> out(3);

    ProjectSpec &bansko = out[0];
    bansko.id = 1;
    bansko.direkcia = "РДГ Благоевград";
    bansko.vid = "ДГС";
    bansko.bgname = "Банско";
    bansko.year = "2019";
    bansko.tabl = "database\\BANSKO.DB";
    bansko.tableOnDisk = "database/BANSKO.DB";
    bansko.zemnom = "zemnom\\Bansko.dbf";
    bansko.zemnomOnDisk = "zemnom/BANSKO.DBF";
    bansko.storage = Storage::EncryptedParadox;
    bansko.records = records;
    bansko.altitudeLow = 850;
    bansko.altitudeHigh = 2400;
    bansko.oblast = "Македоно-Тракийска област";
    bansko.subBelts = {"подпояс на смърчовите гори", "подпояс на бялборовите гори", "подпояс на буковите гори",
                       "подпояс на бялмуровите гори"};
    bansko.soils = {"кафява горска тъмна", "кафява горска светла", "тъмноцветна горска", "планинско-ливадна"};
    bansko.rocks = {"гранит", "гнайс", "мрамор"};
    bansko.landAreas = {{2676, "Банско"}, {21498, "Добринище"}, {39699, "Кремен"}, {47857, "Места"},
                        {53134, "Обидим"}, {76193, "Филипово"}, {15997, "Гостун"}};
    bansko.missingLandArea = 61813;
    bansko.stands = {20, 22, 10, 8, 8, 14, 2, 1, 2, 0, 0, 4};
    bansko.ownershipWeights = {80, 8, 8, 2, 2};
    bansko.noValue = "-";

    ProjectSpec &belovo = out[1];
    belovo.id = 2;
    belovo.direkcia = "РДГ Пазарджик";
    belovo.vid = "ДГС";
    belovo.bgname = "Белово";
    belovo.year = "2016";
    belovo.tabl = "database\\Belovo.db";
    belovo.tableOnDisk = "database/BELOVO.DB";
    belovo.zemnom = "zemnom\\belovo.dbf";
    belovo.zemnomOnDisk = "zemnom/belovo.dbf";
    belovo.storage = Storage::Paradox;
    belovo.records = std::max(kMinRecords, records / 4);
    belovo.altitudeLow = 380;
    belovo.altitudeHigh = 1750;
    belovo.oblast = "Македоно-Тракийска област";
    belovo.subBelts = {"подпояс на горуновите гори", "подпояс на буковите гори", "подпояс на бялборовите гори"};
    belovo.soils = {"канелена горска", "кафява горска светла", "кафява горска тъмна"};
    belovo.rocks = {"гнайс", "гранит", "шисти"};
    belovo.landAreas = {{3679, "Белово"}, {14012, "Габровица"}, {15792, "Голямо Белово"},
                        {103, "Аканджиево"}, {66309, "Сестримо"}, {47468, "Мененкьово"}};
    belovo.missingLandArea = 70709;
    belovo.stands = {14, 10, 5, 0, 12, 18, 10, 8, 6, 4, 1, 0};
    belovo.ownershipWeights = {70, 14, 12, 2, 2};
    belovo.noValue = "0";

    ProjectSpec &elena = out[2];
    elena.id = 3;
    elena.direkcia = "РДГ Велико Търново";
    elena.vid = "ДГС";
    elena.bgname = "Елена";
    elena.year = "2014";
    elena.tabl = "database\\elena.dbf";
    elena.tableOnDisk = "database/elena.dbf";
    elena.zemnom = "zemnom\\ELENA.DBF";
    elena.zemnomOnDisk = "zemnom/elena.dbf";
    elena.storage = Storage::Dbase;
    elena.records = std::max(kMinRecords, records / 5);
    elena.altitudeLow = 220;
    elena.altitudeHigh = 1300;
    elena.oblast = "Мизийска горскорастителна област";
    elena.subBelts = {"подпояс на церовите гори", "подпояс на горуновите гори", "подпояс на буковите гори"};
    elena.soils = {"сива горска", "кафява горска светла", "канелена горска излужена"};
    elena.rocks = {"варовик", "пясъчник", "мергел"};
    elena.landAreas = {{27365, "Елена"}, {46053, "Майско"}, {38354, "Константин"}, {36244, "Каменари"},
                       {32206, "Илаков рът"}, {68501, "Средни колиби"}, {87624, "Яковци"}};
    elena.missingLandArea = 72864;
    elena.stands = {3, 2, 1, 0, 8, 30, 16, 14, 8, 6, 3, 0};
    elena.ownershipWeights = {60, 18, 18, 2, 2};
    elena.noValue = "";
    elena.lowland = true;
    elena.duplicatePair = true;
    return out;
}

std::vector<CatalogueLine> catalogue(const std::vector<ProjectSpec> &projects)
{
    auto own = [&](size_t i) {
        const ProjectSpec &p = projects[i];
        return CatalogueLine{"1", p.direkcia, p.vid, p.bgname, p.year, p.tabl, p.zemnom};
    };
    std::vector<CatalogueLine> lines = {
        {"1", "РДГ Благоевград", "ДГС", "Разлог", "2018", "database\\RAZLOG.DB", "zemnom\\RAZLOG.DBF"},
        own(0),
        {"1", "РДГ Благоевград", "ДГС", "Якоруда", "2017", "database\\JAKORUDA.DB", "zemnom\\JAKORUDA.DBF"},
        {"0", "РДГ Пазарджик", "ДГС", "Велинград", "2012", "database\\VELINGRAD.DB", "zemnom\\VELINGRAD.DBF"},
        {"1", "РДГ Пазарджик", "ДЛС", "Беглика", "2015", "database\\BEGLIKA.DB", ""},
        own(1),
        {"1", "РДГ Смолян", "ДГС", "Смолян", "2020", "database\\SMOLYAN.DB", "zemnom\\SMOLYAN.DBF"},
        {"1", "РДГ Смолян", "ДГС", "Девин", "2016", "database\\DEVIN.DB", "zemnom\\DEVIN.DBF"},
        {"0", "РДГ Кърджали", "ДЛС", "Женда", "2013", "database\\JENDA.DB", ""},
        {"1", "РДГ София", "ДГС", "Самоков", "2019", "database\\SAMOKOV.DB", "zemnom\\SAMOKOV.DBF"},
        own(2),
        {"1", "РДГ Бургас", "ДГС", "Малко Търново", "2017", "database\\MTARNOVO.DB", "zemnom\\MTARNOVO.DBF"},
        {"1", "РДГ Варна", "ДЛС", "Шерба", "2014", "database\\SHERBA.DB", "zemnom\\SHERBA.DBF"},
        {"1", "РДГ Сливен", "ДГС", "Котел", "2018", "database\\KOTEL.DB", "zemnom\\KOTEL.DBF"},
    };
    return lines;
}

void writeCatalogue(const std::string &path, const std::vector<CatalogueLine> &lines)
{
    std::vector<std::string> text;
    for (const auto &l : lines)
        text.push_back(l.activ + ";" + l.direkcia + ";" + l.vid + ";" + l.bgname + ";" + l.godina + ";" + l.tabl +
                       ";" + l.zemnom);
    writeFileSafely(QString::fromStdString(path), QByteArray::fromStdString(encodeLines(text)));
}

void writeSettings(const std::string &path, const ProjectSpec &p)
{
    std::vector<std::string> lines = {
        "[Dendrix]",
        "bgname=" + p.vid + " " + p.bgname,
        "yaer=" + p.year,
        "database=" + p.tabl,
        "zemnom=" + p.zemnom,
        "",
        "[System]",
        "SaveLastOpen=1",
        "",
        "[поточен печат]",
        "всички=0",
        "предотделен=1",
        "клони=1",
        "двустранно=0",
        "ръчно=1",
        "от=1",
        "до=12",
        "",
    };
    for (const char *section : {"таксационно описание", "предотделен лист"}) {
        bool sheet = std::string(section) == "предотделен лист";
        lines.push_back(std::string("[") + section + "]");
        lines.push_back(sheet ? "Left=15" : "Left=20");
        lines.push_back("Right=10");
        lines.push_back(sheet ? "Top=15" : "Top=10");
        lines.push_back("Bottom=10");
        lines.push_back("Copyes=1");
        lines.push_back(sheet ? "Font=Times New Roman" : "Font=Arial");
        lines.push_back(sheet ? "FontSize=10" : "FontSize=9");
        lines.push_back("");
    }
    lines.push_back("[export set]");
    const int exportParts[16] = {1, 1, 1, 1, 1, 1, 1, 1, 0, 1, 1, 1, 0, 0, 0, 1};
    for (int i = 0; i < 16; ++i) lines.push_back("p" + std::to_string(i + 1) + "=" + std::to_string(exportParts[i]));
    lines.push_back("");
    lines.push_back("[сито работно]");
    lines.push_back("fields=0,1,2,5,8,12");
    writeFileSafely(QString::fromStdString(path), QByteArray::fromStdString(encodeLines(lines)));
}

} // namespace dx::demo
