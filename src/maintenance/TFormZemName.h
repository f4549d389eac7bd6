// The land-area names windows: the editor "Землища" (creating the table when the project
// has none), the consistency test and the status window it writes its findings into.
#pragma once

#include "maintenance/TFormEditDB.h"
#include "widgets/TFormWindow.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;

namespace dx {

class WindowContext;

class TFormEditZemName : public TFormWindow {
public:
    explicit TFormEditZemName(WindowContext &context);
    QTableView *grid() const { return grid_; }
    QLabel *countPanel() const { return count_; }
    TableEditor &editor() { return editor_; }
    // "Вмъкни ред", "Изтрий ред", "Местоположение".
    void InsertRow();
    void DeleteRow();
    void ShowLocation();

protected:
    void showEvent(QShowEvent *event) override;

private:
    bool createTable();
    void refreshCount();
    void changed();

    WindowContext &context_;
    TableEditor editor_;
    EditDbModel *model_;
    QTableView *grid_;
    QLabel *count_;
};

class TFormTestZemName : public TFormWindow {
public:
    explicit TFormTestZemName(WindowContext &context);
    QLineEdit *tablePath() const { return table_; }
    QLineEdit *landAreaPath() const { return zem_; }
    QPushButton *testButton() const { return test_; }
    void Test();

protected:
    void showEvent(QShowEvent *event) override;

private:
    WindowContext &context_;
    QLineEdit *table_, *zem_;
    QPushButton *test_;
};

class TFormStatus : public TFormWindow {
public:
    explicit TFormStatus(WindowContext &context);
    QPlainTextEdit *memo() const { return memo_; }

private:
    QPlainTextEdit *memo_;
};

} // namespace dx
