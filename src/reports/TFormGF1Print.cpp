// The printed form of forest fund report 1 on the grid printer.
#include "reports/TFormGF1Print.h"

#include "widgets/GuiGridPrinter.h"
#include "widgets/WindowContext.h"

#include <QGuiApplication>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScreen>
#include <QTimer>

namespace dx {
namespace {

const QString kReportTitle = QStringLiteral("Dendrix - ОГФ 1");

const QString kPrintedTitles[] = {
    QStringLiteral("вид на земите"),      QStringLiteral("хектари|иглолистни"), QStringLiteral("хектари|шир.висок"),
    QStringLiteral("хектари|реконстр."),  QStringLiteral("хектари|изд. за пр."), QStringLiteral("хектари|нискостъб."),
    QStringLiteral("хектари|всичко"),
};

} // namespace

QVariant GF1PrintModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < 7)
        return kPrintedTitles[section];
    return QIdentityProxyModel::headerData(section, orientation, role);
}

QVariant GF1PrintModel::data(const QModelIndex &index, int role) const
{
    if (role == Qt::TextAlignmentRole && index.column() > 0) return int(Qt::AlignCenter);
    return QIdentityProxyModel::data(index, role);
}

TFormGF1Print::TFormGF1Print(WindowContext &context) : TFormWindow(QString(), context.owner()) {}

TFormGF1Print::~TFormGF1Print() = default;

const QString &TFormGF1Print::pageTitle()
{
    static const QString title =
        QStringLiteral("ОГФ 1 - Отчет за разпределение на общата горска площ по вид на горите");
    return title;
}

QString TFormGF1Print::pageHeader(const OwnershipFilter &filter)
{
    return filter.projectHeading + QLatin1Char('\n') + filter.ownershipLine();
}

void TFormGF1Print::setReport(QAbstractItemModel *model, const OwnershipFilter &filter)
{
    printer_.reset();
    model_.setSourceModel(model);
    printer_ = std::make_unique<GridPrinter>(model_);
    printer_->options().title = pageTitle();
    printer_->setHeader(pageHeader(filter));
    printer_->setOrientation(QPageLayout::Portrait);
    printer_->options().pageLayout.setMargins(QMarginsF(10, 10, 10, 10));
    printer_->options().stretchToWidth = true;
}

GridPrinter &TFormGF1Print::printer()
{
    if (!printer_) printer_ = std::make_unique<GridPrinter>(model_);
    return *printer_;
}

void TFormGF1Print::preview(QWidget *parent)
{
    GridPrinter &grid = printer();
    if (previewHook_) {
        previewHook_(grid, 1.0);
        return;
    }
    QPrinter target(QPrinter::HighResolution);
    target.setDocName(kReportTitle);
    grid.setUpPrinter(&target);
    QPrintPreviewDialog dialog(&target, parent);
    dialog.setWindowTitle(QStringLiteral("Изглед преди печат"));
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&grid](QPrinter *p) { grid.print(p); });
    if (QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
        dialog.resize(screen->availableSize() * 4 / 5);
    // The preview opens at 100 % (set again once shown, where the dialog fits the page).
    if (auto *view = dialog.findChild<QPrintPreviewWidget *>()) {
        view->setZoomFactor(1.0);
        QTimer::singleShot(0, view, [view] { view->setZoomFactor(1.0); });
    }
    dialog.exec();
}

bool TFormGF1Print::print()
{
    GridPrinter &grid = printer();
    if (printHook_) {
        printHook_(grid);
        return true;
    }
    if (QPrinterInfo::defaultPrinter().isNull()) return false;
    QPrinter target(QPrinter::HighResolution);
    target.setDocName(kReportTitle);
    grid.setUpPrinter(&target);
    return grid.print(&target);
}

void TFormGF1Print::printToPdf(const QString &path)
{
    printer().printToPdf(path);
}

} // namespace dx
