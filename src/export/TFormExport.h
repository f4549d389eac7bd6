// "Експорт на описания": one sub-compartment, one compartment's pre-compartment sheet, a
// range of compartments or the entries of a list file (also the working sieve's result)
// exported as text or as a Word document, the whole description or the parts ticked on
// the settings tab.
#pragma once

#include "export/ExportRun.h"
#include "widgets/TFormWindow.h"

#include <array>
#include <functional>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTableWidget;

namespace dx {

class WindowContext;

// What a file dialog is asked: save (asking before overwriting) or open, its proposed
// name, filter and default extension.
struct FileDialogRequest {
    bool save = true;
    QString proposed;
    QString filter;
    QString suffix;
};

// The progress window of print and export runs, as the application hands it over: shown
// for a run of `total` pieces whose stop flag is `stop`, stepped, closed.
struct RunProgress {
    std::function<void(const QString &label, const QString &title, int total, bool *stop)> start;
    std::function<void(const QString &label, const QString &title, int done)> step;
    std::function<void()> finish;
};

class TFormExport : public TFormWindow {
    Q_OBJECT
public:
    explicit TFormExport(WindowContext &context);

    enum Tab { SubCompartments, Compartments, List, Settings };

    QTabWidget *tabs() const { return tabs_; }
    QRadioButton *textOption() const { return text_; }
    QRadioButton *wordOption() const { return word_; }
    QRadioButton *pdfOption() const { return pdf_; }
    QPushButton *exportButton() const { return export_; }
    QPushButton *cancelButton() const { return cancel_; }
    // "подотдели"
    QRadioButton *subCompartmentOption() const { return optPod_; }
    QRadioButton *sheetOption() const { return optSheet_; }
    QLineEdit *otdField() const { return otd_; }
    QLineEdit *podotdField() const { return pod_; }
    QLineEdit *sheetOtdField() const { return sheetOtd_; }
    QPushButton *seeAllButton() const { return seeAll_; }
    // "отдели"
    QLineEdit *fromField() const { return from_; }
    QLineEdit *toField() const { return to_; }
    QCheckBox *allBox() const { return all_; }
    QCheckBox *sheetsBox() const { return sheets_; }
    QCheckBox *sheetsOnlyBox() const { return sheetsOnly_; }
    // "списък"
    QLineEdit *listField() const { return listPath_; }
    QTableWidget *listGrid() const { return grid_; }
    QGroupBox *listGroup() const { return listGroup_; }
    // "настройки"
    QRadioButton *allPartsOption() const { return allParts_; }
    QRadioButton *somePartsOption() const { return someParts_; }
    QCheckBox *partBox(int i) const { return parts_[size_t(i)]; } // 0..15
    // The output path fields and their "..." buttons of the first three tabs.
    QLineEdit *pathField(int tab) const { return paths_[size_t(tab)]; }
    QPushButton *browseButton(int tab) const { return browse_[size_t(tab)]; }

    const QVector<RangeEntry> &entries() const { return entries_; }
    bool *stopFlag() { return &stop_; }

    // Tests answer the file dialogs instead of the user (an empty name is Cancel).
    void setProgress(RunProgress progress) { progress_ = std::move(progress); }
    void setFileChooser(std::function<QString(const FileDialogRequest &)> chooser) { chooser_ = std::move(chooser); }

    // The working sieve's result handed over: the list holds its rows in order, the list
    // field reads "Сито работно", the list tab is in front and text is the format.
    void receiveList(const QList<QPair<QString, QString>> &rows);
    // Loads a list file into the list (the list "..." after its dialog).
    void loadList(const QString &path);

signals:
    // "виж всички подотдели за отдела": the compartment whose sub-compartments to show.
    void compartmentDetailRequested(int otd);
    // A range resolved for an export: the range printing's list window shows the same list.
    void rangeResolved(const QVector<RangeEntry> &entries);

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void buildSubCompartmentsTab(QWidget *page);
    void buildCompartmentsTab(QWidget *page);
    void buildListTab(QWidget *page);
    void buildSettingsTab(QWidget *page);
    QWidget *outputGroup(int tab, const QString &caption);

    void updateExport();
    void tabChanged(int tab);
    void subOptionClick();
    void CheckBoxAllClick();
    void CheckBoxSheetsOnlyClick();
    void partsOptionClick();
    void formatClick();
    void browseClick(int tab);
    void listBrowseClick();
    void seeAllClick();
    void BitBtnExportClick();
    void exportRange(const QString &path);
    void ExportToTextFromList(const QString &path);
    void runEntries(const QVector<RangeEntry> &entries, const QString &path, ExportOptions options);
    ExportOptions options() const;
    QString proposedName(int tab) const;
    bool deleteFile(const QString &path);
    void showList();

    WindowContext &context_;
    QTabWidget *tabs_ = nullptr;
    QRadioButton *text_ = nullptr, *word_ = nullptr, *pdf_ = nullptr;
    QPushButton *export_ = nullptr, *cancel_ = nullptr;
    QRadioButton *optPod_ = nullptr, *optSheet_ = nullptr;
    QLineEdit *otd_ = nullptr, *pod_ = nullptr, *sheetOtd_ = nullptr;
    QPushButton *seeAll_ = nullptr;
    QLineEdit *from_ = nullptr, *to_ = nullptr;
    QCheckBox *all_ = nullptr, *sheets_ = nullptr, *sheetsOnly_ = nullptr;
    QLineEdit *listPath_ = nullptr;
    QPushButton *listBrowse_ = nullptr;
    QTableWidget *grid_ = nullptr;
    QGroupBox *listGroup_ = nullptr;
    QRadioButton *allParts_ = nullptr, *someParts_ = nullptr;
    std::array<QCheckBox *, 16> parts_{};
    std::array<bool, 16> stored_{};
    std::array<QLineEdit *, 3> paths_{};
    std::array<QPushButton *, 3> browse_{};
    std::function<QString(const FileDialogRequest &)> chooser_;
    QVector<RangeEntry> entries_;
    RunProgress progress_;
    bool stop_ = false;
};

} // namespace dx
