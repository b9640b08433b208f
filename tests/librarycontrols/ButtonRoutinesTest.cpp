#include "platform/MessageBox.h"
#include "ui/controls/CFontButton.h"
#include "ui/controls/CHitTestRichEdit.h"
#include "ui/controls/CImageButton.h"
#include "ui/controls/ControlResources.h"

#include "../controls/ControlTestUtil.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

using namespace ulv;

namespace {

// testres.qrc: icon 9001 (32 x 32 red) and string 9001.
constexpr int kIcon = 9001;
constexpr int kString = 9001;

TEST(ImageButtonRoutines, SizedIconsLoadAtTheGivenSize)
{
    ResourceStatus st = ResourceStatus::Missing;
    ASSERT_FALSE(LoadIconResource(kIcon, &st).isNull()) << int(st);
    QWidget host;
    auto* b = new CImageButton("Go", &host);
    b->setGeometry(0, 0, 80, 40);
    ASSERT_EQ(b->SetIcon(kIcon, 16, 16, kIcon, 0, 0), 0);
    ASSERT_EQ(b->SizeToImage(), 1);
    EXPECT_EQ(b->size(), QSize(16, 16)) << "the first icon at its load size";
    ASSERT_EQ(b->SetIcon(kIcon, 0, 0), 0);
    EXPECT_EQ(b->SizeToImage(), 1);
    EXPECT_EQ(b->size(), QSize(32, 32)) << "0 keeps the picture's size";
    EXPECT_EQ(b->SetIcon(987654, 16, 16), 0);
    EXPECT_EQ(b->SizeToImage(), 0) << "a missing icon leaves no picture";
}

TEST(ImageButtonRoutines, StringTableTooltipsBalloonsAndDefault)
{
    CImageButton b("Go");
    EXPECT_EQ(LoadStringResource(kString), "Sends the command");
    b.SetTooltipText(kString);
    EXPECT_EQ(b.toolTip(), "Sends the command");
    b.SetTooltipText(987654);
    EXPECT_EQ(b.toolTip(), "Sends the command") << "an empty string changes nothing";
    EXPECT_FALSE(b.IsBalloonTooltip());
    EXPECT_EQ(b.EnableBalloonTooltip(), 0);
    EXPECT_TRUE(b.IsBalloonTooltip());
    EXPECT_FALSE(b.GetDefault());
    b.setDefault(true);
    EXPECT_TRUE(b.GetDefault());
}

TEST(FontButtonRoutines, ButtonCursor)
{
    CFontButton b("Go");
    EXPECT_EQ(b.SetButtonCursor(kIcon), 1);
    EXPECT_EQ(b.cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(b.SetButtonCursor(987654), 0);
    EXPECT_EQ(b.cursor().shape(), Qt::BitmapCursor) << "a missing cursor keeps the one set";
    EXPECT_EQ(b.SetButtonCursor(0), 1);
    EXPECT_NE(b.cursor().shape(), Qt::BitmapCursor);
}

TEST(HitTestRichEdit, EveryHitTestIsReportedWithItsScreenPoint)
{
    MessageBoxRecorder boxes;
    CHitTestRichEdit edit;
    edit.resize(200, 100);
    edit.show();
    QApplication::processEvents();
    QTest::mouseMove(edit.viewport(), QPoint(30, 40));
    ASSERT_TRUE(boxes.WaitForCount(1, 5000));
    const QPoint global = edit.viewport()->mapToGlobal(QPoint(30, 40));
    EXPECT_EQ(boxes.Texts().front(), QStringLiteral("%1,%2").arg(global.x()).arg(global.y()));
    EXPECT_EQ(boxes.Boxes().front().flags, unsigned(MB_OK));
}

} // namespace
