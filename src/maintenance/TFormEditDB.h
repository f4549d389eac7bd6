// The database editor "Редакция база дании": the whole project table in an editable grid
// titled with the fields' labels, a record navigator, the jump box, the search window
// in three modes, and the archive copy with its restore window. Each changed record is
// posted on its own through the table's writer.
#pragma once

#include "maintenance/TableEditor.h"
#include "widgets/TFormWindow.h"

#include <QAbstractTableModel>

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableView;

namespace dx {

class WindowContext;

// The grid's model over the editor's data; a typed value is posted at once.
class EditDbModel : public QAbstractTableModel {
public:
    EditDbModel(TableEditor &editor, QObject *parent) : QAbstractTableModel(parent), editor_(editor) {}
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;
    void reset() { beginResetModel(), endResetModel(); }
    // A refused post: the message the window shows.
    std::function<void(const UserMessage &)> onRefused;
    std::function<void()> onPosted;

private:
    TableEditor &editor_;
};

class TFormEditDB : public TFormWindow {
public:
    explicit TFormEditDB(WindowContext &context);

    TableEditor &editor() { return editor_; }
    QTableView *grid() const { return grid_; }
    QLineEdit *jumpBox() const { return jump_; }
    QAction *navigatorAction(int i) const { return nav_[i]; } // in the navigator's order
    QAction *searchAction() const { return search_; }
    QAction *archiveAction() const { return archive_; }
    QAction *restoreAction() const { return restore_; }

    // Enter in the jump box.
    void Jump();
    // Archive with the progress window (the menu, or the question on opening).
    bool Archive();
    // The search position: column and record of the grid's current cell.
    TableEditor::Cell searchPosition() const { return pos_; }
    void setSearchPosition(TableEditor::Cell c);
    // "Възтанови" confirmed: copies the archive back, switches to the project again.
    void RestoreConfirmed();
    QString baseCaption() const { return base_; }

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void load();
    void currentChanged();
    void goRow(int row);
    void posted();
    void openRestoreWindow();

    WindowContext &context_;
    TableEditor editor_;
    EditDbModel *model_;
    QTableView *grid_;
    QLineEdit *jump_;
    QAction *nav_[10];
    QAction *search_, *archive_, *restore_;
    TableEditor::Cell pos_;
    QString base_;
    bool opened_ = false;
};

// The editor's search window "Търсене".
class TFormDBSearch : public TFormWindow {
public:
    explicit TFormDBSearch(WindowContext &context);
    QLineEdit *text() const { return text_; }
    QRadioButton *mode(int i) const { return modes_[i]; } // all data, current row, current column
    QPushButton *findButton() const { return find_; }
    void Find();

private:
    WindowContext &context_;
    QLineEdit *text_;
    QRadioButton *modes_[3];
    QPushButton *find_;
};

// The restore window "Възтановяване на база данни".
class TFormEditDBUnArch : public TFormWindow {
public:
    explicit TFormEditDBUnArch(WindowContext &context);
    void fill(const QString &archive);
    QLabel *project() const { return project_; }
    QLabel *file() const { return file_; }
    QLabel *stamp() const { return stamp_; }
    QPushButton *restoreButton() const { return restore_; }

private:
    WindowContext &context_;
    QLabel *project_, *file_, *stamp_;
    QPushButton *restore_;
};

} // namespace dx
