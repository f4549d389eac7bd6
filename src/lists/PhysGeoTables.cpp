// The physico-geographic tables' catalogue (list entries, menu items, files, titles and
// sizes), their files under Tables/ (the dBase table and the text file, both written
// through a temporary file) and the reading back of a built table from its dBase file.
#include "lists/PhysGeoTables.h"

#include "core/AppState.h"
#include "core/NumberFormat.h"
#include "core/QtText.h"
#include "core/SafeFileWrite.h"
#include "engine/common/Codepage.h"
#include "engine/common/EngineError.h"
#include "engine/common/Platform.h"
#include "engine/dbf/DbfFile.h"
#include "lists/GridTextLayout.h"

#include <QDir>
#include <QFileInfo>

#include <chrono>

namespace dx {
namespace {

const QString kCaption = QStringLiteral("Таблици");
const QString kArea = QStringLiteral("площ (xa)");
const QString kFormat = QStringLiteral("0.0");
const Qt::Alignment kRight = Qt::AlignRight | Qt::AlignVCenter;

PhysGeoEntry entry(int number, const char *shortName, const char *description, bool hasTable)
{
    return {number, QString::fromUtf8(shortName), QString::fromUtf8(description), hasTable};
}

// A class table's three columns: the class label, the area and the percent.
QList<GridColumn> areaColumns(const QString &first)
{
    return {GridColumn(first, QString(), Qt::AlignLeft | Qt::AlignVCenter, 30), GridColumn(kArea, kFormat, kRight),
            GridColumn(QStringLiteral("%"), kFormat, kRight)};
}

FieldDef numeric(const std::string &name)
{
    return makeField(name, FieldType::Real, 14, 1);
}

std::vector<FieldDef> dbfFields(int number)
{
    std::vector<FieldDef> f;
    if (number == 10) {
        f = {makeField("DV", FieldType::Text, 32), makeField("BON", FieldType::Text, 12)};
        for (int i = 1; i <= 7; ++i) f.push_back(numeric("F" + std::to_string(i)));
    } else if (number == 12) {
        f = {makeField("F1", FieldType::Text, 30)};
        for (int i = 2; i <= 14; ++i) f.push_back(numeric("F" + std::to_string(i)));
    } else {
        f = {makeField("F1", FieldType::Text, 30), numeric("F2"), numeric("F3")};
    }
    return f;
}

Value toValue(const QVariant &v)
{
    if (!v.isValid() || v.isNull()) return Value::null();
    if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong)
        return Value::fromReal(v.toDouble());
    return Value::fromText(ss(v.toString()));
}

QVariant toVariant(const Value &v)
{
    switch (v.kind) {
    case Value::Null: return QVariant();
    case Value::Int: return QVariant(double(v.i));
    case Value::Real: return QVariant(v.d);
    default: return QVariant(qs(v.toText()));
    }
}

QString filePath(const PhysGeoSources &src, int number, const char *extension)
{
    return QDir(src.tablesDir).filePath(physGeoFileBase(number) + QLatin1String(extension));
}

PhysGeoError cannotReplace(const QString &path, const QString &reason)
{
    return PhysGeoError({kCaption,
                         QStringLiteral("Файл %1 неможе да бъде изтрит. Рестартирайте програмата и опитайте отново.")
                             .arg(QDir::toNativeSeparators(path)),
                         UserMessage::Icon::Error, reason});
}

// Why an existing output file cannot be replaced: a folder in its place, a write
// protection, or another program holding it; empty when it can.
QString replaceProblem(const QString &path)
{
    const QFileInfo info(path);
    if (!QFileInfo(info.absolutePath()).isDir())
        return QStringLiteral("папката %1 не съществува.").arg(QDir::toNativeSeparators(info.absolutePath()));
    if (!info.exists()) return QString();
    if (QString what = notAFileReason(path); !what.isEmpty()) return what;
    // The owner's write permission, not only access(): a read-only file stays so for root.
    if (!info.isWritable() || !(info.permissions() & QFileDevice::WriteOwner))
        return QStringLiteral("файлът е защитен от запис.");
    try {
        platform::FileLock lock(ss(path), std::chrono::milliseconds(0));
    } catch (const LockBusyError &e) {
        return QStringLiteral("файлът е зает от друга програма (%1).").arg(qs(e.reason()));
    } catch (const std::exception &) {
        // No lock file can be made beside it: the write itself tells why.
    }
    return QString();
}

} // namespace

PhysGeoError::PhysGeoError(UserMessage message)
    : std::runtime_error(ss(message.detail.isEmpty() ? message.text : message.text + QLatin1Char(' ') + message.detail)),
      message_(std::move(message))
{
}

const QList<PhysGeoEntry> &physGeoTableList()
{
    static const QList<PhysGeoEntry> list = {
        entry(1, "Таблица 1",
              "Разпределение на дървопроизводителната площ по средни надморски височини (през 50m)", true),
        entry(15, "Таблица 1а",
              "Разпределение на дървопроизводителната площ по средни надморски височини (през 100m)", true),
        entry(2, "Таблица 2", "Разпределение на дървопроизводителната площ по наклон на терена", true),
        entry(3, "Таблица 3", "Разпределение на дървопроизводителната площ по изложение на терена", true),
        entry(6, "Таблица 6", "Площно разпределение на типовете и подтиповете горски почви", true),
        entry(7, "Таблица 7", "Разпределение на дървопроизводителната площ по дълбочина на почвата", true),
        entry(9, "Таблица 9",
              "Разпределение на дървопроизводителната площ по типове месторастения, горскорастителна област и "
              "подобласт, пояс и подпояс",
              true),
        entry(10, "Таблица 10",
              "Сравнение на размера на условния общ зрелостен прираст и площа по дървесни видове при сегашни и "
              "бъдещия състав на гората",
              true),
        entry(11, "Таблица 11", "Сравнение на площа по дървесни видове при сегашни и бъдещия състав на гората", false),
        entry(12, "Таблица 12,13",
              "Разпределение на общата площа по вид на ерозията, степен на ерозията и вид на горите", true),
        entry(14, "Таблица 14", "Разпределение на подложената на ерозия площ по вид на ерозията", false),
        entry(19, "Таблица 19",
              "Разпределение на запаса (залесена площ) по степен на повреда и вид на насаждението", false),
    };
    return list;
}

int physGeoBuiltNumber(int number)
{
    if (number == 13) number = 12;
    for (const PhysGeoEntry &e : physGeoTableList())
        if (e.number == number) return e.hasTable ? number : 0;
    return 0;
}

const PhysGeoEntry *physGeoEntry(int number)
{
    if (number == 13) number = 12;
    for (const PhysGeoEntry &e : physGeoTableList())
        if (e.number == number) return &e;
    return nullptr;
}

QString physGeoCaption(int number)
{
    const PhysGeoEntry *e = physGeoEntry(number);
    return e ? e->shortName + QStringLiteral(" - ") + e->description : QString();
}

QString physGeoMenuText(int number)
{
    switch (physGeoBuiltNumber(number)) {
    case 1: return QStringLiteral("Таблица 1 - Площ по надморски височини (през 50m)");
    case 15: return QStringLiteral("Таблица 1 - Площ по надморски височини (през 100m)");
    case 2: return QStringLiteral("Таблица 2 - Площ по наклон на терена");
    case 3: return QStringLiteral("Таблица 3 - Площ по изложение на терена");
    case 6: return QStringLiteral("Таблица 6 - Площ по типове и подтипове горски почви");
    case 7: return QStringLiteral("Таблица 7 - Площ по дълбочина на почвата");
    case 9: return QStringLiteral("Таблица 9 - Площ по област, подпояс и месторастене");
    case 10: return QStringLiteral("Таблица 10 - Площ по дървесни видове и бонитет");
    case 12: return QStringLiteral("Таблица 12,13 - Площ по вид на ерозия, степен на ерозия и вид на горите");
    default: return QString();
    }
}

QString physGeoFileBase(int number)
{
    switch (physGeoBuiltNumber(number)) {
    case 0: return QString();
    case 15: return QStringLiteral("tab1a");
    case 12: return QStringLiteral("tab12-13");
    default: return QStringLiteral("tab%1").arg(number);
    }
}

int physGeoNumberFromName(const QString &name)
{
    const QString n = name.trimmed();
    if (n == QStringLiteral("1а") || n == QStringLiteral("1a")) return 15;
    if (n == QStringLiteral("12-13") || n == QStringLiteral("12,13")) return 12;
    bool ok = false;
    const int v = n.toInt(&ok);
    if (!ok || v == 12 || v == 13 || v == 15) return 0;
    return physGeoBuiltNumber(v);
}

QList<GridColumn> physGeoColumns(int number)
{
    switch (physGeoBuiltNumber(number)) {
    case 1:
    case 15: return areaColumns(QStringLiteral("намд. височини"));
    case 2: return areaColumns(QStringLiteral("степени на наклона"));
    case 3: return areaColumns(QStringLiteral("изложения"));
    case 6: return areaColumns(QStringLiteral("типове и подтипове горски почви"));
    case 7: return areaColumns(QStringLiteral("дълбочина на почвата"));
    case 9: return areaColumns(QStringLiteral("област,подпояс,месторастене"));
    case 10: {
        QList<GridColumn> c = {GridColumn(QStringLiteral("дървесен вид"), QString(), Qt::AlignLeft | Qt::AlignVCenter, 13),
                               GridColumn(QStringLiteral("бонитет"), QString(), Qt::AlignLeft | Qt::AlignVCenter, 8)};
        for (const char *t : {"усл.ср.зр.|прираст|на 1 ха", "СЕГАШЕН СЪСТАВ|площ|ха", "СЕГАШЕН СЪСТАВ|прираст|куб.м",
                              "БЪДЕЩ СЪСТАВ|залесена площ|площ|ха", "БЪДЕЩ СЪСТАВ|залесена площ|прираст|куб.м",
                              "БЪДЕЩ СЪСТАВ|дървопроизв. площ|площ|ха",
                              "БЪДЕЩ СЪСТАВ|дървопроизв. площ|прираст|куб.м"})
            c << GridColumn(QString::fromUtf8(t), kFormat, kRight);
        return c;
    }
    case 12: {
        QList<GridColumn> c = {GridColumn(QStringLiteral("вид гори"), QString(), Qt::AlignLeft | Qt::AlignVCenter, 20)};
        for (const char *t :
             {"степени на ерозия|I степен", "степени на ерозия|II степен", "степени на ерозия|III степен",
              "степени на ерозия|IV степен", "степени на ерозия|V степен", "вид на ерозия|площна",
              "вид на ерозия|стрйчеста", "вид на ерозия|браздова", "вид на ерозия|ровинна", "вид на ерозия|дълбочинна",
              "мероприятия|площ подложена на ерозия", "мероприятия|площ предвидена за залесяване",
              "мероприятия|площ предвидена за терасиране"})
            c << GridColumn(QString::fromUtf8(t), kFormat, kRight);
        return c;
    }
    default: return {};
    }
}

QSize physGeoWindowSize(int number)
{
    switch (physGeoBuiltNumber(number)) {
    case 0: return {};
    case 12: return {800, 350};
    case 10: // 80 and 50 pixels for the first two columns, the grid's 64 for the others, 5 between
        return {std::min(800, 85 + 55 + 7 * 69), 550};
    default: return {350, 550};
    }
}

PhysGeoSources physGeoSources(const AppState &state)
{
    PhysGeoSources s;
    s.projectTablePath = state.projectTablePath;
    s.nomenclaturePath = state.nomenclaturePath();
    s.siteClassPath = state.path(QStringLiteral("bon.dbf"));
    s.tablesDir = state.path(QStringLiteral("Tables"));
    s.projectHeading = buildOwnershipFilter(state.ownership.choice, state.title, state.year).projectHeading;
    return s;
}

QString physGeoHeading(int number, const QString &projectHeading, const OwnershipFilter &filter)
{
    const PhysGeoEntry *e = physGeoEntry(number);
    if (!e) return QString();
    const QString crlf = QStringLiteral("\r\n");
    return e->shortName + crlf + e->description + crlf + crlf + projectHeading + QStringLiteral(", ") +
           filter.description + crlf + crlf;
}

QString physGeoText(const PhysGeoTable &table, const QString &projectHeading, const OwnershipFilter &filter)
{
    const QString crlf = QStringLiteral("\r\n");
    const ListContent &c = table.content;
    if (table.number == 12) {
        // Tab-separated, without the project heading: quoted degree names, then kinds.
        QString text = QStringLiteral("вид гори\t\"ерозия I ст\"\t\"ерозия II ст\"\t\"ерозия III ст\"\t\"ерозия IV ст\"\t"
                                      "\"ерозия V ст\"\tплощна\tструйчеста\tбраздова\tровинна\tдълбочинна") +
                       crlf;
        for (const auto &row : c.rows) {
            text += row.value(0).toString();
            for (int i = 1; i < c.columns.size(); ++i)
                text += QLatin1Char('\t') + QString::asprintf("%1.1f", row.value(i).toDouble());
            text += crlf;
        }
        return text + crlf;
    }
    DataGridModel model(c.columns);
    model.setRows(c.rows);
    QList<int> widths;
    for (int col = 0; col < model.columnCount(); ++col) {
        int w = int(c.columns[col].title.size());
        for (int r = 0; r < model.rowCount(); ++r) w = std::max(w, int(model.displayText(r, col).size()));
        widths << w;
    }
    const QString blank = QStringLiteral(" ");
    QString text = physGeoHeading(table.number, projectHeading, filter);
    QStringList cells;
    for (int col = 0; col < model.columnCount(); ++col) cells << PadRight(c.columns[col].title, widths[col], blank);
    text += cells.join(QLatin1Char('\t')) + crlf;
    for (int r = 0; r < model.rowCount(); ++r) {
        cells.clear();
        for (int col = 0; col < model.columnCount(); ++col)
            cells << PadRight(model.displayText(r, col), widths[col], blank);
        text += cells.join(QLatin1Char('\t')) + crlf;
    }
    return text + crlf;
}

void WritePhysGeoFiles(const PhysGeoSources &src, const PhysGeoTable &table, const OwnershipFilter &filter)
{
    const QString dbfPath = filePath(src, table.number, ".dbf"), txtPath = filePath(src, table.number, ".txt");
    // Both files are checked before either is written, so a refusal leaves both as they were.
    for (const QString &path : {txtPath, dbfPath}) {
        const QString problem = replaceProblem(path);
        if (!problem.isEmpty()) throw cannotReplace(path, problem);
    }
    std::vector<Row> rows;
    for (const auto &r : table.content.rows) {
        Row row;
        for (int i = 0; i < table.content.columns.size(); ++i) row.push_back(toValue(r.value(i)));
        rows.push_back(std::move(row));
    }
    const QByteArray text =
        QByteArray::fromStdString(cp::utf8ToCp1251(ss(physGeoText(table, src.projectHeading, filter))));
    auto writeText = [&] {
        try {
            writeFileSafely(txtPath, text);
        } catch (const FileWriteError &e) {
            throw cannotReplace(txtPath, e.reason());
        }
    };
    // Table 12-13 writes its text file first, the others their dBase file.
    if (table.number == 12) writeText();
    try {
        dbf::create(ss(dbfPath), dbfFields(table.number), rows);
    } catch (const std::exception &e) {
        throw cannotReplace(dbfPath, qs(e.what()));
    }
    if (table.number != 12) writeText();
}

PhysGeoTable BuildPhysGeoTable(Database &db, const PhysGeoSources &sources, int number, const OwnershipFilter &filter,
                               const PhysGeoProgress *progress)
{
    PhysGeoTable t = ComputePhysGeoTable(db, sources, number, filter, progress);
    WritePhysGeoFiles(sources, t, filter);
    return t;
}

PhysGeoTable LoadPhysGeoTable(const PhysGeoSources &src, int number, const OwnershipFilter &filter)
{
    const int n = physGeoBuiltNumber(number);
    PhysGeoTable out;
    out.number = n;
    out.caption = physGeoCaption(n);
    out.menuText = physGeoMenuText(n);
    out.windowSize = physGeoWindowSize(n);
    out.content.heading = physGeoHeading(n, src.projectHeading, filter);
    out.content.columns = physGeoColumns(n);
    const QString path = n ? filePath(src, n, ".dbf") : QString();
    try {
        if (!n) throw EngineError(std::string(), "no such table");
        const TableFilePtr file = dbf::read(ss(path));
        const int columns = int(out.content.columns.size());
        if (int(file->fields().size()) < columns) throw EngineError(ss(path), "the table has too few fields");
        for (size_t r = 0; r < file->rowCount(); ++r) {
            DataGridModel::Row row;
            for (int c = 0; c < columns; ++c) row << toVariant(file->value(r, size_t(c)));
            out.content.rows << row;
        }
    } catch (const std::exception &e) {
        throw PhysGeoError({kCaption,
                            QStringLiteral("Таблица %1 неможе да бъде отворена. Рестартирайте програмата и опитайте "
                                           "отново.")
                                .arg(QDir::toNativeSeparators(path)),
                            UserMessage::Icon::Error, qs(e.what())});
    }
    return out;
}

} // namespace dx
