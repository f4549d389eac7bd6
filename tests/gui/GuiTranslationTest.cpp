// Qt's own dialogs in Bulgarian: the catalogue that the program installs at start-up turns
// the texts of the file dialog and the standard buttons Bulgarian.
#include "QtTestApp.h"

#include "shell/GuiTranslation.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QTranslator>

namespace {

bool cyrillic(const QString &text)
{
    for (QChar c : text)
        if (c.script() == QChar::Script_Cyrillic) return true;
    return false;
}

// The catalogue installed by installQtBulgarian, if any.
QList<QTranslator *> installedCatalogues()
{
    return dxtest::qtApp().findChildren<QTranslator *>(QStringLiteral("qtbase_bg"), Qt::FindDirectChildrenOnly);
}

class GuiTranslationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dxtest::qtApp();
        if (!QFile::exists(QDir(dx::qtTranslationsDir()).filePath(QStringLiteral("qtbase_bg.qm"))))
            GTEST_SKIP() << "qtbase_bg.qm is not installed in " << dx::qtTranslationsDir().toStdString()
                         << " (Debian package qt6-translations-l10n)";
        ASSERT_TRUE(installedCatalogues().isEmpty());
    }
    // The other window tests of this program expect Qt's texts untranslated.
    void TearDown() override
    {
        for (QTranslator *t : installedCatalogues()) {
            QCoreApplication::removeTranslator(t);
            delete t;
        }
    }
};

} // namespace

TEST_F(GuiTranslationTest, FileDialogAndStandardButtonsSpeakBulgarian)
{
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Save As"), "Save As");
    EXPECT_EQ(QDialogButtonBox(QDialogButtonBox::Cancel).button(QDialogButtonBox::Cancel)->text(), "Cancel");

    ASSERT_TRUE(dx::installQtBulgarian(dxtest::qtApp()));
    const QString saveAs = QCoreApplication::translate("QFileDialog", "Save As");
    EXPECT_NE(saveAs, "Save As");
    EXPECT_TRUE(cyrillic(saveAs)) << saveAs.toStdString();

    QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    const QString cancel = buttons.button(QDialogButtonBox::Cancel)->text();
    EXPECT_TRUE(cyrillic(cancel)) << cancel.toStdString();

    // Qt's own file dialog, as the save and open commands show it.
    QFileDialog dialog(nullptr, QString(), QDir::tempPath());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    auto *lookIn = dialog.findChild<QLabel *>(QStringLiteral("lookInLabel"));
    ASSERT_NE(lookIn, nullptr);
    EXPECT_TRUE(cyrillic(lookIn->text())) << lookIn->text().toStdString();
    auto *box = dialog.findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->button(QDialogButtonBox::Cancel)->text(), cancel);
    EXPECT_TRUE(cyrillic(box->button(QDialogButtonBox::Save)->text()))
        << box->button(QDialogButtonBox::Save)->text().toStdString();

    // A second call keeps the one catalogue.
    EXPECT_TRUE(dx::installQtBulgarian(dxtest::qtApp()));
    EXPECT_EQ(installedCatalogues().size(), 1);
}

TEST_F(GuiTranslationTest, MissingCatalogueLeavesQtInEnglish)
{
    const QString empty = QDir::tempPath() + QStringLiteral("/dendrix-no-catalogues");
    QDir().mkpath(empty);
    EXPECT_FALSE(dx::installQtBulgarian(dxtest::qtApp(), empty));
    EXPECT_TRUE(installedCatalogues().isEmpty());
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Save As"), "Save As");
}
