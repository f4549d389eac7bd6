// One measures grid's rows: the rows of a measures table that carry the shown
// sub-compartment's key, plus at most one new row that is not in the file yet. Every
// accepted cell is written to the file at once, with the row's KEY set. A write that
// fails, or a row that would not be shown under the table's filter, leaves the file as
// it was and is reported through `problem`; no engine error leaves these methods.
#pragma once

#include "description/Measures.h"

#include <QAbstractTableModel>

#include <functional>

namespace dx {

class MeasuresModel : public QAbstractTableModel {
    Q_OBJECT
public:
    MeasuresModel(Table &table, const MeasureTableDef &def, QObject *parent = nullptr);

    // The key a posted row gets: the lists' compartment text, ":" and sub-compartment.
    void setKeySource(std::function<QString()> key) { key_ = std::move(key); }
    // Rereads the table's visible rows (after a filter change); a new row is dropped.
    void refresh();

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation o, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // Checks and writes one cell; a refused value leaves the file as it was and emits
    // `problem` with the reason.
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

    // The grid column, its width taken from the open file's field.
    const MeasureColumn &column(int c) const { return columns_[c]; }
    bool usable() const { return table_.active(); }
    bool hasNewRow() const { return newRow_ >= 0; }
    int newRow() const { return newRow_; }

    // "Вмъкни" (before `row`) and "Добави" (at the end): an empty new row; returns it.
    int insertNewRow(int row);
    int appendNewRow();
    // "Запис": posts the new row when any of its cells is filled; false when nothing
    // was posted.
    bool save();
    // "Изтрий": deletes the row from the file (a new row is only dropped).
    bool removeAt(int row);

signals:
    void problem(const QString &text);

private:
    bool post(int row, const QVector<QString> &cells, int changedColumn);
    bool write(bool isNew, size_t mark, const QVector<QString> &cells, int changedColumn, const QString &key);
    bool dropUnshownAppended(const QString &key);
    void placePosted(size_t mark);
    QVector<size_t> visibleMarks();
    void reread();
    void takeFieldWidths();
    int fileRow(int row) const { return newRow_ >= 0 && row > newRow_ ? row - 1 : row; }
    QString cell(int row, int column) const;

    Table &table_;
    const MeasureTableDef &def_;
    QVector<MeasureColumn> columns_;
    std::function<QString()> key_;
    QVector<size_t> bookmarks_;    // the file's rows shown, in table order
    int newRow_ = -1;              // position of the new row, -1 when none
    QVector<QString> newCells_;
};

} // namespace dx
