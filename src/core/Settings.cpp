// Reading the settings file into plain objects and writing them back key by key.
#include "core/Settings.h"

#include "core/Paths.h"

namespace dx {
namespace {

// A flag is on only when it reads as the integer 1.
bool readFlag(const ProfileFile &file, const QString &section, const QString &key)
{
    return file.readInteger(section, key, 0) == 1;
}

QString flagText(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

QString exportKey(int index)
{
    return QStringLiteral("p%1").arg(index + 1);
}

} // namespace

QString settingsFilePath(const QString &programDir)
{
    return joinPath(programDir, ini::kFileName);
}

ProjectIdentity readProjectIdentity(const ProfileFile &file)
{
    ProjectIdentity p;
    p.bgname = file.readString(ini::kProject, ini::kTitle, ini::kMissing);
    p.year = file.readString(ini::kProject, ini::kYear, ini::kMissing);
    p.database = file.readString(ini::kProject, ini::kDatabase, ini::kMissing);
    p.zemnom = file.readString(ini::kProject, ini::kLandAreas, ini::kMissing);
    return p;
}

RangePrintChoices readRangePrintChoices(const ProfileFile &file)
{
    RangePrintChoices c;
    c.all = readFlag(file, ini::kRangePrint, ini::kAll);
    c.preSheet = readFlag(file, ini::kRangePrint, ini::kPreSheet);
    c.branches = readFlag(file, ini::kRangePrint, ini::kBranches);
    c.twoSided = readFlag(file, ini::kRangePrint, ini::kTwoSided);
    c.manual = readFlag(file, ini::kRangePrint, ini::kManual);
    c.from = file.readString(ini::kRangePrint, ini::kFrom);
    c.to = file.readString(ini::kRangePrint, ini::kTo);
    return c;
}

PageSettings readPageSettings(const ProfileFile &file, const QString &section)
{
    const PageSettings d;
    PageSettings p;
    p.left = file.readInteger(section, ini::kLeft, d.left);
    p.right = file.readInteger(section, ini::kRight, d.right);
    p.top = file.readInteger(section, ini::kTop, d.top);
    p.bottom = file.readInteger(section, ini::kBottom, d.bottom);
    p.copies = file.readInteger(section, ini::kCopies, d.copies);
    p.font = file.readString(section, ini::kFont, d.font);
    p.fontSize = file.readInteger(section, ini::kFontSize, d.fontSize);
    return p;
}

AppSettings readStartupSettings(const ProfileFile &file)
{
    AppSettings s;
    s.project = readProjectIdentity(file);
    s.saveLastOpen = readFlag(file, ini::kSystem, ini::kSaveLastOpen);
    s.rangePrint = readRangePrintChoices(file);
    s.description = readPageSettings(file, ini::kDescriptionPage);
    s.sheet = readPageSettings(file, ini::kSheetPage);
    return s;
}

std::array<bool, 16> readExportChoices(const ProfileFile &file)
{
    std::array<bool, 16> choices{};
    for (int i = 0; i < 16; ++i) choices[i] = readFlag(file, ini::kExport, exportKey(i));
    return choices;
}

QString readSieveFields(const ProfileFile &file)
{
    return file.readString(ini::kWorkingSieve, ini::kSieveFields, QStringLiteral("0,1,2"));
}

void writeProjectIdentity(const QString &path, const ProjectIdentity &project)
{
    writeProfileString(path, ini::kProject, ini::kTitle, project.bgname);
    writeProfileString(path, ini::kProject, ini::kYear, project.year);
    writeProfileString(path, ini::kProject, ini::kDatabase, project.database);
    writeProfileString(path, ini::kProject, ini::kLandAreas, project.zemnom);
}

void writeSaveLastOpen(const QString &path, bool on)
{
    writeProfileString(path, ini::kSystem, ini::kSaveLastOpen, flagText(on));
}

void writeRangePrintChoices(const QString &path, const RangePrintChoices &choices)
{
    writeProfileString(path, ini::kRangePrint, ini::kAll, flagText(choices.all));
    writeProfileString(path, ini::kRangePrint, ini::kPreSheet, flagText(choices.preSheet));
    writeProfileString(path, ini::kRangePrint, ini::kBranches, flagText(choices.branches));
    writeProfileString(path, ini::kRangePrint, ini::kTwoSided, flagText(choices.twoSided));
    writeProfileString(path, ini::kRangePrint, ini::kManual, flagText(choices.manual));
    writeProfileString(path, ini::kRangePrint, ini::kFrom, choices.from);
    writeProfileString(path, ini::kRangePrint, ini::kTo, choices.to);
}

void writeBranches(const QString &path, bool on)
{
    writeProfileString(path, ini::kRangePrint, ini::kBranches, flagText(on));
}

void writePageSettings(const QString &path, const QString &section, const PageSettings &page)
{
    writeProfileString(path, section, ini::kLeft, QString::number(page.left));
    writeProfileString(path, section, ini::kRight, QString::number(page.right));
    writeProfileString(path, section, ini::kTop, QString::number(page.top));
    writeProfileString(path, section, ini::kBottom, QString::number(page.bottom));
    writeProfileString(path, section, ini::kCopies, QString::number(page.copies));
    writeProfileString(path, section, ini::kFont, page.font);
    writeProfileString(path, section, ini::kFontSize, QString::number(page.fontSize));
}

void writeExportChoices(const QString &path, const std::array<bool, 16> &choices)
{
    for (int i = 0; i < 16; ++i) writeProfileString(path, ini::kExport, exportKey(i), flagText(choices[i]));
}

void writeSieveFields(const QString &path, const QString &fields)
{
    writeProfileString(path, ini::kWorkingSieve, ini::kSieveFields, fields);
}

} // namespace dx
