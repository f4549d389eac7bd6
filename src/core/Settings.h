// The settings file "Dendrix.ini": the current project's identity and the user's
// printing and export choices as plain objects, with every section and key name the
// program uses kept here in one place. Every write is a single-key write that leaves
// the rest of the file as it was.
#pragma once

#include "core/ProfileFile.h"

#include <QString>

#include <array>

namespace dx {

// Section and key names exactly as they stand in the file.
namespace ini {
inline const QString kFileName = QStringLiteral("Dendrix.ini");

inline const QString kProject = QStringLiteral("Dendrix");
inline const QString kTitle = QStringLiteral("bgname");
inline const QString kYear = QStringLiteral("yaer"); // spelt so in every installed file
inline const QString kDatabase = QStringLiteral("database");
inline const QString kLandAreas = QStringLiteral("zemnom");

inline const QString kSystem = QStringLiteral("System");
inline const QString kSaveLastOpen = QStringLiteral("SaveLastOpen");

inline const QString kRangePrint = QStringLiteral("поточен печат");
inline const QString kAll = QStringLiteral("всички");
inline const QString kPreSheet = QStringLiteral("предотделен");
inline const QString kBranches = QStringLiteral("клони");
inline const QString kTwoSided = QStringLiteral("двустранно");
inline const QString kManual = QStringLiteral("ръчно");
inline const QString kFrom = QStringLiteral("от");
inline const QString kTo = QStringLiteral("до");

inline const QString kDescriptionPage = QStringLiteral("таксационно описание");
inline const QString kSheetPage = QStringLiteral("предотделен лист");
inline const QString kLeft = QStringLiteral("Left");
inline const QString kRight = QStringLiteral("Right");
inline const QString kTop = QStringLiteral("Top");
inline const QString kBottom = QStringLiteral("Bottom");
inline const QString kCopies = QStringLiteral("Copyes"); // spelt so in every installed file
inline const QString kFont = QStringLiteral("Font");
inline const QString kFontSize = QStringLiteral("FontSize");

inline const QString kExport = QStringLiteral("export set"); // keys "p1" .. "p16"

inline const QString kWorkingSieve = QStringLiteral("сито работно");
inline const QString kSieveFields = QStringLiteral("fields");

inline const QString kMissing = QStringLiteral("-1"); // a project key that is not there
} // namespace ini

struct ProjectIdentity {
    // Each "-1" when the file does not have it.
    QString bgname = QStringLiteral("-1");   // project title: kind and name of the forest unit
    QString year = QStringLiteral("-1");
    QString database = QStringLiteral("-1"); // project table, relative to the program directory
    QString zemnom = QStringLiteral("-1");   // land-area table, relative, or empty
    bool operator==(const ProjectIdentity &) const = default;
};

// Range print window; "branches" is shared with the single print window.
struct RangePrintChoices {
    bool all = false;
    bool preSheet = false;
    bool branches = false;
    bool twoSided = false;
    bool manual = false; // turn the sheets by hand rather than by a duplex printer
    QString from, to;    // first and last compartment
    bool operator==(const RangePrintChoices &) const = default;
};

// Margins in millimetres, font size in points.
struct PageSettings {
    int left = 20;
    int right = 10;
    int top = 10;
    int bottom = 10;
    int copies = 1;
    QString font = QStringLiteral("Arial");
    int fontSize = 9;
    bool operator==(const PageSettings &) const = default;
};

struct AppSettings {
    ProjectIdentity project;
    bool saveLastOpen = false;
    RangePrintChoices rangePrint;
    PageSettings description; // the description page
    PageSettings sheet;       // the pre-compartment sheet
};

// The settings file of a program directory.
QString settingsFilePath(const QString &programDir);

ProjectIdentity readProjectIdentity(const ProfileFile &file);
RangePrintChoices readRangePrintChoices(const ProfileFile &file);
PageSettings readPageSettings(const ProfileFile &file, const QString &section);
// Everything read at start-up: the project, remembering the last project, the range
// print choices, then the description page and the pre-compartment sheet.
AppSettings readStartupSettings(const ProfileFile &file);

std::array<bool, 16> readExportChoices(const ProfileFile &file);
QString readSieveFields(const ProfileFile &file);

// Writers; each key is one single-key write. They throw ProfileError.
void writeProjectIdentity(const QString &path, const ProjectIdentity &project);
void writeSaveLastOpen(const QString &path, bool on);
void writeRangePrintChoices(const QString &path, const RangePrintChoices &choices);
void writeBranches(const QString &path, bool on);
void writePageSettings(const QString &path, const QString &section, const PageSettings &page);
void writeExportChoices(const QString &path, const std::array<bool, 16> &choices);
void writeSieveFields(const QString &path, const QString &fields);

} // namespace dx
