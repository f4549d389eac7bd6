// The grid printer on Qt's printers: page setup, the print dialog and the preview.
#include "widgets/GuiGridPrinter.h"

#include "core/GridModel.h"
#include "widgets/GuiGridHelpers.h"

#include <QAbstractItemView>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace dx {

GridPrinter::GridPrinter(QAbstractItemView *view)
    : printout_(wholeModel(view, empty_), visibleGridColumns(view))
{
}

GridPrinter::GridPrinter(const QAbstractItemModel &model, const GridColumnList &columns)
    : printout_(model, gridColumnsToWalk(model, columns))
{
}

void GridPrinter::setUpPrinter(QPrinter *printer) const
{
    printer->setPageLayout(options().pageLayout);
}

bool GridPrinter::print(QPrinter *printer) const
{
    return printout_.paint(*printer);
}

void GridPrinter::preview(QWidget *parent) const
{
    QPrinter printer(QPrinter::HighResolution);
    setUpPrinter(&printer);
    QPrintPreviewDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("Изглед преди печат"));
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [this](QPrinter *target) { print(target); });
    // Pages are read on screen: give the preview most of it.
    if (QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
        dialog.resize(screen->availableSize() * 4 / 5);
    dialog.exec();
}

bool GridPrinter::printWithDialog(QWidget *parent) const
{
    QPrinter printer(QPrinter::HighResolution);
    setUpPrinter(&printer);
    QPrintDialog dialog(&printer, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    return print(&printer);
}

} // namespace dx
