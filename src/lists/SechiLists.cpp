// The lists of cuttings and of afforestation measures: statements, rows and texts.
#include "lists/SechiLists.h"

#include "core/QtText.h"
#include "core/Quoting.h"
#include "description/Nomenclature.h"
#include "engine/common/EngineError.h"
#include "engine/sql/Database.h"
#include "engine/sql/Table.h"

namespace dx {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

QVariant cell(const Value &v)
{
    switch (v.kind) {
    case Value::Null: return QVariant();
    case Value::Int: return QVariant(qlonglong(v.i));
    case Value::Real: return QVariant(v.d);
    case Value::Bool: return QVariant(v.i != 0);
    case Value::Text: return QVariant(qs(v.s));
    }
    return QVariant();
}

GridColumn titled(const QString &title, Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter)
{
    return GridColumn(title, QString(), align, int(title.size()));
}

const QString kMeasureFields = QStringLiteral(
    "OTD,PODOTD,PL,SHEMA_ZAL,OBS_DV1,OBS_UCH1,OBS_B1,OBS_ZALES1,OBS_DV2,OBS_UCH2,OBS_ZALES2,OBS_DV3,OBS_UCH3,"
    "OBS_ZALES3,OBS_DV4,OBS_UCH4,OBS_ZALES4,OBS_DV5,OBS_UCH5,OBS_ZALES5");
const QString kAfforested = QStringLiteral(
    "OBS_ZALES1<>0 or OBS_ZALES2<>0 or OBS_ZALES3<>0 or OBS_ZALES4<>0 or OBS_ZALES5<>0");

} // namespace

const QList<SechiAttribute> &sechiAttributes()
{
    static const QList<SechiAttribute> table = {
        {QStringLiteral("Вид гори"), QStringLiteral("VID_GORI"), false},
        {QStringLiteral("Вид подотдел"), QStringLiteral("VID_PODOTD"), false},
        {QStringLiteral("Стопански клас"), QStringLiteral("STOP_KLAS"), false},
        {QStringLiteral("Област"), QStringLiteral("OBLAST"), false},
        {QStringLiteral("Подпояс"), QStringLiteral("PODPOIAS"), false},
        {QStringLiteral("Богатство"), QStringLiteral("BOGATSTVO"), false},
        {QStringLiteral("Изложение"), QStringLiteral("IZLOJENIE"), false},
        {QStringLiteral("Месторастене"), QStringLiteral("MESTORAST"), false},
        {QStringLiteral("Строеж"), QStringLiteral("STROEJ"), false},
        {QStringLiteral("Състояние"), QStringLiteral("SYSTOIANIE"), false},
        {QStringLiteral("Вид почва"), QStringLiteral("POCHVA"), false},
        {QStringLiteral("Механичен състав на почвата"), QStringLiteral("MEH_SYST"), false},
        {QStringLiteral("Каменливост"), QStringLiteral("KAMENL"), false},
        {QStringLiteral("Плътност на почвата"), QStringLiteral("PLYTNOST"), false},
        {QStringLiteral("Дъбочина на почвата"), QStringLiteral("DYLBOCHINA"), false},
        {QStringLiteral("Влажност на почвата"), QStringLiteral("VLAJNOST"), false},
        {QStringLiteral("Степен на ерозия"), QStringLiteral("ERO_ST"), false},
        {QStringLiteral("Основна скала"), QStringLiteral("OSN_SKALA"), false},
        {QStringLiteral("Надморска височина"), QStringLiteral("NADM_VIS"), true},
        {QStringLiteral("Землища"), QStringLiteral("ZEML"), true},
        {QStringLiteral("ГСУ"), QStringLiteral("GSU"), true},
    };
    return table;
}

QString sechiCaption(SechiMode mode)
{
    return mode == SechiMode::Cuttings ? QStringLiteral("Списък на сечите") : QStringLiteral("Списък на мероприятията");
}

QString sechiStatusText(int rows, double area)
{
    // The "a" of "подотделa" and the "xa" are Latin letters, as the program has always shown them.
    return QStringLiteral("%1 подотделa с площ %2 xa").arg(rows).arg(formatFixed(area, 1));
}

QString sechiListHeading(SechiMode mode, const QString &title, const QString &year, const SechiFilter &filter)
{
    QString out = sechiCaption(mode) + kCrLf + title + QLatin1Char(' ') + year + kCrLf + kCrLf;
    if (filter.active()) out += filter.attr().label + QStringLiteral(": ") + filter.value + kCrLf + kCrLf;
    return out;
}

QString sechiCopyHeading(const QString &caption, const QString &title, const QString &year,
                         const SechiFilter &filter, const QString &status)
{
    QString out = caption + QStringLiteral(" - ") + title + QLatin1Char(' ') + year + kCrLf + kCrLf;
    out += filter.active() ? QStringLiteral("филтър: %1 = %2").arg(filter.attr().label, filter.value)
                           : QStringLiteral("общо за лесничейството");
    return out + kCrLf + status;
}

SechiLists::SechiLists(Database &db, QString projectTablePath, Table &landArea)
    : db_(db), table_(std::move(projectTablePath)), landArea_(landArea)
{
}

bool SechiLists::landAreaOpen() const
{
    return landArea_.active();
}

QStringList SechiLists::attributeValues(int attribute)
{
    QStringList out;
    if (attribute < 1 || attribute > sechiAttributes().size()) return out;
    const SechiAttribute &a = sechiAttributes().at(attribute - 1);
    QString statement;
    if (attribute == kSechiLandAreaAttribute && landAreaOpen())
        statement = QStringLiteral("select ZEMNAME from ") + sqlQuoted(qs(landArea_.path()));
    else
        statement = QStringLiteral("select distinct %1 from %2 where %1 <> %3")
                        .arg(a.field, sqlQuoted(table_), a.numeric ? QStringLiteral("0") : QStringLiteral("\"-\""));
    try {
        std::unique_ptr<Cursor> c = db_.open(ss(statement));
        for (; !c->eof(); c->next()) out << qs(c->value(0).toText());
    } catch (const EngineError &) {
        out.clear();
    }
    return out;
}

std::optional<QString> SechiLists::filterCondition(const SechiFilter &filter)
{
    if (!filter.active()) return QString();
    // A NUL would end the statement where it stands; such a value never comes from the
    // table, so nothing is listed for it.
    if (filter.value.contains(QChar(0))) return std::nullopt;
    const SechiAttribute &a = filter.attr();
    QString value = filter.value;
    if (filter.attribute == kSechiLandAreaAttribute && landAreaOpen())
        value = QString::number(landAreaNumber(landArea_, filter.value));
    return QStringLiteral(" and ") + a.field + QLatin1Char('=') + sqlQuoted(value);
}

SechiList SechiLists::SpisakSechi(const SechiFilter &filter)
{
    SechiList out;
    out.columns = {titled(QStringLiteral("подотдел")), titled(QStringLiteral("година")),
                   titled(QStringLiteral("вид сеч"))};
    const std::optional<QString> condition = filterCondition(filter);
    if (!condition) return out;
    out.statement = QStringLiteral("SELECT OTD,PODOTD,PL,GOD_SECH,SECH1,SECH2,SECH3,SECH4,SECH5,SECH6,SECH7,SECH8,SECH9 "
                                   "from ") +
                    sqlQuoted(table_) + QStringLiteral(" where SECH1<>\"-\"") + *condition;
    try {
        std::unique_ptr<Cursor> c = db_.open(ss(out.statement));
        // Thousands of rows: the texts are put together in UTF-8 and converted once a cell.
        std::string pod, kinds;
        for (; !c->eof(); c->next()) {
            out.area += c->value(2).toReal();
            pod = c->value(0).toText();
            pod += ':';
            pod += c->value(1).toText();
            const std::string year = c->value(3).toText();
            kinds.clear();
            for (size_t i = 4; i < 13; ++i) {
                Value v = c->value(i);
                if (v.kind != Value::Text) v.s = v.toText();
                if (v.s.empty() || v.s == "-" || v.s == "0") continue;
                if (!kinds.empty()) kinds += ", ";
                kinds += v.s;
            }
            out.rows << DataGridModel::Row{qs(pod), year == "0" ? QStringLiteral("-") : qs(year), qs(kinds)};
        }
        out.built = true;
    } catch (const EngineError &) {
        out.rows.clear();
        out.area = 0;
    }
    return out;
}

SechiList SechiLists::SpisakMeropr(const SechiFilter &filter)
{
    SechiList out;
    static const QStringList titles = {
        QStringLiteral("отдел"),     QStringLiteral("подотдел"), QStringLiteral("площ"),      QStringLiteral("схема"),
        QStringLiteral("д.вид 1  "), QStringLiteral("уч"),       QStringLiteral("бo"),        QStringLiteral("площ"),
        QStringLiteral("д.вид 2  "), QStringLiteral("уч"),       QStringLiteral("площ"),      QStringLiteral("д.вид 3  "),
        QStringLiteral("уч"),        QStringLiteral("площ"),     QStringLiteral("д.вид 4  "), QStringLiteral("уч"),
        QStringLiteral("площ"),      QStringLiteral("д.вид 5  "), QStringLiteral("уч"),       QStringLiteral("площ")};
    for (const QString &t : titles) out.columns << titled(t);
    out.boldTitles = {4, 8, 11, 14, 17};
    out.shadedColumns = {4, 5, 6, 7, 11, 12, 13, 17, 18, 19};
    const std::optional<QString> condition = filterCondition(filter);
    if (!condition) return out;
    out.statement = QStringLiteral("SELECT ") + kMeasureFields + QStringLiteral(" from ") + sqlQuoted(table_);
    if (filter.active())
        out.statement += QStringLiteral(" where (") + kAfforested + QStringLiteral(" )") + *condition;
    else
        out.statement += QStringLiteral(" where ") + kAfforested;
    try {
        std::unique_ptr<Cursor> c = db_.open(ss(out.statement));
        const size_t n = c->columns().size();
        for (; !c->eof(); c->next()) {
            DataGridModel::Row row;
            row.reserve(qsizetype(n));
            for (size_t i = 0; i < n; ++i) row << cell(c->value(i));
            out.area += c->value(2).toReal();
            out.rows << std::move(row);
        }
        out.built = true;
    } catch (const EngineError &) {
        out.rows.clear();
        out.area = 0;
    }
    return out;
}

} // namespace dx
