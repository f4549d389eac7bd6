// Measures tables: their layout, creation, opening and the checks before a write.
#include "description/Measures.h"

#include "core/Paths.h"
#include "core/QtText.h"
#include "core/Quoting.h"
#include "description/Nomenclature.h"
#include "description/ProjectRecord.h"
#include "engine/common/Codepage.h"
#include "engine/common/EngineError.h"
#include "engine/dbf/DbfFile.h"

#include <QDir>

namespace dx {
namespace {

MeasureColumn text(const char *field, const char *title, int width, const char *pick = "")
{
    return {QString::fromUtf8(field), QString::fromUtf8(title), FieldType::Text, width, QString::fromUtf8(pick)};
}

MeasureColumn integer(const char *field, const char *title)
{
    return {QString::fromUtf8(field), QString::fromUtf8(title), FieldType::Integer, 10, {}};
}

std::vector<FieldDef> fieldDefs(const MeasureTableDef &def)
{
    std::vector<FieldDef> out;
    for (const MeasureColumn &c : def.fields) {
        if (c.type == FieldType::Text) out.push_back(makeField(ss(c.field), FieldType::Text, c.width));
        else if (c.type == FieldType::Integer) out.push_back(makeField(ss(c.field), FieldType::Integer, 10));
        else out.push_back(makeField(ss(c.field), FieldType::Real, 19, 2));
    }
    return out;
}

// A table written by somebody else must still hold our fields, with usable types.
QString layoutProblem(const Table &t, const MeasureTableDef &def)
{
    QStringList missing;
    for (const MeasureColumn &c : def.fields) {
        int i = t.fieldIndex(ss(c.field));
        if (i < 0) {
            missing << c.field;
            continue;
        }
        const FieldDef &f = t.fields()[size_t(i)];
        bool numeric = f.type == FieldType::Integer || f.type == FieldType::Real;
        if ((c.type == FieldType::Text && f.type != FieldType::Text) || (c.type != FieldType::Text && !numeric))
            missing << c.field + QStringLiteral(" (друг тип)");
    }
    if (missing.isEmpty()) return {};
    return QStringLiteral("Липсващи или неподходящи полета: %1").arg(missing.join(QStringLiteral(", ")));
}

bool setUp(AppState &state, Table &table, const MeasureTableDef &def,
           const std::function<void(const UserMessage &)> &report)
{
    const QString path = joinPath(state.programDir.isEmpty() ? QDir::currentPath() : state.programDir, def.fileName);
    QString problem;
    try {
        if (!fileExists(path)) dbf::createIfMissing(ss(path), fieldDefs(def));
        table.close();
        table.setPath(ss(diskPath(path)));
        table.open();
        problem = layoutProblem(table, def);
        if (problem.isEmpty()) table.setFiltered(true);
    } catch (const std::exception &e) {
        problem = qs(e.what());
    }
    if (problem.isEmpty()) return true;
    table.close();
    report({QStringLiteral("Грешка!"), QStringLiteral("Неможе да се отвори таблица %1.").arg(def.fileName),
            UserMessage::Icon::Error, problem});
    return false;
}

// A decimal number typed with a point or, as Bulgarian users write it, a comma.
double decimalValue(const QString &text, bool *ok)
{
    QString dot = text.trimmed();
    dot.replace(QLatin1Char(','), QLatin1Char('.'));
    return dot.toDouble(ok);
}

} // namespace

QVector<MeasureColumn> MeasureTableDef::gridColumns() const
{
    QVector<MeasureColumn> out;
    for (const MeasureColumn &c : fields)
        if (!c.title.isEmpty()) out.push_back(c);
    return out;
}

const MeasureTableDef &cuttingMeasures()
{
    static const MeasureTableDef def{
        QStringLiteral("mervs.dbf"),
        {text("VIDSECH", "вид сеч:", 30, "vs"), integer("GODINA", "година"), integer("STOQSHTA", "стояща"),
         integer("LEJASHTA", "лежаща"), integer("EDRA", "едра"), integer("SREDNA", "средна"),
         integer("DREBNA", "дребна"), integer("ESD", "е+с+д"), integer("DYRVA", "дърва"),
         integer("VYRSHINA", "вършина"), text("ZABELEJKA", "забележка", 254), text("KEY", "", kMeasureKeyWidth)}};
    return def;
}

const MeasureTableDef &afforestationMeasures()
{
    static const MeasureTableDef def{
        QStringLiteral("merzl.dbf"),
        {text("NASOKI", "насоки:", 30, "ns"), integer("GODINA", "година"), text("DV", "дървесен вид", 30, "dv"),
         text("PP", "почвоподготовка", 30, "pcp"), text("SHEMA", "схема", 10), text("SMES", "смесване", 30, "sms"),
         integer("FIDANKI", "фиданки"), integer("SEMENA", "семена"),
         {QStringLiteral("AREA"), QString(), FieldType::Real, 19, {}}, text("ZABELEJKA", "забележка", 254),
         text("KEY", "", kMeasureKeyWidth)}};
    return def;
}

QString measureKey(const QString &otdText, const QString &podotd)
{
    return otdText + QLatin1Char(':') + podotd;
}

MeasureSetup InitMer(AppState &state, const std::function<void(const UserMessage &)> &report)
{
    MeasureSetup setup;
    setup.cuttingsOk = setUp(state, state.cuttings, cuttingMeasures(), report);
    setup.afforestationOk = setUp(state, state.afforestation, afforestationMeasures(), report);
    // The pick lists come from the nomenclature, opened for them and closed again.
    try {
        Table &names = state.nomenclature;
        names.close();
        names.setPath(ss(diskPath(state.nomenclaturePath())));
        names.open();
        for (const char *list : {"vs", "ns", "dv", "pcp", "sms"})
            setup.pickLists.insert(QString::fromLatin1(list), pickList(names, QString::fromLatin1(list)));
    } catch (const std::exception &) {
        // Without the nomenclature the grids take typed values only.
    }
    state.nomenclature.close();
    return setup;
}

void ViewMer(AppState &state, const QString &otdText, const QString &podotd)
{
    const std::string filter = measureFilter(measureKey(otdText, podotd));
    for (Table *t : {&state.cuttings, &state.afforestation}) {
        if (!t->active()) continue;
        t->setFilter(filter);
        t->setFiltered(true);
    }
}

std::string measureFilter(const QString &key)
{
    return ss(QStringLiteral("KEY=") + filterQuoted(key));
}

bool measureKeyShown(const Table &table, const QString &key)
{
    if (!table.filtered() || table.filter().find_first_not_of(" \t") == std::string::npos) return true;
    return table.filter() == measureFilter(key);
}

int measureFieldChars(const FieldDef &field)
{
    // A binary dBase integer ('I') holds 32 bits: ten digits and a sign.
    if (field.type == FieldType::Integer && field.nativeType == 'I') return 11;
    return field.width;
}

QString measureValueProblem(const MeasureColumn &column, const QString &value)
{
    const QString v = value.trimmed();
    if (v.isEmpty()) return {};
    if (column.type == FieldType::Text) {
        if (value.size() > column.width)
            return QStringLiteral("Текстът в колона \"%1\" е %2 знака, а полето побира %3.")
                .arg(column.title, QString::number(value.size()), QString::number(column.width));
        bool lossless = true;
        cp::utf8ToCp1251(ss(value), &lossless);
        if (!lossless) return QStringLiteral("Текстът в колона \"%1\" съдържа знаци извън кирилицата на Windows.").arg(column.title);
        return {};
    }
    bool ok = false;
    if (column.type == FieldType::Integer) {
        // The number as the file writes it must fit the field's width.
        qlonglong n = v.toLongLong(&ok);
        if (ok && QString::number(n).size() > column.width) ok = false;
    } else {
        decimalValue(v, &ok);
    }
    if (!ok) return QStringLiteral("В колона \"%1\" се въвежда число, а не \"%2\".").arg(column.title, value);
    return {};
}

Value measureValue(const MeasureColumn &column, const QString &text)
{
    const QString v = text.trimmed();
    if (column.type == FieldType::Text) return text.isEmpty() ? Value::null() : Value::fromText(ss(text));
    if (v.isEmpty()) return Value::null();
    if (column.type == FieldType::Integer) return Value::fromInt(v.toLongLong());
    return Value::fromReal(decimalValue(v, nullptr));
}

QString measureText(const Value &value)
{
    return qs(value.toText());
}

QString measureKeyProblem(const QString &key)
{
    if (key.size() <= kMeasureKeyWidth) return {};
    return QStringLiteral("Адресът \"%1\" е по-дълъг от %2 знака и не може да бъде записан: редът не би се "
                          "намерил после. Мероприятия за този подотдел не могат да се въвеждат.")
        .arg(key)
        .arg(kMeasureKeyWidth);
}

} // namespace dx
