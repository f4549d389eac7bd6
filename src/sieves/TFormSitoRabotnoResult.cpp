// The working sieve's run and the commands on its result: copy, show a sub-compartment,
// print and preview, save the list as a spreadsheet or RTF, the saved sieves, and the
// hand-over to the printing and export of descriptions.
#include "sieves/TFormSitoRabotno.h"

#include "core/QtText.h"
#include "core/SafeFileWrite.h"
#include "lists/RtfWriter.h"
#include "lists/SpreadsheetWriter.h"
#include "sieves/SieveClause.h"
#include "sieves/SieveFieldTable.h"
#include "sieves/SieveFile.h"
#include "sieves/TFormSieveWindows.h"
#include "sieves/TFormSitoRabotnoSetting.h"
#include "widgets/GuiGridHelpers.h"
#include "widgets/GuiGridPrinter.h"
#include "widgets/WindowContext.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QTableView>

namespace dx {

// The export window, opened with the list handed to it.
class TFormExport;

namespace {

const QString kListFileFilter = QStringLiteral("Microsoft Excel (*.xlsx)|*.xlsx|Rich Text Format (*.rtf)|*.rtf");
const QString kPageFooter = QStringLiteral("стр. &[Page] от &[Pages]");

// "description|pattern|..." as the name filters of Qt's file dialog; the description is
// shown as it stands (the dialog hides the pattern it appends).
QStringList dialogFilters(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        out << parts[i] + QStringLiteral(" (") + QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' ')) +
                   QLatin1Char(')');
    return out;
}

int columnOf(const SieveResult &result, const char *field)
{
    for (qsizetype i = 0; i < result.fields.size(); ++i)
        if (result.fields[i].compare(QLatin1String(field), Qt::CaseInsensitive) == 0) return int(i);
    return -1;
}

} // namespace

void TFormSitoRabotno::report(const UserMessage &message, bool beep)
{
    if (beep) QApplication::beep();
    context_.showMessage(message);
}

// --- the run -------------------------------------------------------------------------------

void TFormSitoRabotno::closeResult()
{
    model_->setColumns({});
    model_->clearRows();
    result_ = SieveResult();
    resultOpen_ = false;
}

// The result commands (copy, print, save criteria, show and, unless told otherwise,
// export); run, new, preview and open criteria stay usable.
void TFormSitoRabotno::enableResultCommands(bool on, bool withExport)
{
    for (Command c : {Command::Copy, Command::Print, Command::SaveCriteria, Command::Show}) command(c)->setEnabled(on);
    if (withExport) command(Command::Export)->setEnabled(on);
}

void TFormSitoRabotno::SpeedItem1Click()
{
    closeResult();
    auto *settings = context_.windows().get<TFormSitoRabotnoSetting>();
    const QList<int> columns = settings ? settings->choice() : parseSieveFields(kDefaultSieveFields);
    SieveRunOutcome run = runWorkingSieve(context_.state(), criteria(), columns, label_->text());
    if (run.status == SieveRunOutcome::Status::NoCriterion) {
        enableResultCommands(false, false);
        report(run.message, true);
        return;
    }
    selection_ = run.selection;
    heading_ = run.heading;
    label_->setText(run.label);
    switch (run.status) {
    case SieveRunOutcome::Status::Rows:
        result_ = std::move(run.result);
        resultOpen_ = true;
        fillSieveModel(*model_, result_);
        fitColumns();
        enableResultCommands(true, true);
        command(Command::New)->setEnabled(true);
        // The walk that summed the areas leaves the grid on the last row.
        grid_->selectRow(model_->rowCount() - 1);
        grid_->scrollTo(grid_->currentIndex());
        break;
    case SieveRunOutcome::Status::NoRows:
        result_ = std::move(run.result);
        resultOpen_ = true;
        fillSieveModel(*model_, result_);
        enableResultCommands(false, false);
        break;
    default:
        // Nothing ran: the previous result is already closed, so its commands go with it.
        enableResultCommands(false, false);
        report(run.message, true);
        break;
    }
}

// OTD 50, PODOTD 50 and PL 70 pixels wide, or as wide as their titles need in a larger
// font; the other columns as wide as their texts.
void TFormSitoRabotno::fitColumns()
{
    grid_->resizeColumnsToContents();
    QHeaderView *header = grid_->horizontalHeader();
    for (int c = 0; c < model_->columnCount(); ++c)
        if (const int w = sieveColumnPixelWidth(c, model_->rowCount() > 0))
            grid_->setColumnWidth(c, std::max(w, header->sectionSizeHint(c)));
}

void TFormSitoRabotno::newFilter()
{
    SieveCriteria c;
    setCriteria(c);
    closeResult();
    enableResultCommands(false, true);
}

// --- commands on the result ----------------------------------------------------------------

void TFormSitoRabotno::copyList()
{
    CopyGridToClipboard(grid_, true, heading_);
    grid_->setFocus();
}

void TFormSitoRabotno::DBGrid1DblClick()
{
    const int otd = columnOf(result_, "OTD");
    const int podotd = columnOf(result_, "PODOTD");
    const QModelIndex current = grid_->currentIndex();
    if (model_->rowCount() == 0 || !current.isValid() || otd < 0 || podotd < 0) return;
    emit subCompartmentChosen(model_->displayText(current.row(), otd), model_->displayText(current.row(), podotd));
    grid_->setFocus();
}

void TFormSitoRabotno::printList(bool preview)
{
    GridPrinter printer(grid_);
    printer.setHeader(heading_);
    printer.setFooterLeft(context_.state().contactLine);
    printer.setFooterRight(kPageFooter);
    printer.setOrientation(QPageLayout::Landscape);
    if (printHook_) {
        printHook_(printer, preview);
        return;
    }
    if (preview) printer.preview(this);
    else printer.printWithDialog(this);
}

void TFormSitoRabotno::saveList()
{
    const std::optional<FileChoice> chosen =
        chooseFile({true, QStringLiteral("Запиши резултата като"), kListFileFilter, QString()});
    if (!chosen || chosen->path.isEmpty()) return;
    const QList<int> columns = visibleGridColumns(grid_);
    QString path;
    try {
        if (chosen->filter == 1) {
            path = rtfFileName(chosen->path);
            SaveGridRtf(*model_, columns, path, windowTitle());
        } else {
            path = xlsxFileName(chosen->path);
            SaveGridXlsx(*model_, columns, path, windowTitle());
        }
    } catch (const FileWriteError &e) {
        report({windowTitle(), QStringLiteral("Списъкът не е записан във файла %1.").arg(path), UserMessage::Icon::Error,
                e.reason()});
    }
}

// --- saved sieves ----------------------------------------------------------------------------

void TFormSitoRabotno::saveCriteria()
{
    const std::optional<FileChoice> chosen = chooseFile({true, QString(), kSieveFileFilter, kSieveFileExtension});
    if (chosen && !chosen->path.isEmpty()) SaveSito(chosen->path);
}

void TFormSitoRabotno::openCriteria()
{
    const std::optional<FileChoice> chosen = chooseFile({false, kOpenSieveTitle, kSieveFileFilter, QString()});
    if (chosen && !chosen->path.isEmpty()) ReadSito(chosen->path);
}

bool TFormSitoRabotno::SaveSito(const QString &path)
{
    const SaveSitoResult r = dx::SaveSito(path, criteria());
    if (!r.saved)
        report({windowTitle(), QStringLiteral("Критериите не са записани."), UserMessage::Icon::Error, r.error});
    return r.saved;
}

bool TFormSitoRabotno::ReadSito(const QString &path)
{
    SieveCriteria c = criteria();
    const ReadSitoResult r = dx::ReadSito(path, c);
    if (!r.read) {
        report({windowTitle(), QStringLiteral("Критериите не могат да бъдат прочетени."), UserMessage::Icon::Error,
                r.error});
        return false;
    }
    setCriteria(c);
    if (!r.badRanges.isEmpty())
        report({windowTitle(),
                QStringLiteral("Файлът %1 съдържа стойности, които не са от вида \"от А до Б\", \"до А\", \"над А\" или "
                               "\"равно на А\", за критерий: %2. Задайте ги отново преди да изпълните справката.")
                    .arg(path, r.badRanges.join(QStringLiteral(", "))),
                UserMessage::Icon::Warning, {}});
    return true;
}

// --- hand-over to the descriptions' printing and export ----------------------------------------

SieveHandOver TFormSitoRabotno::handOver() const
{
    SieveHandOver out{selection_, heading_, {}};
    const int otd = columnOf(result_, "OTD");
    const int podotd = columnOf(result_, "PODOTD");
    if (otd < 0 || podotd < 0) return out;
    for (int r = 0; r < model_->rowCount(); ++r)
        out.subCompartments.append({model_->displayText(r, otd), model_->displayText(r, podotd)});
    return out;
}

void TFormSitoRabotno::SpeedItem11Click()
{
    if (result_.rows.isEmpty()) return; // an empty result has nothing to export
    emit exportRequested(handOver());
    if (QWidget *w = context_.windows().widget<TFormExport>()) {
        // Shown modally: the list it holds is this result's until the user closes it. A
        // modality changes only while the window is hidden.
        if (w->isVisible() && w->windowModality() != Qt::ApplicationModal) w->hide();
        w->setWindowModality(Qt::ApplicationModal);
        w->show();
        w->raise();
        w->activateWindow();
    }
}

void TFormSitoRabotno::openPrintChoice()
{
    emit printChoiceRequested(handOver());
    if (auto *w = context_.windows().get<TFormSitoRabotnoPrint>()) w->open(handOver(), TFormSitoRabotnoPrint::Mode::Print);
}

void TFormSitoRabotno::openExportChoice()
{
    if (auto *w = context_.windows().get<TFormSitoRabotnoPrint>()) w->open(handOver(), TFormSitoRabotnoPrint::Mode::Export);
}

// --- file dialogs ----------------------------------------------------------------------------

std::optional<TFormSitoRabotno::FileChoice> TFormSitoRabotno::chooseFile(const FileRequest &request)
{
    if (fileHook_) return fileHook_(request);
    const QStringList filters = dialogFilters(request.filter);
    QFileDialog dialog(this, request.title);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // Opening does not insist on an existing file: a missing one reads as empty criteria.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(filters);
    if (!request.defaultSuffix.isEmpty()) dialog.setDefaultSuffix(request.defaultSuffix);
    dialog.setDirectory(lastDir_.isEmpty() ? context_.state().programDir : lastDir_);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    lastDir_ = dialog.directory().absolutePath();
    return FileChoice{dialog.selectedFiles().front(), std::max(0, int(filters.indexOf(dialog.selectedNameFilter())))};
}

} // namespace dx
