// A grid laid out on printed pages: the page header (a list's heading), the column titles
// repeated on every page (two-line titles as the grid draws them), the rows with thin
// cell lines, and a footer with a text on the left and the page number on the right.
// Columns get the width their texts need and are fitted to the page width: a narrow grid
// is widened to the page, a wide one has its long texts wrapped and, when that is not
// enough, is drawn smaller. Paints on any paged device (a printer, a PDF writer); the
// printer dialogs and the preview are in the window layer (GuiGridPrinter). Needs a
// QGuiApplication for its fonts.
#pragma once

#include <QFont>
#include <QList>
#include <QPageLayout>
#include <QString>

class QAbstractItemModel;
class QPagedPaintDevice;

namespace dx {

struct GridPrintOptions {
    GridPrintOptions();

    QString title;        // above the header on every page, centred in bold; wrapped like it
    QString header;       // left page header on every page; line breaks kept, long lines wrapped
    QString footerLeft;   // left page footer, e.g. the maker's contact line
    QString footerRight;  // right page footer; "&[Page]" and "&[Pages]" become the numbers
    // Page size, orientation and margins; landscape A4 with 2 mm margins unless changed.
    QPageLayout pageLayout;
    QFont headerFont;     // page header and footer (8 pt)
    QFont gridFont;       // titles and cells (8 pt)
    bool stretchToWidth = true;  // widen a grid narrower than the page to its full width
};

// The right footer text of one page: "&[Page]" and "&[Pages]" replaced by the numbers.
QString pageFooterText(const QString &pattern, int page, int pages);

class GridPrintout {
public:
    // `columns` are model columns in the order printed.
    GridPrintout(const QAbstractItemModel &model, QList<int> columns,
                 GridPrintOptions options = GridPrintOptions());

    GridPrintOptions &options() { return options_; }
    const GridPrintOptions &options() const { return options_; }

    // How the grid fits on pages of `layout`, in points: the printed columns' widths before
    // scaling, the scale the grid is drawn at (1 unless too wide) and the width it fills.
    struct Fit {
        QList<double> widths;
        double scale = 1;
        double pageWidth = 0;
    };
    Fit fit(const QPageLayout &layout) const;
    int pageCount(const QPageLayout &layout) const;

    // Paints all pages on `device`, using the device's own page layout. False when the
    // device cannot be painted on.
    bool paint(QPagedPaintDevice &device) const;
    // The pages as a PDF file, on the options' page layout. An older file is replaced only
    // by a complete new one. Throws FileWriteError naming the file and the reason.
    void writePdf(const QString &path) const;

private:
    struct Layout;
    Layout layOut(double pageWidth, double pageHeight) const;

    const QAbstractItemModel &model_;
    QList<int> columns_;
    GridPrintOptions options_;
};

} // namespace dx
