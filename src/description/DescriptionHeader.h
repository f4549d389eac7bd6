// The description header of one sub-compartment: the texts of the labelled boxes above
// the composition pages, each put together from fields of the project table record,
// and ViewTax, the single entry for showing a sub-compartment. Also the reading of the
// selected record that the header and the composition views share.
#pragma once

#include "core/AppState.h"

#include <QString>

namespace dx {

class Table;

// Fields of the selected record of the project table. A table made elsewhere may lack
// fields: a missing field reads as its own "no value" mark, "-" for a text field and
// "0" for a numeric one (by the project record's field list; a name outside that list
// reads as "-"), so whatever depends on it is left out rather than failing. A numeric
// field left blank reads as "0" as well. Texts lose the blanks that pad fixed-width fields on the right; numbers are shown in
// the engine's own text form (12.5 -> "12.5", 12.0 -> "12").
QString recordText(const Table &t, const QString &field);
// A whole number: a real is cut to its integer part, anything that is not a number
// (empty, text, missing field) gives 0. Values beyond 64 bits stop at the largest.
qint64 recordInt(const Table &t, const QString &field);
// A real number; anything that is not a number gives 0.
double recordReal(const Table &t, const QString &field);
// The same of a repeated field, named as slotField(pattern, slot) names it.
QString recordText(const Table &t, const char *pattern, int slot);
qint64 recordInt(const Table &t, const char *pattern, int slot);
double recordReal(const Table &t, const char *pattern, int slot);

// The texts of the header boxes, in screen order.
struct DescriptionHeader {
    QString area;    // EditArea: "PL ха"
    QString gtu;     // EditGTU: management unit
    QString zem;     // EditZEM: land-area name (or number)
    QString vp;      // EditVP: kind of sub-compartment
    QString sk;      // EditSK: management class
    QString sb;      // EditSB: ownership
    QString vg;      // EditVG: forest type
    QString fun;     // EditFUN: designations
    QString pol;     // MemoPol: position
    QString soil;    // MemoSoil: soil
    QString mest;    // EditMest: site type
    QString sech;    // EditSech: kinds of cutting
    QString nasZal;  // EditNasZal: afforestation guideline
    QString pp;      // EditPP: soil preparation, planting scheme, straightness
    int cuttingKinds = 0; // the number of kinds of cutting in `sech`
};

// The header of the record the project table stands on. `landArea` is the land-area
// table (closed: numbers are shown as they are).
DescriptionHeader composeHeader(const Table &record, Table &landArea);

// The parts of the header that are more than copies of a field, given the field texts.
QString positionText(const QString &oblast, const QString &nadmVis, const QString &izlojenie,
                     const QString &relef, const QString &naklon, const QString &podpoias);
QString siteTypeText(const QString &mestorast);

struct ViewTaxResult {
    bool shown = false;  // false: the pair names no single record, nothing to show
    QString caption;     // "Dendrix 1.8  - TITLE YEAR [OTD:PODOTD]"
    DescriptionHeader header;
};

// Shows a sub-compartment: the project table is filtered on the pair and left on its
// record. When the pair names exactly one record it becomes the current one, and the
// result carries the window caption and the header; the state's number of kinds of
// cutting is updated. A pair that names no record, or two, changes nothing: the
// sub-compartment on screen stays the current one, so nothing is ever filed under a
// pair the user is not looking at. Throws EngineError when the project table cannot be
// opened.
ViewTaxResult ViewTax(AppState &state, int otd, const QString &podotd);

} // namespace dx
