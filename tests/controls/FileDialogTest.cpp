#include "ui/controls/CFileDialog_englishtext.h"
#include "ui/controls/CFileDialog_language.h"
#include "ui/controls/CFontDialog_titlename.h"

#include <QApplication>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

using namespace ulv;

TEST(FileDialogs, FiltersFromTheBarSeparatedForm)
{
    struct Case { QString in; QStringList out; };
    const Case cases[] = {
        {"Text files (*.txt)|*.txt|All files (*.*)|*.*||", {"Text files (*.txt)", "All files (*.*) (*)"}},
        {"Excel|*.xls;*.xlsx||", {"Excel (*.xls *.xlsx)"}},
        {"Scripts (*.ini)|*.ini|", {"Scripts (*.ini)"}},
        {"", {}},
        {"|||", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ConvertFileFilter(c.in), c.out) << c.in.toStdString();
}

TEST(FileDialogs, EnglishCaptionsByVariantAndMode)
{
    struct Case { bool language; bool open; QString accept; QString title; };
    const Case cases[] = {
        {false, true, "&OK", "Open"},
        {false, false, "&SAVE", "Save as"},
        {true, true, "&OK", "Open"},
        {true, false, "&save", "Save as"},
    };
    for (const auto& c : cases) {
        std::unique_ptr<QFileDialog> d;
        if (c.language)
            d = std::make_unique<CFileDialog_language>(c.open, "txt", "", OFN_OVERWRITEPROMPT, "Text|*.txt||");
        else
            d = std::make_unique<CFileDialog_englishtext>(c.open, "txt", "", OFN_OVERWRITEPROMPT, "Text|*.txt||");
        EXPECT_EQ(d->windowTitle(), c.title);
        EXPECT_EQ(d->labelText(QFileDialog::Accept), c.accept);
        EXPECT_EQ(d->labelText(QFileDialog::Reject), "&CANCEL ");
        EXPECT_EQ(d->labelText(QFileDialog::FileName), "&File name:");
        EXPECT_EQ(d->labelText(QFileDialog::LookIn), "&Searchrange:");
        EXPECT_EQ(d->labelText(QFileDialog::FileType), "&File type:");
        EXPECT_TRUE(d->testOption(QFileDialog::DontUseNativeDialog));
        EXPECT_EQ(d->nameFilters(), QStringList{"Text (*.txt)"});
        EXPECT_EQ(d->acceptMode(), c.open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    }
}

TEST(FileDialogs, LabelsShowTheirMnemonicsNotAnAmpersand)
{
    // A label shows "&" literally unless it has a buddy to give the key to.
    for (bool open : {true, false}) {
        CFileDialog_englishtext d(open, "txt", "", 0, "Text|*.txt||");
        for (const char* name : {"lookInLabel", "fileNameLabel", "fileTypeLabel"}) {
            auto* label = d.findChild<QLabel*>(name);
            ASSERT_NE(label, nullptr) << name;
            EXPECT_TRUE(label->text().startsWith('&')) << name;
            ASSERT_NE(label->buddy(), nullptr) << name;
            EXPECT_TRUE(label->buddy()->isVisibleTo(&d)) << name;
        }
    }
}

TEST(FileDialogs, BlankDefaultExtensionIsNone)
{
    struct Case { QString ext; QString suffix; };
    for (const Case& c : {Case{" ", ""}, Case{"", ""}, Case{"xls", "xls"}, Case{".log", "log"}}) {
        CFileDialog_englishtext d(false, c.ext, "", 0, "");
        EXPECT_EQ(d.defaultSuffix(), c.suffix) << "'" << c.ext.toStdString() << "'";
    }
}

TEST(FileDialogs, DoModalGivesIdOkAndThePath)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("report");
    CFileDialog_englishtext d(false, "xls", path, OFN_OVERWRITEPROMPT, "Excel|*.xls||");
    QTimer::singleShot(0, &d, [&] { static_cast<QDialog&>(d).accept(); });
    EXPECT_EQ(d.DoModal(), IDOK);
    EXPECT_EQ(d.GetPathName(), path + ".xls");

    CFileDialog_language cancel(true, "", "", 0, "");
    QTimer::singleShot(0, &cancel, [&] { cancel.reject(); });
    EXPECT_EQ(cancel.DoModal(), IDCANCEL);
}

TEST(FileDialogs, LanguageVariantSitsBesideTheMainWindowOrigin)
{
    QWidget main;
    main.setGeometry(100, 80, 600, 400);
    main.show();
    CFileDialog_language d(true, "", "", 0, "", &main);
    QTimer::singleShot(0, &d, [&] {
        EXPECT_EQ(d.pos(), main.mapToGlobal(QPoint(0, 0)) + QPoint(305, 50));
        d.reject();
    });
    d.DoModal();
}

TEST(FontDialog, TitleIsTheWordForFontPaddedWithSpaces)
{
    CFontDialog_titlename d;
    EXPECT_EQ(d.windowTitle(), QString::fromUtf8("字体") + QString(109, ' '));
    EXPECT_EQ(d.windowTitle().size(), 111);
}
