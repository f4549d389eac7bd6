// The window of the lists of cuttings and of afforestation measures.
#include "lists/TFormSpisatziSechi.h"

#include "core/AppState.h"
#include "core/GridModel.h"
#include "core/SafeFileWrite.h"
#include "lists/RtfWriter.h"
#include "lists/SpreadsheetWriter.h"
#include "widgets/GuiGridHeader.h"
#include "widgets/GuiGridHelpers.h"
#include "widgets/GuiGridPrinter.h"
#include "widgets/WindowContext.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFont>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QPalette>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QVBoxLayout>

namespace dx {

namespace {

const QString kFileFilters[] = {QStringLiteral("Microsoft Excel (*.xlsx)"), QStringLiteral("Rich Text Format (*.rtf)")};

// The list's grid model: the shaded columns filled with the light 3-D colour and the
// bold titles drawn bold, on the grid as on the printed page.
class SechiGridModel : public DataGridModel {
public:
    using DataGridModel::DataGridModel;

    void setLook(QList<int> shaded, QList<int> bold)
    {
        shaded_ = std::move(shaded);
        bold_ = std::move(bold);
    }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role == Qt::BackgroundRole && index.isValid() && shaded_.contains(index.column()))
            return QApplication::palette().color(QPalette::Midlight);
        return DataGridModel::data(index, role);
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (role == Qt::FontRole && orientation == Qt::Horizontal && bold_.contains(section)) {
            QFont f = QApplication::font();
            f.setBold(true);
            return f;
        }
        return DataGridModel::headerData(section, orientation, role);
    }

private:
    QList<int> shaded_, bold_;
};

} // namespace

TFormSpisatziSechi::TFormSpisatziSechi(WindowContext &context)
    : TFormWindow(sechiCaption(SechiMode::Cuttings), context.owner()), context_(context)
{
    setObjectName(QStringLiteral("FormSpisatziSechi"));
    setWindowFlag(Qt::WindowMinMaxButtonsHint, true);
    setMinimumSize(505, 300);
    resize(640, 480);

    auto *menuBar = new QMenuBar(this);
    QMenu *file = menuBar->addMenu(QStringLiteral("Файл"));
    file->addAction(QStringLiteral("Запиши резултата като..."), this, &TFormSpisatziSechi::N4Click);
    file->addAction(QStringLiteral("Копирай"), this, &TFormSpisatziSechi::N1Click);
    file->addSeparator();
    file->addAction(QStringLiteral("Изглед преди печат"), this, &TFormSpisatziSechi::N7Click);
    file->addAction(QStringLiteral("Печат"));  // no action, as it has always been
    file->addSeparator();
    file->addAction(QStringLiteral("Изход"), this, &TFormSpisatziSechi::close);

    auto *attributeLabel = new QLabel(QStringLiteral("показател:"));
    auto *valueLabel = new QLabel(QStringLiteral("стойност:"));
    attributeLabel->setEnabled(false);
    valueLabel->setEnabled(false);
    attribute_ = new QComboBox;
    attribute_->setObjectName(QStringLiteral("ComboBox1"));
    attribute_->setMinimumContentsLength(18);
    value_ = new QComboBox;
    value_->setObjectName(QStringLiteral("ComboBox2"));
    value_->setMinimumContentsLength(14);
    value_->setEnabled(false);
    ok_ = new QPushButton(QStringLiteral("Ok"));
    ok_->setObjectName(QStringLiteral("BitBtn1"));
    copy_ = new QPushButton(QStringLiteral("Копирай"));
    copy_->setObjectName(QStringLiteral("BitBtn2"));
    copy_->setEnabled(false);
    connect(attribute_, &QComboBox::currentIndexChanged, this, [this] { ComboBox1Change(); });
    connect(ok_, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(copy_, &QPushButton::clicked, this, [this] { N1Click(); });

    auto *top = new QHBoxLayout;
    top->setContentsMargins(6, 6, 6, 6);
    top->addWidget(attributeLabel);
    top->addWidget(attribute_, 1);
    top->addWidget(valueLabel);
    top->addWidget(value_, 1);
    top->addWidget(ok_);
    top->addWidget(copy_);

    model_ = new SechiGridModel(this);
    grid_ = makeReadOnlyGrid(model_);
    grid_->setParent(this);
    grid_->setObjectName(QStringLiteral("DBGridEh1"));

    auto *statusBar = new QStatusBar;
    statusBar->setSizeGripEnabled(false);
    status_ = new QLabel;
    statusBar->addWidget(status_, 1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(menuBar);
    layout->addLayout(top);
    layout->addWidget(grid_, 1);
    layout->addWidget(statusBar);

    openList(1);
}

void TFormSpisatziSechi::openList(int mode)
{
    const SechiMode next = mode == 2 ? SechiMode::Measures : SechiMode::Cuttings;
    // The other list's rows would stand under this list's caption: they go.
    if (next != mode_) clearList();
    mode_ = next;
    setWindowTitle(sechiCaption(mode_));
    {
        const QSignalBlocker block(attribute_);
        attribute_->clear();
        attribute_->addItem(kSechiAllAttributes);
        for (const SechiAttribute &a : sechiAttributes()) attribute_->addItem(a.label);
        attribute_->setCurrentIndex(0);
    }
    value_->clear();
    value_->setEnabled(false);
}

QString TFormSpisatziSechi::statusText() const
{
    return status_->text();
}

SechiLists TFormSpisatziSechi::lists()
{
    AppState &s = context_.state();
    return SechiLists(s.db, s.projectTablePath, s.landArea);
}

SechiFilter TFormSpisatziSechi::currentFilter() const
{
    SechiFilter f;
    f.attribute = std::max(0, attribute_->currentIndex());
    if (f.attribute > 0) f.value = value_->currentText();
    return f;
}

void TFormSpisatziSechi::ComboBox1Change()
{
    value_->clear();
    const int attribute = attribute_->currentIndex();
    if (attribute <= 0) {
        value_->setEnabled(false);
        return;
    }
    value_->setEnabled(true);
    value_->addItems(lists().attributeValues(attribute));
    if (value_->count() > 0) value_->setCurrentIndex(0);
}

void TFormSpisatziSechi::BitBtn1Click()
{
    const SechiFilter filter = currentFilter();
    SechiList list = lists().build(mode_, filter);
    // A failing statement closes the list; no message.
    if (!list.built) {
        clearList();
        return;
    }
    showList(std::move(list), filter);
}

void TFormSpisatziSechi::showList(SechiList list, const SechiFilter &filter)
{
    list_ = std::move(list);
    listFilter_ = filter;
    const AppState &s = context_.state();
    heading_ = sechiListHeading(mode_, s.title, s.year, filter);
    auto *model = static_cast<SechiGridModel *>(model_);
    model->setLook(list_.shadedColumns, list_.boldTitles);
    model->setColumns(list_.columns);
    model->setRows(list_.rows);
    if (mode_ == SechiMode::Measures) {
        // Eight pixels a character of the title, or what the title needs in a larger font.
        QHeaderView *header = grid_->horizontalHeader();
        for (int c = 0; c < model_->columnCount(); ++c)
            grid_->setColumnWidth(c, std::max(8 * model_->column(c).width, header->sectionSizeHint(c)));
    } else {
        grid_->resizeColumnsToContents();
    }
    status_->setText(sechiStatusText(list_.rowCount(), list_.area));
    copy_->setEnabled(list_.rowCount() > 0);
    if (list_.rowCount() > 0) grid_->selectRow(0);
}

void TFormSpisatziSechi::clearList()
{
    list_ = SechiList();
    listFilter_ = SechiFilter();
    heading_.clear();
    model_->clearRows();
    model_->setColumns({});
    status_->clear();
    copy_->setEnabled(false);
}

void TFormSpisatziSechi::N1Click()
{
    const AppState &s = context_.state();
    const QString heading = sechiCopyHeading(windowTitle(), s.title, s.year, listFilter_, status_->text());
    CopyGridToClipboard(grid_, true, heading);
    if (model_->rowCount() > 0) grid_->selectRow(0);
}

std::optional<TFormSpisatziSechi::FileChoice> TFormSpisatziSechi::chooseFile()
{
    if (fileHook_) return fileHook_();
    QFileDialog dialog(this, QStringLiteral("Запиши резултата като"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    const QStringList filters(std::begin(kFileFilters), std::end(kFileFilters));
    dialog.setNameFilters(filters);
    dialog.setDirectory(lastDir_.isEmpty() ? context_.state().programDir : lastDir_);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    lastDir_ = dialog.directory().absolutePath();
    return FileChoice{dialog.selectedFiles().front(), std::max(0, int(filters.indexOf(dialog.selectedNameFilter())))};
}

void TFormSpisatziSechi::N4Click()
{
    const std::optional<FileChoice> chosen = chooseFile();
    if (!chosen || chosen->path.isEmpty()) return;
    const QList<int> columns = visibleGridColumns(grid_);
    const QString path = chosen->filter == 1 ? rtfFileName(chosen->path) : xlsxFileName(chosen->path);
    try {
        if (chosen->filter == 1) SaveGridRtf(*model_, columns, path, windowTitle());
        else SaveGridXlsx(*model_, columns, path, windowTitle());
    } catch (const FileWriteError &e) {
        context_.showMessage({windowTitle(), QStringLiteral("Списъкът не е записан във файла %1.").arg(path),
                              UserMessage::Icon::Error, e.reason()});
    }
}

void TFormSpisatziSechi::N7Click()
{
    GridPrinter printer(grid_);
    printer.setHeader(heading_);
    printer.setFooterLeft(context_.state().contactLine);
    if (printHook_) {
        printHook_(printer);
        return;
    }
    printer.preview(this);
}

void TFormSpisatziSechi::closeEvent(QCloseEvent *event)
{
    clearList();
    TFormWindow::closeEvent(event);
}

} // namespace dx
