// The list of planned cuttings and the list of planned afforestation measures of the
// current project, each narrowed or not to the sub-compartments with one value of one
// site or stand attribute: the attribute table, the values offered for an attribute, the
// statements, the grid's columns and rows, the status text and the headings of the print
// preview and of a copy. The window of the two lists and dendrix-cli both build them here.
#pragma once

#include "core/GridModel.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace dx {

class Database;
class Table;

// One attribute a list can be narrowed by: its label and the project table field.
struct SechiAttribute {
    QString label;
    QString field;
    bool numeric;  // compared with 0 instead of "-" when its values are listed
};

// The 21 attributes, in the order the attribute combo offers them after "-- всички --".
const QList<SechiAttribute> &sechiAttributes();
inline const QString kSechiAllAttributes = QStringLiteral("-- всички --");
// The attribute whose values are land-area numbers ("Землища").
inline constexpr int kSechiLandAreaAttribute = 20;

enum class SechiMode { Cuttings = 1, Measures = 2 };

// "Списък на сечите" or "Списък на мероприятията": the window's caption in that mode.
QString sechiCaption(SechiMode mode);

// The attribute chosen (its number in sechiAttributes, counted from 1; 0 for every
// sub-compartment) and the value chosen for it.
struct SechiFilter {
    int attribute = 0;
    QString value;

    bool active() const { return attribute > 0; }
    const SechiAttribute &attr() const { return sechiAttributes().at(attribute - 1); }
};

// A list as the grid shows it.
struct SechiList {
    bool built = false;             // false: the statement failed (or could not be made)
    QString statement;              // as issued (empty when none could be made)
    QList<GridColumn> columns;      // titles; the width is the title's length in characters
    QList<DataGridModel::Row> rows;
    double area = 0;                // sum of PL over the rows
    QList<int> shadedColumns;       // the measures' species 1, 3 and 5
    QList<int> boldTitles;          // the measures' species titles

    int rowCount() const { return int(rows.size()); }
};

// "%d подотделa с площ %.1f xa" with the row count and the area (one decimal, the
// current locale's form).
QString sechiStatusText(int rows, double area);

// The heading kept with the list for its print preview: the list's name, the unit and
// year, and the attribute and value when one is chosen, each followed by an empty line.
QString sechiListHeading(SechiMode mode, const QString &title, const QString &year, const SechiFilter &filter);

// The heading of a copy: caption " - " unit " " year, an empty line, the filter
// ("филтър: label = value" or "общо за лесничейството"), then the status text.
QString sechiCopyHeading(const QString &caption, const QString &title, const QString &year,
                         const SechiFilter &filter, const QString &status);

// The lists and the values of an attribute over one project table. `landArea` is the
// land-area nomenclature table object: while it is open, "Землища" lists its names and
// a list narrowed to a name filters on that name's number (-1 for a name it lacks).
class SechiLists {
public:
    SechiLists(Database &db, QString projectTablePath, Table &landArea);

    // The values the value combo offers for an attribute (1..21), in the order the
    // statement returns them; nothing when the statement fails (or for attribute 0).
    QStringList attributeValues(int attribute);

    // The list of cuttings (`SpisakSechi`): columns "подотдел", "година", "вид сеч".
    SechiList SpisakSechi(const SechiFilter &filter);
    // The list of measures (`SpisakMeropr`): the query's own twenty columns.
    SechiList SpisakMeropr(const SechiFilter &filter);
    SechiList build(SechiMode mode, const SechiFilter &filter)
    {
        return mode == SechiMode::Cuttings ? SpisakSechi(filter) : SpisakMeropr(filter);
    }

    // The condition the filter adds after a list's own condition (" and F=\"v\""), the
    // value always a quoted constant; empty for no attribute. Nothing when the value holds
    // a character no statement may carry (a NUL).
    std::optional<QString> filterCondition(const SechiFilter &filter);

private:
    bool landAreaOpen() const;

    Database &db_;
    QString table_;
    Table &landArea_;
};

} // namespace dx
