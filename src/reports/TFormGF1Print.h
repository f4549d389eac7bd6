// The printed form of forest fund report 1 ("Dendrix - ОГФ 1"): an A4 portrait page with
// the page header (the report's name, the project, the ownership) over the boxed column
// titles, and one line per row of the report's grid with its cells as the grid shows
// them, values centred. The pages are laid out by the grid printer of the lists; this
// window gives them their titles and opens the preview at 100 %, prints directly on the
// current printer, or writes a PDF.
#pragma once

#include "core/OwnershipFilter.h"
#include "widgets/TFormWindow.h"

#include <QIdentityProxyModel>

#include <functional>
#include <memory>

class QPrinter;

namespace dx {

class GridPrinter;
class WindowContext;

// The report's grid with the printed column titles and the values centred.
class GF1PrintModel : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
};

class TFormGF1Print : public TFormWindow {
public:
    explicit TFormGF1Print(WindowContext &context);
    ~TFormGF1Print() override;

    // The report to print: the grid's model as it stands (edits included) and its filter.
    void setReport(QAbstractItemModel *model, const OwnershipFilter &filter);
    // The page header: the report's name centred in bold, the project and ownership lines
    // under it.
    static const QString &pageTitle();
    static QString pageHeader(const OwnershipFilter &filter);

    GridPrinter &printer();
    void preview(QWidget *parent);
    // The pages on the current printer without a dialog; false when it cannot be used.
    bool print();
    void printToPdf(const QString &path);

    // Tests receive the preview's zoom and the printer instead of a preview dialog.
    using PreviewHook = std::function<void(GridPrinter &printer, double zoom)>;
    void setPreviewHook(PreviewHook hook) { previewHook_ = std::move(hook); }
    using PrintHook = std::function<void(GridPrinter &printer)>;
    void setPrintHook(PrintHook hook) { printHook_ = std::move(hook); }

private:
    GF1PrintModel model_;
    std::unique_ptr<GridPrinter> printer_;
    PreviewHook previewHook_;
    PrintHook printHook_;
};

} // namespace dx
