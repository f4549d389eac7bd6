// The cuttings sieve's lists, search, heading and copied texts.
#include "sieves/SieveCuttingSieve.h"

#include "core/AppState.h"
#include "core/QtText.h"
#include "engine/common/EngineError.h"
#include "lists/GridTextLayout.h"
#include "sieves/SieveClause.h"

namespace dx {

namespace {
const QString kCrLf = QStringLiteral("\r\n");
}

QString cuttingSieveTypes(const CuttingSlots &types)
{
    QString out;
    bool first = true;
    for (const QString &t : types) {
        if (t.isEmpty()) continue;
        out += first ? t : QStringLiteral(" ,") + t;
        first = false;
    }
    return out;
}

QString cuttingSieveTitle(const CuttingSlots &types, const QString &title, const QString &year)
{
    return QStringLiteral("Сито за сечите - %1 %2").arg(title, year) + kCrLf + kCrLf + QStringLiteral("вид сеч: ") +
           cuttingSieveTypes(types);
}

QString cuttingSieveCopyHeading(const CuttingSlots &types, const QString &title, const QString &year)
{
    return cuttingSieveTitle(types, title, year) + kCrLf + kCrLf + QStringLiteral("отдел\tподотдел\tплощ") + kCrLf;
}

QString cuttingSieveCopyFooter(const QString &status, const QString &contactLine)
{
    return kCrLf + QStringLiteral("ОБЩО: ") + status + kCrLf + kCrLf + contactLine;
}

QString cuttingSieveCopyText(const QAbstractItemModel &model, const QList<int> &columns, const CuttingSlots &types,
                             const QString &title, const QString &year, const QString &status,
                             const QString &contactLine)
{
    return CopyGridText(model, false, cuttingSieveCopyHeading(types, title, year), columns) +
           cuttingSieveCopyFooter(status, contactLine);
}

const QStringList &cuttingSieveTitles()
{
    static const QStringList titles = {QStringLiteral("отдел"), QStringLiteral("подотдел"), QStringLiteral("площ (ха)")};
    return titles;
}

int cuttingSieveColumnWidth(int column)
{
    static const int widths[] = {50, 60, 70};
    return column >= 0 && column < 3 ? widths[column] : 0;
}

void fillCuttingSieveModel(DataGridModel &model, const SieveResult &result)
{
    const Qt::Alignment centred = Qt::AlignHCenter | Qt::AlignVCenter;
    QList<GridColumn> columns;
    for (qsizetype i = 0; i < result.fields.size(); ++i)
        columns << GridColumn(i < 3 ? cuttingSieveTitles()[i] : result.fields[i], QString(),
                              i == 2 ? Qt::AlignRight | Qt::AlignVCenter : centred);
    model.setColumns(columns);
    model.setRows(result.rows);
}

void CuttingSieve::show(AppState &state)
{
    closeResult();
    lists_ = LoadComboSech(state.db, state.projectTablePath);
    for (QString &t : types_) t.clear();
}

void CuttingSieve::setType(int slot, const QString &text)
{
    if (slot < 1 || slot > kCuttingSlots) return;
    types_[size_t(slot - 1)] = text;
    searchEnabled_ = false;
    for (const QString &t : types_)
        if (!t.isEmpty()) searchEnabled_ = true;
}

void CuttingSieve::closeResult()
{
    resultOpen_ = false;
    result_ = SieveResult();
    statement_.clear();
    failure_ = UserMessage();
}

void CuttingSieve::clear()
{
    for (QString &t : types_) t.clear();
    closeResult();
    status_.clear();
}

CuttingSieve::Outcome CuttingSieve::search(AppState &state)
{
    // Each chosen type is a quoted constant, so any text typed into a list stands as it is.
    const QString conditions = cuttingClause(types_);
    if (conditions.isEmpty()) return Outcome::NothingChosen;
    closeResult();
    heading_ = cuttingSieveTitle(types_, state.title, state.year);
    statement_ = selectStatement(QStringLiteral("otd,podotd,pl"), state.projectTablePath, conditions);
    try {
        result_ = executeSieve(state.db, statement_);
    } catch (const EngineError &e) {
        result_ = SieveResult();
        failure_ = {plainCaption(), qs(e.reason()), UserMessage::Icon::Error, {}};
        return Outcome::Failed;
    }
    resultOpen_ = true;
    status_ = sieveResultLabel(result_.rowCount(), result_.area);
    if (result_.rows.isEmpty()) return Outcome::NoRows;
    heading_ += kCrLf + status_;
    return Outcome::Rows;
}

} // namespace dx
