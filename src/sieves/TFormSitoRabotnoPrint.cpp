// The print-choice window: its choice, the questions, and the runs with their progress.
#include "sieves/TFormSitoRabotnoPrint.h"

#include "core/AppState.h"
#include "printing/PrintRun.h"
#include "widgets/GuiReportPrinter.h"
#include "widgets/WindowContext.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShowEvent>
#include <QVBoxLayout>

namespace dx {

namespace {
const QString kSettingsHint =
    QStringLiteral("За да промените настройките активирайте отметката за \"Предотделен лист\"");
}

TFormSitoRabotnoPrint::TFormSitoRabotnoPrint(WindowContext &context)
    : TFormWindow(QStringLiteral("Сито работно - Печат"), context.owner()), context_(context)
{
    setObjectName(QStringLiteral("FormSitoRabotnoPrint"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::WindowStaysOnTopHint);

    descriptions_ = new QCheckBox(QStringLiteral("Таксационни описания"));
    sheets_ = new QCheckBox(QStringLiteral("Предотделен лист"));
    settings_ = new QGroupBox(QStringLiteral("Настройки"));
    all_ = new QRadioButton(QStringLiteral("всички подотдели за отдела"));
    selected_ = new QRadioButton(QStringLiteral("само филтрираните подотдели"));
    all_->setChecked(true);
    auto *radios = new QVBoxLayout(settings_);
    radios->addWidget(all_);
    radios->addWidget(selected_);

    print_ = new QPushButton(QStringLiteral("Печат"));
    cancel_ = new QPushButton(QStringLiteral("Отказ"));
    export_ = new QPushButton(QStringLiteral("Експорт"));
    export_->setToolTip(QStringLiteral("Експорт на филтрираните подотдели във файл"));
    for (QPushButton *b : {print_, cancel_, export_}) b->setAutoDefault(false);
    connect(print_, &QPushButton::clicked, this, &TFormSitoRabotnoPrint::BitBtnPrintClick);
    connect(cancel_, &QPushButton::clicked, this, &QWidget::close);
    connect(export_, &QPushButton::clicked, this, [this] {
        close();
        emit exportChosen();
    });
    connect(descriptions_, &QCheckBox::toggled, this, &TFormSitoRabotnoPrint::choiceChanged);
    connect(sheets_, &QCheckBox::toggled, this, &TFormSitoRabotnoPrint::choiceChanged);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton *b : {print_, export_, cancel_}) buttons->addWidget(b);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(descriptions_);
    layout->addWidget(sheets_);
    layout->addWidget(settings_);
    layout->addLayout(buttons);
    export_->hide();
    choiceChanged();
}

void TFormSitoRabotnoPrint::open(const SieveHandOver &list, Mode mode)
{
    list_ = list;
    mode_ = mode;
    const bool forExport = mode == Mode::Export;
    setWindowTitle(forExport ? QStringLiteral("Сито работно - Експорт") : QStringLiteral("Сито работно - Печат"));
    print_->setVisible(!forExport);
    export_->setVisible(forExport);
    // The export writes the descriptions of the listed sub-compartments: the print choice
    // has no say in it.
    descriptions_->setEnabled(!forExport);
    sheets_->setEnabled(!forExport);
    export_->setEnabled(!list.subCompartments.isEmpty());
    show();
    raise();
    activateWindow();
}

void TFormSitoRabotnoPrint::showEvent(QShowEvent *event)
{
    if (!event->spontaneous()) {
        descriptions_->setChecked(false);
        sheets_->setChecked(false);
        choiceChanged();
    }
    TFormWindow::showEvent(event);
    if (!event->spontaneous()) {
        if (const QScreen *screen = QGuiApplication::primaryScreen()) {
            QRect frame = frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            moveOnScreen(frame.topLeft());
        }
        cancel_->setFocus();
    }
}

void TFormSitoRabotnoPrint::choiceChanged()
{
    print_->setEnabled(descriptions_->isChecked() || sheets_->isChecked());
    const bool sheets = sheets_->isChecked();
    all_->setEnabled(sheets);
    selected_->setEnabled(sheets);
    settings_->setToolTip(sheets ? QString() : kSettingsHint);
}

void TFormSitoRabotnoPrint::BitBtnPrintClick()
{
    close();
    if (descriptions_->isChecked() && !printDescriptionList()) return;
    if (sheets_->isChecked()) {
        if (all_->isChecked()) PrintAllPredotdel();
        else PrintSelPredotdel();
    }
}

// The descriptions of the result's rows with the progress window; false when the
// question was not answered OK.
bool TFormSitoRabotnoPrint::printDescriptionList()
{
    const int rows = int(list_.subCompartments.size());
    if (rows == 0) return true;
    if (!context_.ask(descriptionsPrintQuestion(rows), MessageSink::Buttons::OkCancel)) return false;
    QVector<RangeEntry> entries;
    for (const auto &p : list_.subCompartments) entries.push_back({p.first.trimmed().toInt(), p.second});
    // The run goes through every row; the progress window's "Отказ" is not asked.
    bool ignored = false;
    if (progress_.start) progress_.start(rows, &ignored);
    DescriptionComposer composer(context_.state());
    PrintRunOptions o;
    o.report = [this](const UserMessage &m) { context_.showMessage(m); };
    o.progress = [this, rows](int done) {
        if (progress_.step) progress_.step(done, rows);
    };
    std::unique_ptr<PageSink> sink = ReportPrinter::instance().jobSink();
    printDescriptions(context_.state(), composer, entries, *sink, o);
    if (progress_.finish) progress_.finish();
    return true;
}

void TFormSitoRabotnoPrint::PrintAllPredotdel()
{
    printSheets(QString());
}

void TFormSitoRabotnoPrint::PrintSelPredotdel()
{
    printSheets(list_.selection);
}

void TFormSitoRabotnoPrint::printSheets(const QString &selection)
{
    stop_ = false;
    const QVector<int> compartments = sheetCompartmentsOf(list_.subCompartments);
    const int total = int(compartments.size());
    if (!context_.ask(sheetsPrintQuestion(total), MessageSink::Buttons::YesNo)) return;
    if (progress_.start) progress_.start(total, &stop_);
    SheetRunOptions o;
    o.selection = selection;
    o.stop = &stop_;
    o.report = [this](const UserMessage &m) { context_.showMessage(m); };
    o.progress = [this, total](int done) {
        if (progress_.step) progress_.step(done, total);
    };
    std::unique_ptr<PageSink> sink = ReportPrinter::instance().jobSink();
    printSieveSheets(context_.state(), compartments, *sink, o);
    if (progress_.finish) progress_.finish();
}

} // namespace dx
