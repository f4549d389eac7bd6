// The print settings window.
#include "printing/TFormPrintSet.h"

#include "printing/Report.h"
#include "widgets/GuiReportPrinter.h"
#include "widgets/WindowContext.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace dx {
namespace {

QSpinBox *spin()
{
    auto *s = new QSpinBox;
    s->setRange(0, 100);
    return s;
}

} // namespace

TFormPrintSet::TFormPrintSet(WindowContext &c) : TFormWindow(QStringLiteral("Настройки печат"), c.owner()), context_(c)
{
    auto *layout = new QVBoxLayout(this);
    tabWidget_ = new QTabWidget;
    tabWidget_->addTab(buildTab(tabs_[0], true), QStringLiteral("Таксационни описания"));
    tabWidget_->addTab(buildTab(tabs_[1], false), QStringLiteral("Предотделен лист"));
    layout->addWidget(tabWidget_);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    cancel_ = new QPushButton(QStringLiteral("Отказ"));
    ok_ = new QPushButton(QStringLiteral("Ok"));
    cancel_->setAutoDefault(false);
    buttons->addWidget(cancel_);
    buttons->addWidget(ok_);
    layout->addLayout(buttons);
    connect(cancel_, &QPushButton::clicked, this, [this] { close(); });
    connect(ok_, &QPushButton::clicked, this, [this] { BitBtnOkClick(); });
}

QWidget *TFormPrintSet::buildTab(Tab &t, bool withPrinterLine)
{
    auto *page = new QWidget;
    auto *v = new QVBoxLayout(page);
    t.printer = new QPushButton(QStringLiteral("Принтер"));
    t.printer->setAutoDefault(false);
    if (withPrinterLine) {
        // The printer's line with its setup button beside it.
        auto *group = new QGroupBox(QStringLiteral(" Принтер "));
        auto *g = new QHBoxLayout(group);
        printerLine_ = new QLabel;
        printerLine_->setTextInteractionFlags(Qt::TextSelectableByMouse);
        g->addWidget(printerLine_, 1);
        g->addWidget(t.printer);
        v->addWidget(group);
    }
    auto *margins = new QGroupBox(QStringLiteral(" Полета за печат  (mm) "));
    auto *m = new QGridLayout(margins);
    t.top = spin();
    t.left = spin();
    t.right = spin();
    t.bottom = spin();
    auto labelled = [](const QString &text, QSpinBox *s) {
        auto *w = new QWidget;
        auto *h = new QHBoxLayout(w);
        h->setContentsMargins(0, 0, 0, 0);
        h->addWidget(new QLabel(text));
        h->addWidget(s);
        return w;
    };
    // The four fields around a picture of the page (A4 upright).
    auto *paper = new QLabel;
    paper->setFixedSize(30, 42);
    paper->setFrameShape(QFrame::Box);
    paper->setStyleSheet(QStringLiteral("background: white;"));
    m->addWidget(labelled(QStringLiteral("Горе"), t.top), 0, 1, Qt::AlignCenter);
    m->addWidget(labelled(QStringLiteral("Ляво"), t.left), 1, 0);
    m->addWidget(paper, 1, 1, Qt::AlignCenter);
    m->addWidget(labelled(QStringLiteral("Дясно"), t.right), 1, 2);
    m->addWidget(labelled(QStringLiteral("Долу"), t.bottom), 2, 1, Qt::AlignCenter);
    t.standard = new QPushButton(QStringLiteral("Стандартни полета"));
    t.standard->setAutoDefault(false);
    m->addWidget(t.standard, 2, 2, Qt::AlignRight | Qt::AlignBottom);
    v->addWidget(margins);
    connect(t.standard, &QPushButton::clicked, this, [&t] {
        const PageSettings standard;
        t.left->setValue(standard.left);
        t.right->setValue(standard.right);
        t.top->setValue(standard.top);
        t.bottom->setValue(standard.bottom);
    });

    auto *row = new QHBoxLayout;
    auto *fontGroup = new QGroupBox(QStringLiteral("Шрифт"));
    auto *f = new QHBoxLayout(fontGroup);
    t.font = new QComboBox;
    t.font->addItems(QFontDatabase::families());
    // The Windows names of the fonts printed with their Liberation twins.
    for (const char *name : {"Arial", "Courier New", "Times New Roman"}) {
        const QString windows = QString::fromLatin1(name);
        if (t.font->findText(windows) < 0 && !metricTwin(windows).isEmpty()) t.font->insertItem(0, windows);
    }
    f->addWidget(t.font, 1);
    f->addWidget(new QLabel(QStringLiteral("Големина")));
    t.size = new QComboBox;
    t.size->setEditable(true);
    t.size->addItems({QStringLiteral("8"), QStringLiteral("9"), QStringLiteral("10")});
    f->addWidget(t.size);
    row->addWidget(fontGroup, 1);
    auto *copies = new QGroupBox(QStringLiteral("Копия"));
    auto *cl = new QHBoxLayout(copies);
    t.copies = spin();
    cl->addWidget(new QLabel(QStringLiteral("Брой:")));
    cl->addWidget(t.copies);
    row->addWidget(copies);
    v->addLayout(row);
    if (!withPrinterLine) v->addWidget(t.printer, 0, Qt::AlignLeft);
    v->addStretch(1);
    connect(t.printer, &QPushButton::clicked, this, [this, &t] {
        // The dialog offers this tab's copies; the number chosen there is shown in "Брой:".
        int copies = t.copies->value();
        if (ReportPrinter::instance().setup(this, &copies)) t.copies->setValue(copies);
        printerLine_->setText(ReportPrinter::instance().printerLine());
    });
    return page;
}

void TFormPrintSet::showEvent(QShowEvent *event)
{
    if (!event->spontaneous()) {
        load(tabs_[0], context_.state().settings.description);
        load(tabs_[1], context_.state().settings.sheet);
        printerLine_->setText(ReportPrinter::instance().printerLine());
    }
    TFormWindow::showEvent(event);
}

void TFormPrintSet::load(Tab &t, const PageSettings &p)
{
    t.left->setValue(p.left);
    t.right->setValue(p.right);
    t.top->setValue(p.top);
    t.bottom->setValue(p.bottom);
    t.copies->setValue(p.copies);
    // A font that is not installed leaves the list without a selection.
    t.font->setCurrentIndex(t.font->findText(p.font, Qt::MatchFixedString));
    t.size->setEditText(QString::number(p.fontSize));
}

bool TFormPrintSet::read(const Tab &t, PageSettings &p)
{
    bool ok = false;
    const int size = t.size->currentText().trimmed().toInt(&ok);
    if (!ok) {
        context_.showMessage({plainCaption(), QStringLiteral("'%1' is not a valid integer value").arg(t.size->currentText()),
                              UserMessage::Icon::Error, {}});
        return false;
    }
    p.left = t.left->value();
    p.right = t.right->value();
    p.top = t.top->value();
    p.bottom = t.bottom->value();
    p.copies = t.copies->value();
    if (t.font->currentIndex() >= 0) p.font = t.font->currentText(); // else the previous font stays
    p.fontSize = size;
    return true;
}

void TFormPrintSet::BitBtnOkClick()
{
    AppState &s = context_.state();
    PageSettings description = s.settings.description, sheet = s.settings.sheet;
    if (!read(tabs_[0], description) || !read(tabs_[1], sheet)) return;
    s.settings.description = description;
    s.settings.sheet = sheet;
    try {
        writePageSettings(s.settingsPath(), ini::kDescriptionPage, description);
        writePageSettings(s.settingsPath(), ini::kSheetPage, sheet);
    } catch (const std::exception &e) {
        context_.showMessage({plainCaption(), QStringLiteral("Настройките не могат да бъдат записани."), UserMessage::Icon::Error,
                              QString::fromUtf8(e.what())});
        return;
    }
    close();
}

} // namespace dx
