// "Настройки печат": margins, font, size and copies of the description report (first
// tab) and of the pre-compartment sheet (second tab), the printer line and the printer
// setup dialog. "Ok" applies the values and writes all fourteen keys; "Отказ" leaves
// everything as it was.
#pragma once

#include "core/Settings.h"
#include "widgets/TFormWindow.h"

class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace dx {

class WindowContext;

class TFormPrintSet : public TFormWindow {
public:
    explicit TFormPrintSet(WindowContext &context);

    // The controls of one tab (0: descriptions, 1: sheet).
    struct Tab {
        QSpinBox *top = nullptr, *left = nullptr, *right = nullptr, *bottom = nullptr, *copies = nullptr;
        QComboBox *font = nullptr, *size = nullptr;
        QPushButton *standard = nullptr, *printer = nullptr;
    };
    const Tab &tab(int i) const { return tabs_[i]; }
    QTabWidget *tabs() const { return tabWidget_; }
    QLabel *printerLine() const { return printerLine_; }
    QPushButton *okButton() const { return ok_; }
    QPushButton *cancelButton() const { return cancel_; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    QWidget *buildTab(Tab &t, bool withPrinterLine);
    void load(Tab &t, const PageSettings &p);
    // The tab's values over `p`; false (with the conversion message) when a size is not a number.
    bool read(const Tab &t, PageSettings &p);
    void BitBtnOkClick();

    WindowContext &context_;
    Tab tabs_[2];
    QTabWidget *tabWidget_ = nullptr;
    QLabel *printerLine_ = nullptr;
    QPushButton *ok_ = nullptr;
    QPushButton *cancel_ = nullptr;
};

} // namespace dx
