// The grid printer of the list windows: a grid's visible columns (in the order the user
// sees them) and all its rows printed through Qt's printing, with the print dialog and a
// real print preview. The pages themselves are laid out by GridPrintout; this class puts
// them on a printer. Landscape A4 with 2 mm margins unless the options say otherwise.
#pragma once

#include "core/GridModel.h"
#include "lists/GridPrintout.h"

#include <QStandardItemModel>

class QAbstractItemView;
class QPrinter;
class QWidget;

namespace dx {

class GridPrinter {
public:
    // The columns `view` shows, in its header's order, and every row of its model (a
    // model that fills itself lazily is filled first). A view without a model prints an
    // empty grid.
    explicit GridPrinter(QAbstractItemView *view);
    // The given columns of `model` (every column without a list).
    explicit GridPrinter(const QAbstractItemModel &model, const GridColumnList &columns = std::nullopt);

    GridPrintOptions &options() { return printout_.options(); }
    const GridPrintOptions &options() const { return printout_.options(); }
    // The page header: the list's heading, its line breaks kept.
    void setHeader(const QString &text) { options().header = text; }
    void setFooterLeft(const QString &text) { options().footerLeft = text; }
    // The right footer; "&[Page]" and "&[Pages]" become the page number and the count.
    void setFooterRight(const QString &text) { options().footerRight = text; }
    void setOrientation(QPageLayout::Orientation orientation) { options().pageLayout.setOrientation(orientation); }

    // Gives `printer` the options' page size, orientation and margins.
    void setUpPrinter(QPrinter *printer) const;
    // Paints every page on `printer` as it is set up (see setUpPrinter). False when the
    // printer cannot be painted on.
    bool print(QPrinter *printer) const;
    int pageCount(const QPageLayout &layout) const { return printout_.pageCount(layout); }
    // Qt's print preview of the pages; the user may print from it.
    void preview(QWidget *parent) const;
    // The print dialog, then the pages on the printer chosen; false when cancelled or
    // when the printer cannot be painted on.
    bool printWithDialog(QWidget *parent) const;
    // The pages as a PDF file. Throws FileWriteError naming the file and the reason.
    void printToPdf(const QString &path) const { printout_.writePdf(path); }

private:
    QStandardItemModel empty_;  // the model of a view without one
    GridPrintout printout_;
};

} // namespace dx
