// Small project tables for the description tests: whole records with "-" in every text
// and 0 in every number but the fields a test sets, and a state over them with a
// branch-wood table and a damage list.
#pragma once

#include "description/ProjectRecord.h"
#include "engine/dbf/DbfFile.h"
#include "engine/sql/Table.h"
#include "core/AppState.h"

#include "TestUtil.h"

#include <map>
#include <ostream>

// Failure messages show texts, not their bytes.
inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace dxtest {

class ProjectRow {
public:
    ProjectRow(int otd, const char *podotd) { num("OTD", otd).text("PODOTD", podotd); }
    ProjectRow &set(const QString &field, dx::Value v)
    {
        values_[field.toUpper()] = std::move(v);
        return *this;
    }
    ProjectRow &text(const QString &field, const char *value) { return set(field, dx::Value::fromText(value)); }
    ProjectRow &num(const QString &field, long long value) { return set(field, dx::Value::fromInt(value)); }
    ProjectRow &real(const QString &field, double value) { return set(field, dx::Value::fromReal(value)); }
    // Composition slot j: species, storey, share, origin, age, density, height, site
    // class, diameter, stock per hectare, stock, use.
    ProjectRow &slot(int j, const char *dv, const char *et, int uch, int pr, int a, double pyln, int h, int b, int d,
                     long long vha, long long v, long long polzv)
    {
        auto f = [j](const char *pattern) { return dx::slotField(pattern, j); };
        text(f("DV%d"), dv).text(f("ET%d"), et).num(f("UCH%d"), uch).num(f("PR%d"), pr).num(f("A%d"), a);
        real(f("PYLN%d"), pyln).num(f("H%d"), h).num(f("B%d"), b).num(f("D%d"), d);
        return num(f("VHA%d"), vha).num(f("V%d"), v).num(f("POLZV%d"), polzv);
    }
    dx::Row row() const
    {
        dx::Row r;
        for (const dx::ProjectField &f : dx::projectRecordFields()) {
            auto it = values_.find(f.name.toUpper());
            r.push_back(it != values_.end()                          ? it->second
                        : f.type == dx::ProjectFieldType::Text ? dx::Value::fromText("-")
                                                               : dx::Value::fromInt(0));
        }
        return r;
    }

private:
    std::map<QString, dx::Value> values_;
};

// kloni.dbf: "бб" 9 % at every height, "бк" 10 % for seed and 20 % for coppice origin,
// "пр" 30 %. names.dbf: the damage letters к, д and г.
struct DescriptionFixture {
    DescriptionFixture()
    {
        using dx::FieldType;
        using dx::makeField;
        std::vector<dx::FieldDef> kf = {makeField("NAME", FieldType::Text, 10), makeField("PR", FieldType::Text, 4),
                                        makeField("LINK", FieldType::Text, 6), makeField("SHORT", FieldType::Text, 6),
                                        makeField("COUNT", FieldType::Integer, 4)};
        for (int h = 3; h <= 30; ++h) kf.push_back(makeField("H" + std::to_string(h), FieldType::Integer, 4));
        auto branch = [](const char *name, const char *pr, int percent) {
            dx::Row r = {dx::Value::fromText(name), dx::Value::fromText(pr), dx::Value::fromText(""),
                         dx::Value::fromText(""), dx::Value::fromInt(0)};
            r.resize(r.size() + 28, dx::Value::fromInt(percent));
            return r;
        };
        dx::dbf::create(dir.file("kloni.dbf"), kf,
                        {branch("бб", "1234", 9), branch("бк", "12", 10), branch("бк", "34", 20), branch("пр", "1234", 30)});
        auto pov = [](const char *print, const char *in2) {
            return dx::Row{dx::Value::fromText("pov"), dx::Value::fromInt(1), dx::Value::fromText(print),
                           dx::Value::fromText(in2)};
        };
        dx::dbf::create(dir.file("names.dbf"),
                        {makeField("TYPE", FieldType::Text, 4), makeField("CODE", FieldType::Integer, 4),
                         makeField("PRINT", FieldType::Text, 40), makeField("IN2", FieldType::Text, 2)},
                        {pov("корояди", "к"), pov("повреди от дивеч", "д"), pov("гъбни болести", "г")});
        state.programDir = QString::fromStdString(dir.path());
        state.title = QStringLiteral("ДГС Тест");
        state.year = QStringLiteral("2020");
        state.branchWood.setPath(dir.file("kloni.dbf"));
        state.branchWood.open();
        state.branchWood.setFiltered(true);
    }

    // A project table of these records (every field of the record), or of these fields.
    // Each table is a file of its own, so no cached snapshot of an earlier one is read.
    void project(const std::vector<ProjectRow> &rows)
    {
        std::vector<dx::FieldDef> fields;
        for (const dx::ProjectField &f : dx::projectRecordFields())
            fields.push_back(f.type == dx::ProjectFieldType::Text      ? dx::makeField(ss(f.name), dx::FieldType::Text, 60)
                             : f.type == dx::ProjectFieldType::Integer ? dx::makeField(ss(f.name), dx::FieldType::Integer, 18)
                                                                       : dx::makeField(ss(f.name), dx::FieldType::Real, 12, 3));
        std::vector<dx::Row> data;
        for (const ProjectRow &r : rows) data.push_back(r.row());
        writeProject(fields, data);
    }
    void writeProject(const std::vector<dx::FieldDef> &fields, const std::vector<dx::Row> &rows)
    {
        state.projectTable.close();
        const std::string path = dir.file("proj" + std::to_string(++tables) + ".dbf");
        dx::dbf::create(path, fields, rows);
        state.projectTable.setPath(path);
    }
    static std::string ss(const QString &s) { return s.toStdString(); }

    TempDir dir;
    dx::AppState state;
    int tables = 0;
};

} // namespace dxtest
