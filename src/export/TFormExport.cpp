// The export window: its tabs, their enabling rules and file choices, and the runs.
#include "export/TFormExport.h"

#include "core/QtText.h"
#include "core/Quoting.h"
#include "widgets/WindowContext.h"

#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QShowEvent>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace dx {
namespace {

const char *const kPartNames[16] = {"ст. клас", "вид гори", "функция", "собственост", "землище", "положение",
                                    "почва", "тип месторатене", "бъдещ състав", "сегашен състав", "вид сеч",
                                    "залесяване", "насоки", "почвоподготовка", "схема, строеж..", "повреди"};

QString caption() { return QStringLiteral("Експорт на описания"); }

QPushButton *plainButton(const QString &text)
{
    auto *b = new QPushButton(text);
    b->setAutoDefault(false);
    return b;
}

QLineEdit *shortField(bool digits)
{
    auto *f = new QLineEdit;
    f->setMaxLength(4);
    if (digits) f->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), f));
    return f;
}

void setFieldEnabled(QLineEdit *f, bool on)
{
    f->setEnabled(on);
    f->setBackgroundRole(on ? QPalette::Base : QPalette::Window);
}

const QString kText = QStringLiteral(".txt");
const QString kWord = QStringLiteral(".docx");

QString textFilter() { return QStringLiteral("Текстов файл (*.txt)"); }
QString wordFilter() { return QStringLiteral("Word Document (*.docx)"); }

} // namespace

TFormExport::TFormExport(WindowContext &c) : TFormWindow(caption(), c.owner()), context_(c)
{
    auto *box = new QVBoxLayout(this);
    tabs_ = new QTabWidget;
    const QStringList names = {QStringLiteral("подотдели"), QStringLiteral("отдели"), QStringLiteral("списък"),
                               QStringLiteral("настройки")};
    for (const QString &n : names) tabs_->addTab(new QWidget, n);
    buildSubCompartmentsTab(tabs_->widget(SubCompartments));
    buildCompartmentsTab(tabs_->widget(Compartments));
    buildListTab(tabs_->widget(List));
    buildSettingsTab(tabs_->widget(Settings));
    box->addWidget(tabs_);

    auto *format = new QGroupBox(QStringLiteral(" Формат "));
    auto *formatBox = new QHBoxLayout(format);
    text_ = new QRadioButton(QStringLiteral("Текстов файл"));
    word_ = new QRadioButton(QStringLiteral("Word Document "));
    pdf_ = new QRadioButton(QStringLiteral("Adobe PDF"));
    pdf_->setEnabled(false);
    text_->setChecked(true);
    for (QRadioButton *r : {text_, word_, pdf_}) formatBox->addWidget(r);
    box->addWidget(format);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    export_ = plainButton(QStringLiteral("Експорт"));
    cancel_ = plainButton(QStringLiteral("Отказ"));
    buttons->addWidget(export_);
    buttons->addWidget(cancel_);
    box->addLayout(buttons);

    connect(tabs_, &QTabWidget::currentChanged, this, [this](int t) { tabChanged(t); });
    connect(text_, &QRadioButton::clicked, this, [this] { formatClick(); });
    connect(word_, &QRadioButton::clicked, this, [this] { formatClick(); });
    connect(export_, &QPushButton::clicked, this, [this] { BitBtnExportClick(); });
    connect(cancel_, &QPushButton::clicked, this, [this] { close(); });
    chooser_ = [this](const FileDialogRequest &r) {
        QFileDialog d(this);
        d.setAcceptMode(r.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        d.setFileMode(r.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        d.setNameFilter(r.filter);
        d.setDefaultSuffix(r.suffix);
        if (!r.proposed.isEmpty()) d.selectFile(r.proposed);
        return d.exec() == QDialog::Accepted && !d.selectedFiles().isEmpty() ? d.selectedFiles().first() : QString();
    };
    updateExport();
}

QWidget *TFormExport::outputGroup(int tab, const QString &groupCaption)
{
    auto *g = new QGroupBox(groupCaption);
    auto *row = new QHBoxLayout(g);
    paths_[size_t(tab)] = new QLineEdit;
    browse_[size_t(tab)] = plainButton(QStringLiteral("..."));
    row->addWidget(paths_[size_t(tab)]);
    row->addWidget(browse_[size_t(tab)]);
    connect(paths_[size_t(tab)], &QLineEdit::textChanged, this, [this] { updateExport(); });
    connect(browse_[size_t(tab)], &QPushButton::clicked, this, [this, tab] { browseClick(tab); });
    return g;
}

void TFormExport::buildSubCompartmentsTab(QWidget *page)
{
    auto *grid = new QGridLayout(page);
    optPod_ = new QRadioButton(QStringLiteral("подотдел"));
    optSheet_ = new QRadioButton(QStringLiteral("предотделен лист"));
    optPod_->setChecked(true);
    otd_ = shortField(true);
    pod_ = shortField(false);
    sheetOtd_ = shortField(true);
    setFieldEnabled(sheetOtd_, false);
    grid->addWidget(optPod_, 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("отдел")), 0, 1);
    grid->addWidget(otd_, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("подотдел")), 0, 3);
    grid->addWidget(pod_, 0, 4);
    grid->addWidget(optSheet_, 1, 0);
    grid->addWidget(new QLabel(QStringLiteral("отдел")), 1, 1);
    grid->addWidget(sheetOtd_, 1, 2);
    seeAll_ = plainButton(QStringLiteral("виж всички подотдели за отдела"));
    seeAll_->setFlat(true);
    grid->addWidget(seeAll_, 2, 0, 1, 5);
    grid->addWidget(outputGroup(SubCompartments, QStringLiteral("Изходен файл")), 3, 0, 1, 5);
    grid->setRowStretch(4, 1);
    for (QLineEdit *f : {otd_, pod_, sheetOtd_}) connect(f, &QLineEdit::textChanged, this, [this] { updateExport(); });
    connect(optPod_, &QRadioButton::clicked, this, [this] { subOptionClick(); });
    connect(optSheet_, &QRadioButton::clicked, this, [this] { subOptionClick(); });
    connect(seeAll_, &QPushButton::clicked, this, [this] { seeAllClick(); });
}

void TFormExport::buildCompartmentsTab(QWidget *page)
{
    auto *grid = new QGridLayout(page);
    from_ = shortField(true);
    to_ = shortField(true);
    grid->addWidget(new QLabel(QStringLiteral("Oт отдел")), 0, 0);
    grid->addWidget(from_, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("До")), 0, 2);
    grid->addWidget(to_, 0, 3);
    all_ = new QCheckBox(QStringLiteral("всички описания"));
    sheets_ = new QCheckBox(QStringLiteral("предотделен лист"));
    sheetsOnly_ = new QCheckBox(QStringLiteral("само предотделени листове"));
    grid->addWidget(all_, 1, 0, 1, 4);
    grid->addWidget(sheets_, 2, 0, 1, 4);
    grid->addWidget(sheetsOnly_, 3, 0, 1, 4);
    grid->addWidget(outputGroup(Compartments, QStringLiteral("Изходен файл")), 4, 0, 1, 4);
    grid->setRowStretch(5, 1);
    for (QLineEdit *f : {from_, to_}) connect(f, &QLineEdit::textChanged, this, [this] { updateExport(); });
    connect(all_, &QCheckBox::clicked, this, [this] { CheckBoxAllClick(); });
    connect(sheetsOnly_, &QCheckBox::clicked, this, [this] { CheckBoxSheetsOnlyClick(); });
}

void TFormExport::buildListTab(QWidget *page)
{
    auto *box = new QVBoxLayout(page);
    listGroup_ = new QGroupBox(QStringLiteral("Списък"));
    auto *lg = new QVBoxLayout(listGroup_);
    auto *row = new QHBoxLayout;
    listPath_ = new QLineEdit;
    listPath_->setReadOnly(true);
    listBrowse_ = plainButton(QStringLiteral("..."));
    listBrowse_->setToolTip(QStringLiteral("Списъкът трябва да бъде форматиран отдел-подотдел раделени с интервал.\r\n"
                                           "Пример:\r\n1 а\r\n1 е\r\n3 ж"));
    row->addWidget(listPath_);
    row->addWidget(listBrowse_);
    lg->addLayout(row);
    grid_ = new QTableWidget(0, 3);
    grid_->setHorizontalHeaderLabels({QStringLiteral("COUNT"), QStringLiteral("OTD"), QStringLiteral("PODOTD")});
    grid_->setColumnWidth(0, 35);
    grid_->setColumnWidth(1, 50);
    grid_->setColumnWidth(2, 60);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->verticalHeader()->hide();
    lg->addWidget(grid_);
    box->addWidget(listGroup_);
    box->addWidget(outputGroup(List, QStringLiteral(" Изходен файл ")));
    connect(listBrowse_, &QPushButton::clicked, this, [this] { listBrowseClick(); });
}

void TFormExport::buildSettingsTab(QWidget *page)
{
    auto *box = new QVBoxLayout(page);
    auto *g = new QGroupBox(QStringLiteral(" Избор на данни за експорт в TXT формат "));
    auto *grid = new QGridLayout(g);
    allParts_ = new QRadioButton(QStringLiteral("всичко от таксационното описание"));
    someParts_ = new QRadioButton(QStringLiteral("части от таксационното описание"));
    allParts_->setChecked(true);
    grid->addWidget(allParts_, 0, 0, 1, 2);
    grid->addWidget(someParts_, 1, 0, 1, 2);
    for (int i = 0; i < 16; ++i) {
        parts_[size_t(i)] = new QCheckBox(QString::fromUtf8(kPartNames[i]));
        grid->addWidget(parts_[size_t(i)], 2 + i % 8, i / 8);
        connect(parts_[size_t(i)], &QCheckBox::clicked, this, [this, i](bool on) { stored_[size_t(i)] = on; });
    }
    box->addWidget(g);
    connect(allParts_, &QRadioButton::clicked, this, [this] { partsOptionClick(); });
    connect(someParts_, &QRadioButton::clicked, this, [this] { partsOptionClick(); });
    partsOptionClick();
}

void TFormExport::showEvent(QShowEvent *event)
{
    if (!event->spontaneous()) {
        try {
            stored_ = readExportChoices(ProfileFile::load(context_.state().settingsPath()));
        } catch (const std::exception &) {
            // An unreadable settings file leaves the boxes as they were.
        }
        partsOptionClick();
        updateExport();
    }
    TFormWindow::showEvent(event);
}

void TFormExport::hideEvent(QHideEvent *event)
{
    if (!event->spontaneous() && someParts_->isChecked()) {
        try {
            writeExportChoices(context_.state().settingsPath(), stored_);
        } catch (const std::exception &e) {
            context_.showMessage({plainCaption(), QStringLiteral("Настройките не могат да бъдат записани."),
                                  UserMessage::Icon::Error, QString::fromUtf8(e.what())});
        }
    }
    TFormWindow::hideEvent(event);
}

void TFormExport::partsOptionClick()
{
    const bool some = someParts_->isChecked();
    for (int i = 0; i < 16; ++i) {
        QCheckBox *b = parts_[size_t(i)];
        b->setTristate(!some);
        b->setCheckState(some ? (stored_[size_t(i)] ? Qt::Checked : Qt::Unchecked) : Qt::PartiallyChecked);
        b->setEnabled(some);
    }
}

void TFormExport::updateExport()
{
    bool on = false;
    switch (tabs_->currentIndex()) {
    case SubCompartments:
        on = !paths_[0]->text().isEmpty() &&
             (optPod_->isChecked() ? !otd_->text().isEmpty() && !pod_->text().isEmpty() : !sheetOtd_->text().isEmpty());
        break;
    case Compartments:
        on = !from_->text().isEmpty() && !to_->text().isEmpty() && !paths_[1]->text().isEmpty();
        break;
    case List: on = !entries_.isEmpty() && !paths_[2]->text().isEmpty(); break;
    default: break;
    }
    export_->setEnabled(on);
}

void TFormExport::tabChanged(int tab)
{
    if (tab == List) {
        text_->setChecked(true);
        word_->setEnabled(false);
    } else {
        word_->setEnabled(true);
    }
    updateExport();
}

void TFormExport::subOptionClick()
{
    const bool pod = optPod_->isChecked();
    setFieldEnabled(otd_, pod);
    setFieldEnabled(pod_, pod);
    setFieldEnabled(sheetOtd_, !pod);
    updateExport();
}

void TFormExport::CheckBoxAllClick()
{
    const AppState &s = context_.state();
    if (all_->isChecked()) {
        from_->setText(QString::number(s.firstOtd));
        to_->setText(QString::number(s.lastOtd));
        from_->setEnabled(false);
        to_->setEnabled(false);
    } else {
        from_->clear();
        to_->clear();
        from_->setEnabled(true);
        to_->setEnabled(true);
        from_->setFocus();
    }
}

void TFormExport::CheckBoxSheetsOnlyClick()
{
    const AppState &s = context_.state();
    if (sheetsOnly_->isChecked()) {
        sheets_->setChecked(false);
        sheets_->setEnabled(false);
        all_->setEnabled(false);
        if (from_->text().isEmpty() && to_->text().isEmpty()) {
            from_->setText(QString::number(s.firstOtd));
            to_->setText(QString::number(s.lastOtd));
        }
    } else {
        sheets_->setEnabled(true);
        all_->setEnabled(true);
        from_->clear();
        to_->clear();
        from_->setFocus();
    }
}

QString TFormExport::proposedName(int tab) const
{
    QString name = paths_[size_t(tab)]->text();
    if (name.isEmpty()) {
        if (tab == SubCompartments) name = optPod_->isChecked() ? QStringLiteral("Podotdel") : QStringLiteral("PredList");
        else if (tab == Compartments)
            name = (sheetsOnly_->isChecked() ? QStringLiteral("PredList-") : QStringLiteral("Otdel-")) + from_->text() +
                   QLatin1Char('-') + to_->text();
    }
    if (name.endsWith(kText)) name.chop(kText.size());
    return name;
}

bool TFormExport::deleteFile(const QString &path)
{
    if (!QFileInfo::exists(path) || QFile::remove(path)) return true;
    context_.showMessage(
        {caption(),
         QStringLiteral("Файл %1 неможе да бъде изтрит! Сменете името на файла и опитайте отново.").arg(path),
         UserMessage::Icon::Error,
         {}});
    return false;
}

void TFormExport::browseClick(int tab)
{
    const bool word = word_->isChecked();
    const QString chosen = chooser_({true, proposedName(tab), word ? wordFilter() : textFilter(),
                                     word ? QStringLiteral("docx") : QStringLiteral("txt")});
    if (chosen.isEmpty()) return;
    paths_[size_t(tab)]->setText(QDir::toNativeSeparators(chosen));
    // A chosen file starts afresh.
    deleteFile(chosen);
}

void TFormExport::formatClick()
{
    const int tab = tabs_->currentIndex();
    if (tab > List) return;
    QLineEdit *field = paths_[size_t(tab)];
    if (field->text().isEmpty()) return;
    QString name = field->text();
    if (text_->isChecked() && name.endsWith(kWord)) name = name.chopped(kWord.size()) + kText;
    else if (word_->isChecked() && name.endsWith(kText)) name = name.chopped(kText.size()) + kWord;
    else return;
    field->setText(name);
    if (QFileInfo::exists(name) &&
        context_.ask({caption(), QStringLiteral("Файл %1 съществува. Желате ли да го изтриете?").arg(name),
                      UserMessage::Icon::None, {}},
                     MessageSink::Buttons::OkCancel))
        deleteFile(name);
}

void TFormExport::listBrowseClick()
{
    const QString chosen = chooser_({false, QString(), QStringLiteral("Text file (*.txt);;All Files (*.*)"),
                                     QStringLiteral("txt")});
    if (chosen.isEmpty()) return;
    loadList(chosen);
}

void TFormExport::loadList(const QString &path)
{
    std::optional<PrintListFile> list = loadExportList(path, [this](const UserMessage &m) { context_.showMessage(m); });
    listPath_->setText(QDir::toNativeSeparators(path));
    entries_ = list ? list->entries : QVector<RangeEntry>();
    showList();
}

void TFormExport::receiveList(const QList<QPair<QString, QString>> &rows)
{
    entries_.clear();
    for (const auto &row : rows)
        if (const std::optional<int> otd = wholeNumber(row.first)) entries_.push_back({*otd, row.second});
    listPath_->setText(QStringLiteral("Сито работно"));
    showList();
    tabs_->setCurrentIndex(List);
    text_->setChecked(true);
    word_->setEnabled(false);
}

void TFormExport::showList()
{
    grid_->setRowCount(0);
    grid_->setRowCount(int(entries_.size()));
    for (int i = 0; i < entries_.size(); ++i) {
        grid_->setItem(i, 0, new QTableWidgetItem(QString::number(i + 1)));
        grid_->setItem(i, 1, new QTableWidgetItem(QString::number(entries_[i].otd)));
        grid_->setItem(i, 2, new QTableWidgetItem(entries_[i].podotd));
    }
    listGroup_->setTitle(QStringLiteral("Списък - брой подотдели: %1").arg(entries_.size()));
    updateExport();
}

void TFormExport::seeAllClick()
{
    QLineEdit *field = optPod_->isChecked() ? otd_ : sheetOtd_;
    const std::optional<int> otd = wholeNumber(field->text());
    if (!otd) return;
    emit compartmentDetailRequested(*otd);
}

ExportOptions TFormExport::options() const
{
    ExportOptions o;
    o.format = word_->isChecked() ? ExportFormat::Word : ExportFormat::Text;
    o.partial = someParts_->isChecked();
    for (int i = 0; i < 16; ++i) o.parts[size_t(i)] = parts_[size_t(i)]->checkState() == Qt::Checked;
    o.withBranches = context_.state().settings.rangePrint.branches;
    o.report = [this](const UserMessage &m) { context_.showMessage(m); };
    return o;
}

void TFormExport::BitBtnExportClick()
{
    const int tab = tabs_->currentIndex();
    if (tab > List) return;
    const QString path = QDir::fromNativeSeparators(paths_[size_t(tab)]->text());
    if (tab == SubCompartments) {
        ExportOptions o = options();
        if (optPod_->isChecked()) {
            if (const std::optional<int> otd = wholeNumber(otd_->text())) exportOne(context_.state(), *otd, pod_->text(), path, o);
        } else if (const std::optional<int> otd = wholeNumber(sheetOtd_->text())) {
            exportOneSheet(context_.state(), *otd, path, o);
        }
    } else if (tab == Compartments) {
        exportRange(path);
    } else {
        ExportToTextFromList(path);
    }
}

void TFormExport::exportRange(const QString &path)
{
    const std::optional<int> from = wholeNumber(from_->text()), to = wholeNumber(to_->text());
    if (!from || !to) return;
    if (progress_.start) progress_.start(QStringLiteral("Моля изчакайте..."), QStringLiteral("Експортиране..."), 0, &stop_);
    std::optional<QVector<RangeEntry>> list =
        resolveRange(context_.state(), *from, *to, [this](const UserMessage &m) { context_.showMessage(m); });
    if (progress_.finish) progress_.finish();
    if (!list) return;
    emit rangeResolved(*list);
    ExportOptions o = options();
    o.sheets = sheets_->isChecked();
    o.sheetsOnly = sheetsOnly_->isChecked();
    runEntries(*list, path, o);
}

void TFormExport::ExportToTextFromList(const QString &path)
{
    ExportOptions o = options();
    o.format = ExportFormat::Text;
    runEntries(entries_, path, o);
}

void TFormExport::runEntries(const QVector<RangeEntry> &entries, const QString &path, ExportOptions o)
{
    if (!context_.ask(exportQuestion(entries, o), MessageSink::Buttons::YesNo)) return;
    const int total = exportTotal(entries, o);
    stop_ = false;
    if (progress_.start) progress_.start(exportProgressLabel(o, 0, total, true), exportProgressTitle(0, total), total, &stop_);
    o.stop = &stop_;
    o.progress = [&](int done) {
        if (progress_.step) progress_.step(exportProgressLabel(o, done, total), exportProgressTitle(done, total), done);
    };
    exportEntries(context_.state(), entries, path, o);
    if (progress_.finish) progress_.finish();
}

} // namespace dx
