// The project settings window.
#include "shell/TFormEditName.h"

#include "core/QtText.h"
#include "core/SafeFileWrite.h"
#include "widgets/WindowContext.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace dx {
namespace {

// A file name box with its chooser button.
QWidget *fileChooser(QWidget *parent, QLineEdit *&edit, const QString &filter)
{
    auto *box = new QWidget(parent);
    auto *row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    edit = new QLineEdit(box);
    auto *pick = new QPushButton(QStringLiteral("..."), box);
    pick->setFixedWidth(28);
    row->addWidget(edit, 1);
    row->addWidget(pick);
    QLineEdit *target = edit;
    QObject::connect(pick, &QPushButton::clicked, box, [box, target, filter] {
        const QString f = QFileDialog::getOpenFileName(box, QString(), target->text(), filter);
        if (!f.isEmpty()) target->setText(f);
    });
    return box;
}

} // namespace

TFormEditName::TFormEditName(WindowContext &context)
    : TFormWindow(QStringLiteral("Настройки"), context.owner()), context_(context)
{
    auto *layout = new QVBoxLayout(this);
    auto *names = new QGroupBox(QStringLiteral(" Име на проекта "), this);
    auto *nf = new QFormLayout(names);
    vid_ = new QLineEdit(names);
    bgname_ = new QLineEdit(names);
    godina_ = new QLineEdit(names);
    godina_->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), godina_));
    direkcia_ = new QComboBox(names);
    direkcia_->setEditable(true);
    nf->addRow(QStringLiteral("Вид"), vid_);
    nf->addRow(QStringLiteral("Име"), bgname_);
    nf->addRow(QStringLiteral("Година"), godina_);
    nf->addRow(QStringLiteral("РУГ"), direkcia_);
    layout->addWidget(names);
    auto *files = new QGroupBox(QStringLiteral("База данни "), this);
    auto *ff = new QFormLayout(files);
    ff->addRow(QStringLiteral("Лесоустройствени данни"),
               fileChooser(files, tabl_, QStringLiteral("Paradox Table (*.db)")));
    ff->addRow(QStringLiteral("Номенклатура землища"),
               fileChooser(files, zemnom_, QStringLiteral("dBase Table (*.dbf)")));
    active_ = new QCheckBox(QStringLiteral("активен проект"), files);
    ff->addRow(active_);
    layout->addWidget(files);
    save_ = new QPushButton(QStringLiteral("Запиши"), this);
    auto *cancel = new QPushButton(QStringLiteral("Отказ"), this);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(save_);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(save_, &QPushButton::clicked, this, [this] { Save(); });
    connect(cancel, &QPushButton::clicked, this, &QWidget::hide);
}

void TFormEditName::FillFromCatalogue()
{
    AppState &st = context_.state();
    sortCatalogue(st.catalogue, CatalogueField::Direkcia, true);
    direkcia_->clear();
    for (const ProjectEntry &e : st.catalogue)
        if (direkcia_->findText(e.direkcia, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0) direkcia_->addItem(e.direkcia);
    const int i = findEntry(st.catalogue, st.title, st.year);
    if (i < 0) return; // the fields keep what they showed
    const ProjectEntry &e = st.catalogue[i];
    active_->setChecked(e.activ == QStringLiteral("1"));
    direkcia_->setEditText(e.direkcia);
    vid_->setText(e.vid);
    bgname_->setText(e.bgname);
    godina_->setText(e.godina);
    tabl_->setText(e.tabl);
    zemnom_->setText(e.zemnom);
}

bool TFormEditName::Save()
{
    AppState &st = context_.state();
    ProjectSettingsInput in{vid_->text(),  bgname_->text(), godina_->text(),     direkcia_->currentText(),
                            tabl_->text(), zemnom_->text(), active_->isChecked()};
    // Typed file names are taken from the program directory, the working directory.
    const SettingsCheck check = checkProjectSettings(in, st.programDir);
    for (const UserMessage &m : check.messages) context_.showMessage(m);
    if (!check.ok) return false;
    SwitchRequest next;
    try {
        next = saveProjectSettings(st, in);
    } catch (const FileWriteError &e) {
        context_.showMessage(fileWriteMessage(e, QStringLiteral("Настройки")));
        return false;
    } catch (const std::exception &e) {
        context_.showMessage({QStringLiteral("Настройки"), qs(e.what()), UserMessage::Icon::Error});
        return false;
    }
    hide();
    context_.switchProject(next);
    return true;
}

void TFormEditName::showEvent(QShowEvent *event)
{
    TFormWindow::showEvent(event);
    FillFromCatalogue();
}

} // namespace dx
