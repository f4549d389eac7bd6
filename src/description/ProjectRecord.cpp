// The project table record: field list, addressing of sub-compartments and
// compartments, and the "no value" marks every reader of the record tests for.
#include "description/ProjectRecord.h"

#include "core/Quoting.h"
#include "engine/sql/Table.h"

#include <QSet>

#include <cstring>
#include <stdexcept>

namespace dx {
namespace {

using T = ProjectFieldType;

struct Plain {
    const char *name;
    T type;
    const char *label;
};

// A field repeated per slot: the name pattern and the label without its number.
struct Repeated {
    const char *pattern;
    T type;
    const char *labelStem;
};

const Plain kHead[] = {
    {"OTD", T::Integer, "отдел"},
    {"PODOTD", T::Text, "подотдел"},
    {"PL", T::Decimal, "площ"},
    {"GSU", T::Integer, "гсу"},
    {"ZEML", T::Integer, "землище"},
    {"VID_GORI", T::Text, "вид гори"},
    {"VID_PODOTD", T::Text, "вид подотдел"},
    {"STOP_KLAS", T::Text, "стоп.клас"},
};

const Plain kSite[] = {
    {"OBLAST", T::Text, "област"},
    {"PODPOIAS", T::Text, "подпояс"},
    {"NADM_VIS", T::Integer, "надм.вис"},
    {"IZLOJENIE", T::Text, "изложение"},
    {"RELEF", T::Text, "релеф"},
    {"NAKLON", T::Integer, "наклон"},
    {"MESTORAST", T::Text, "месторастене"},
    {"STROEJ", T::Text, "строеж"},
    {"SYSTOIANIE", T::Text, "състояние"},
    {"PRAVOSTYBL", T::Text, "правостъбл"},
    {"SHEMA", T::Text, "схема"},
    {"POCHVA", T::Text, "почва"},
    {"MEH_SYST", T::Text, "мех.състав"},
    {"KAMENL", T::Text, "каменливост"},
    {"PLYTNOST", T::Text, "плътност"},
    {"DYLBOCHINA", T::Text, "дълбочина"},
    {"VLAJNOST", T::Text, "влажност"},
    {"ERO_ST", T::Text, "ерозия степен"},
    {"VID_ERO1", T::Text, "ерозия вид1"},
    {"VID_ERO2", T::Text, "ерозия вид2"},
    {"OSN_SKALA", T::Text, "осн.скала"},
    {"NELES", T::Integer, "нелесоприг."},
    {"BOGATSTVO", T::Text, "богатство"},
    {"SECH_PER", T::Integer, "% на сечта"},
};

const Repeated kStandSlot[] = {
    {"DV%d", T::Text, "ДВ"},      {"ET%d", T::Text, "ет"},       {"UCH%d", T::Integer, "уч"},
    {"POVR%d", T::Text, "повр"},  {"PR%d", T::Integer, "пр"},    {"A%d", T::Integer, "A"},
    {"PYLN%d", T::Decimal, "пълн"}, {"H%d", T::Integer, "H"},    {"B%d", T::Integer, "B"},
    {"D%d", T::Integer, "D"},     {"VHA%d", T::Integer, "Vha"},  {"V%d", T::Integer, "V"},
    {"POLZV%d", T::Integer, "ползв"},
};

const Plain kMeasures[] = {
    {"NAS_ZALES", T::Text, "нас.на залес"},
    {"PP1", T::Text, "почвоподг1"},
    {"PLPP1", T::Decimal, "площпп1"},
    {"PP2", T::Text, "почвоподг2"},
    {"PLPP2", T::Decimal, "площпп2"},
    {"SMESVANE", T::Text, "смесване"},
    {"SHEMA_ZAL", T::Text, "сх.за залес"},
    {"TSEL", T::Text, "цел"},
};

const Repeated kFutureSlot[] = {
    {"OBS_DV%d", T::Text, "обс ДВ"},
    {"OBS_UCH%d", T::Integer, "обс уч"},
    {"OBS_B%d", T::Integer, "обс B"},
    {"OBS_ZALES%d", T::Decimal, "обс залес"},
};

const Plain kTail[] = {
    {"GOD_SECH", T::Integer, "год.сеч"},
    {"PASHA", T::Text, "паша"},
};

std::vector<ProjectField> buildFields()
{
    std::vector<ProjectField> out;
    out.reserve(kProjectFieldCount);
    auto plain = [&](const auto &list) {
        for (const Plain &p : list) out.push_back({QString::fromLatin1(p.name), p.type, QString::fromUtf8(p.label)});
    };
    auto repeated = [&](const char *pattern, T type, const char *stem, int slot) {
        out.push_back({slotField(pattern, slot), type, QString::fromUtf8(stem) + QString::number(slot)});
    };
    plain(kHead);
    for (int i = 1; i <= 7; ++i) repeated("NZN%d", T::Text, "предн", i);
    plain(kSite);
    for (int i = 1; i <= 9; ++i) repeated("SECH%d", T::Text, "сеч", i);
    for (int j = 1; j <= kCompositionSlots; ++j)
        for (const Repeated &r : kStandSlot) repeated(r.pattern, r.type, r.labelStem, j);
    plain(kMeasures);
    for (int k = 1; k <= kFutureSlots; ++k)
        for (const Repeated &r : kFutureSlot) repeated(r.pattern, r.type, r.labelStem, k);
    plain(kTail);
    return out;
}

} // namespace

QString slotField(const char *pattern, int slot)
{
    // Only "%d" is replaced, so a pattern can never read arguments that are not there.
    // Built piece by piece: a description asks for hundreds of these names.
    QString out;
    const QString number = QString::number(slot);
    for (const char *p = pattern;;) {
        const char *mark = std::strstr(p, "%d");
        if (!mark) {
            out += QLatin1String(p);
            return out;
        }
        out += QLatin1String(p, mark - p);
        out += number;
        p = mark + 2;
    }
}

const std::vector<ProjectField> &projectRecordFields()
{
    static const std::vector<ProjectField> fields = buildFields();
    return fields;
}

int projectFieldIndex(const QString &name)
{
    const auto &fields = projectRecordFields();
    for (size_t i = 0; i < fields.size(); ++i)
        if (fields[i].name.compare(name, Qt::CaseInsensitive) == 0) return int(i);
    return -1;
}

QStringList missingProjectFields(const std::vector<FieldDef> &fields)
{
    QSet<QString> present;
    for (const FieldDef &f : fields) present.insert(QString::fromStdString(f.name).trimmed().toUpper());
    QStringList missing;
    for (const ProjectField &f : projectRecordFields())
        if (!present.contains(f.name.toUpper())) missing << f.name;
    return missing;
}

QString subCompartmentFilter(int otd, const QString &podotd)
{
    return QStringLiteral("OTD=%1 and PODOTD=").arg(otd) + filterQuoted(podotd);
}

QString compartmentsStatement(const QString &tablePath)
{
    return QStringLiteral("select distinct OTD from ") + sqlQuoted(tablePath) + QStringLiteral(" order by OTD ASC");
}

QString subCompartmentsStatement(const QString &tablePath, int otd)
{
    return QStringLiteral("select OTD,PODOTD from ") + sqlQuoted(tablePath) + QStringLiteral(" where OTD=") +
           QString::number(otd);
}

QString subCompartmentsStatement(const QString &tablePath, const QString &otdText)
{
    std::optional<int> otd = wholeNumber(otdText);
    if (!otd)
        throw std::invalid_argument("the compartment \"" + otdText.toStdString() + "\" is not a whole number");
    return subCompartmentsStatement(tablePath, *otd);
}

bool selectSubCompartment(Table &projectTable, int otd, const QString &podotd)
{
    // One pass over the table: a new filter is applied at once only when filtering is
    // already on, otherwise switching it on applies it.
    projectTable.setFilter(subCompartmentFilter(otd, podotd).toStdString());
    if (!projectTable.filtered()) projectTable.setFiltered(true);
    if (!projectTable.active()) projectTable.open();
    projectTable.first();
    return projectTable.recordCount() == 1;
}

bool isNoValue(const QString &text)
{
    return text.trimmed() == QLatin1String("-");
}

bool isNoValueOrZero(const QString &text)
{
    QString t = text.trimmed();
    return t == QLatin1String("-") || t == QLatin1String("0");
}

bool isNoCuttingKind(const QString &text)
{
    return text.trimmed().isEmpty() || isNoValueOrZero(text);
}

bool isEmptySlot(const QString &dv)
{
    return isNoValue(dv);
}

} // namespace dx
