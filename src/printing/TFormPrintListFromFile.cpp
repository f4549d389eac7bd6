// The list print window.
#include "printing/TFormPrintListFromFile.h"

#include "core/Quoting.h"
#include "printing/PrintList.h"
#include "printing/TFormPrintProgress.h"
#include "printing/TFormPrintSet.h"
#include "printing/TwoSidedRun.h"
#include "widgets/GuiReportPrinter.h"
#include "widgets/WindowContext.h"

#include <QAbstractTableModel>
#include <QCheckBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QShowEvent>
#include <QTableView>
#include <QVBoxLayout>

namespace dx {

// The loaded list as the grid shows it, without a cell object per entry (lists run to
// a hundred thousand lines).
class PrintListModel : public QAbstractTableModel {
public:
    explicit PrintListModel(QObject *parent) : QAbstractTableModel(parent) {}
    void setEntries(const QVector<RangeEntry> *entries)
    {
        beginResetModel();
        entries_ = entries;
        endResetModel();
    }
    int rowCount(const QModelIndex &parent) const override
    {
        return parent.isValid() || !entries_ ? 0 : int(entries_->size());
    }
    int columnCount(const QModelIndex &parent) const override { return parent.isValid() ? 0 : 3; }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role != Qt::DisplayRole || !entries_) return {};
        const RangeEntry &e = (*entries_)[index.row()];
        switch (index.column()) {
        case 0: return QString::number(index.row() + 1);
        case 1: return QString::number(e.otd);
        default: return e.podotd;
        }
    }
    QVariant headerData(int section, Qt::Orientation o, int role) const override
    {
        if (o != Qt::Horizontal || role != Qt::DisplayRole) return {};
        const char *titles[] = {"   ", "отдел", "подотдел"};
        return QString::fromUtf8(titles[section]);
    }

private:
    const QVector<RangeEntry> *entries_ = nullptr;
};

namespace {

QPushButton *plainButton(const QString &text)
{
    auto *b = new QPushButton(text);
    b->setAutoDefault(false);
    return b;
}

QLineEdit *numberField()
{
    auto *f = new QLineEdit;
    f->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), f));
    return f;
}

} // namespace

TFormPrintListFromFile::TFormPrintListFromFile(WindowContext &c)
    : TFormWindow(QStringLiteral("Поточен печат на описания от списък"), c.owner()), context_(c)
{
    auto *outer = new QHBoxLayout(this);
    auto *left = new QVBoxLayout;
    outer->addLayout(left);

    auto *listBox = new QGroupBox(QStringLiteral(" Списък "));
    auto *listRow = new QHBoxLayout(listBox);
    path_ = new QLineEdit;
    browse_ = plainButton(QStringLiteral("..."));
    listRow->addWidget(path_);
    listRow->addWidget(browse_);
    left->addWidget(listBox);

    auto *sepRow = new QHBoxLayout;
    sepRow->addWidget(new QLabel(QStringLiteral("разделител")));
    separator_ = new QLineEdit(QStringLiteral(";"));
    separator_->setMaxLength(1);
    separator_->setMaximumWidth(30);
    help_ = plainButton(QStringLiteral("?"));
    sepRow->addWidget(separator_);
    sepRow->addWidget(help_);
    sepRow->addStretch();
    left->addLayout(sepRow);

    auto *stretchRow = new QHBoxLayout;
    stretch_ = new QRadioButton(QStringLiteral("печат от"));
    stretch_->setChecked(true);
    from_ = numberField();
    to_ = numberField();
    stretchRow->addWidget(stretch_);
    stretchRow->addWidget(from_);
    stretchRow->addWidget(new QLabel(QStringLiteral("до")));
    stretchRow->addWidget(to_);
    left->addLayout(stretchRow);
    all_ = new QRadioButton(QStringLiteral("печат на всички подотдели от списъка"));
    left->addWidget(all_);

    twoSided_ = new QGroupBox(QStringLiteral("двустранен печат (ръчно обръщане)"));
    twoSided_->setCheckable(true);
    twoSided_->setChecked(false);
    auto *sides = new QVBoxLayout(twoSided_);
    fromList_ = new QRadioButton(QStringLiteral("лице-гръб от списъка"));
    fromOtdel_ = new QRadioButton(QStringLiteral("лице-гръб от отдела (по проект)"));
    fromList_->setChecked(true);
    sides->addWidget(fromList_);
    sides->addWidget(fromOtdel_);
    left->addWidget(twoSided_);
    branches_ = new QCheckBox(QStringLiteral("запас и ползване с клони"));
    left->addWidget(branches_);

    auto *buttons = new QHBoxLayout;
    print_ = plainButton(QStringLiteral("Печат"));
    printer_ = plainButton(QStringLiteral("Принтер"));
    cancel_ = plainButton(QStringLiteral("Отказ"));
    for (QPushButton *b : {print_, printer_, cancel_}) buttons->addWidget(b);
    left->addLayout(buttons);
    left->addStretch();

    auto *right = new QVBoxLayout;
    grid_ = new QTableView;
    model_ = new PrintListModel(grid_);
    model_->setEntries(&entries_);
    grid_->setModel(model_);
    grid_->verticalHeader()->hide();
    grid_->setColumnWidth(0, 35);
    grid_->setColumnWidth(1, 50);
    grid_->setColumnWidth(2, 60);
    right->addWidget(grid_);
    status_ = new QLabel(QStringLiteral("брой подотдели: 0"));
    right->addWidget(status_);
    outer->addLayout(right);

    connect(browse_, &QPushButton::clicked, this, [this] { BrowseClick(); });
    connect(help_, &QPushButton::clicked, this, [this] { context_.showMessage(separatorHelpMessage()); });
    connect(stretch_, &QRadioButton::toggled, this, [this] { optionsChanged(); });
    connect(from_, &QLineEdit::textChanged, this, [this] { optionsChanged(); });
    connect(to_, &QLineEdit::textChanged, this, [this] { optionsChanged(); });
    connect(twoSided_, &QGroupBox::toggled, this, [this](bool on) {
        fromList_->setEnabled(on);
        fromOtdel_->setEnabled(on);
    });
    connect(branches_, &QCheckBox::toggled, this, [this](bool on) { context_.state().settings.rangePrint.branches = on; });
    connect(print_, &QPushButton::clicked, this, [this] { BitBtnPrintClick(); });
    connect(printer_, &QPushButton::clicked, this, [this] {
        if (auto *w = context_.windows().get<TFormPrintSet>()) w->show();
    });
    connect(cancel_, &QPushButton::clicked, this, [this] { close(); });
    choose_ = [this] {
        return QFileDialog::getOpenFileName(this, QString(), QString(),
                                            QStringLiteral("Text file (*.txt);;All Files (*)"));
    };
    confirm_ = [this](const QString &caption, const QString &question) {
        return QMessageBox::question(this, caption, question, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    };
    optionsChanged();
}

void TFormPrintListFromFile::showEvent(QShowEvent *event)
{
    if (!event->spontaneous()) branches_->setChecked(context_.state().settings.rangePrint.branches);
    TFormWindow::showEvent(event);
}

void TFormPrintListFromFile::hideEvent(QHideEvent *event)
{
    if (!event->spontaneous()) {
        try {
            writeBranches(context_.state().settingsPath(), context_.state().settings.rangePrint.branches);
        } catch (const std::exception &e) {
            context_.showMessage({plainCaption(), QStringLiteral("Настройките не могат да бъдат записани."),
                                  UserMessage::Icon::Error, QString::fromUtf8(e.what())});
        }
    }
    TFormWindow::hideEvent(event);
}

void TFormPrintListFromFile::optionsChanged()
{
    const bool stretch = stretch_->isChecked();
    for (QLineEdit *f : {from_, to_}) {
        f->setEnabled(stretch);
        // White while the fields are in use, grey when "всички" takes them out of use.
        f->setStyleSheet(stretch ? QStringLiteral("background: white") : QStringLiteral("background: lightgray"));
    }
    print_->setEnabled(!stretch || (!from_->text().isEmpty() && !to_->text().isEmpty()));
}

void TFormPrintListFromFile::BrowseClick()
{
    const QString path = choose_ ? choose_() : QString();
    if (path.isEmpty()) return;
    path_->setText(path);
    loadList(path);
}

void TFormPrintListFromFile::loadList(const QString &path)
{
    std::optional<PrintListFile> list =
        loadPrintList(path, separator_->text(), [this](const UserMessage &m) { context_.showMessage(m); });
    if (!list) return;
    entries_ = list->entries;
    model_->setEntries(&entries_);
    status_->setText(QStringLiteral("брой подотдели: %1").arg(entries_.size()));
}

void TFormPrintListFromFile::BitBtnPrintClick()
{
    auto report = [this](const UserMessage &m) { context_.showMessage(m); };
    Stretch s{1, int(entries_.size())};
    if (stretch_->isChecked()) {
        const std::optional<int> from = wholeNumber(from_->text()), to = wholeNumber(to_->text());
        if (!from || !to) return;
        std::optional<Stretch> chosen = selectStretch(int(entries_.size()), *from, *to, report);
        if (!chosen) return;
        s = *chosen;
        from_->setText(QString::number(s.from));
        to_->setText(QString::number(s.to));
    } else if (entries_.isEmpty()) {
        return;
    }
    if (!ReportPrinter::instance().ready()) {
        context_.showMessage(printerFailedMessage());
        return;
    }
    const QVector<RangeEntry> stretch = entries_.mid(s.from - 1, s.count());
    if (twoSided_->isChecked()) PrintTwoSidedFromOtdel(stretch);
    else PrintOneSided(stretch);
}

namespace {

PrintRunOptions runOptions(WindowContext &c, bool *stop, TFormPrintProgress *progress, int total)
{
    PrintRunOptions o;
    o.stop = stop;
    o.report = [&c](const UserMessage &m) { c.showMessage(m); };
    o.progress = [progress, total](int done) {
        if (progress) progress->step(printProgressLabel(done, total), printProgressTitle(done, total), done);
    };
    return o;
}

} // namespace

void TFormPrintListFromFile::PrintOneSided(const QVector<RangeEntry> &stretch)
{
    const int count = int(stretch.size());
    if (!confirm_(QStringLiteral("Печат описания"), printDescriptionsQuestion(count))) return;
    auto *progress = context_.windows().get<TFormPrintProgress>();
    if (progress) progress->start(printProgressLabel(0, count), printProgressTitle(0, count), count, &stop_);
    else stop_ = false;
    DescriptionComposer composer(context_.state());
    composer.setWithBranches(branches_->isChecked());
    std::unique_ptr<PageSink> sink = ReportPrinter::instance().jobSink();
    const PrintRunResult r = printDescriptions(context_.state(), composer, stretch, *sink,
                                               runOptions(context_, &stop_, progress, count));
    if (progress) progress->finish();
    if (r.failed) context_.showMessage(printerFailedMessage());
}

void TFormPrintListFromFile::PrintTwoSidedFromOtdel(const QVector<RangeEntry> &stretch)
{
    const int count = int(stretch.size());
    if (!confirm_(QStringLiteral("Печат описания - лице"), printDescriptionsQuestion(2 * count))) return;
    auto *progress = context_.windows().get<TFormPrintProgress>();
    if (progress) progress->start(printProgressLabel(0, count), printProgressTitle(0, count), count, &stop_);
    else stop_ = false;
    DescriptionComposer composer(context_.state());
    composer.setWithBranches(branches_->isChecked());
    std::unique_ptr<PageSink> sink = ReportPrinter::instance().jobSink();
    auto confirmBack = [&](int n) {
        if (!confirm_(QStringLiteral("Печат описания - гръб"), printDescriptionsQuestion(n))) return false;
        // The back pass counts from 0 again; the stop flag stays as "Отказ" left it.
        if (progress) progress->step(printProgressLabel(0, n), printProgressTitle(0, n), 0);
        return true;
    };
    const PrintRunResult r =
        printListTwoSided(context_.state(), composer, stretch, *sink, runOptions(context_, &stop_, progress, count),
                          confirmBack, [this](const UserMessage &m) { context_.showMessage(m); });
    if (progress) progress->finish();
    if (r.failed) context_.showMessage(printerFailedMessage());
}

} // namespace dx
