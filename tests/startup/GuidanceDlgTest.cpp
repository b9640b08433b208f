#include "shell/CGuidanceDlg.h"
#include "ScreenshotSupport.h"
#include "shell/GuideArtwork.h"
#include "ui/controls/CFontButton.h"
#include "ui/controls/CImageButton.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace ulv;

namespace {

struct Visible {
    bool next, start, pre, choice;
};

Visible Buttons(const CGuidanceDlg& d)
{
    return {d.m_btnNext->isVisible(), d.m_btnStart->isVisible(), d.m_btnPre->isVisible(), d.m_btnGsm->isVisible()};
}

void ExpectButtons(const CGuidanceDlg& d, Visible v)
{
    const Visible got = Buttons(d);
    EXPECT_EQ(got.next, v.next) << "page " << d.CurrentPage();
    EXPECT_EQ(got.start, v.start) << "page " << d.CurrentPage();
    EXPECT_EQ(got.pre, v.pre) << "page " << d.CurrentPage();
    EXPECT_EQ(got.choice, v.choice) << "page " << d.CurrentPage();
    EXPECT_EQ(d.m_btnUmts->isVisible(), v.choice) << "page " << d.CurrentPage();
}

// The dialog shows its page picture: compare a few points away from the buttons.
void ExpectPagePicture(CGuidanceDlg& d, int id)
{
    const QImage shown = d.grab().toImage();
    const QImage expected = GuidePicture(id).scaled(d.size());
    ASSERT_FALSE(expected.isNull());
    for (const QPoint pt : {QPoint(5, 5), QPoint(650, 20), QPoint(20, 380), QPoint(300, 60)})
        EXPECT_EQ(shown.pixel(pt), expected.pixel(pt)) << "picture " << id << " at " << pt.x() << "," << pt.y();
}

} // namespace

TEST(Guidance, StartupGuideWalksSixPagesWithTheChoiceOnTheSecond)
{
    CGuidanceDlg d;
    d.m_nModuleType = 0;
    d.m_bStartupMode = 1;
    d.show();
    EXPECT_EQ(d.geometry().topLeft(), QPoint(0, 0));
    EXPECT_EQ(d.size(), QSize(700, 400));
    EXPECT_EQ(d.windowTitle(), "Ulvenscope_V1.4");
    EXPECT_TRUE(d.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(d.m_btnPre->geometry(), QRect(460, 360, 77, 32));
    EXPECT_EQ(d.m_btnNext->geometry(), QRect(570, 360, 78, 33));
    EXPECT_EQ(d.m_btnStart->geometry(), QRect(570, 360, 77, 32));

    struct Step {
        int page;
        int picture;
        Visible buttons;
    };
    const Step steps[] = {
        {0, 322, {true, false, false, false}},
        {1, 332, {true, false, true, true}},
        {2, 320, {true, false, true, false}},
        {3, 318, {true, false, true, false}},
        {4, 317, {true, false, true, false}},
        {5, 319, {false, true, true, false}},
    };
    for (const Step& s : steps) {
        ASSERT_EQ(d.CurrentPage(), s.page);
        EXPECT_EQ(d.CurrentPictureId(), s.picture);
        ExpectButtons(d, s.buttons);
        ExpectPagePicture(d, s.picture);
        QTest::mouseClick(d.m_btnNext, Qt::LeftButton);
    }
    EXPECT_EQ(d.CurrentPage(), 5) << "next on the last page does nothing";
    for (int page = 4; page >= 0; --page) {
        QTest::mouseClick(d.m_btnPre, Qt::LeftButton);
        EXPECT_EQ(d.CurrentPage(), page);
    }
    d.OnPre();
    EXPECT_EQ(d.CurrentPage(), 0) << "pre on the first page does nothing";
}

TEST(Guidance, ChoosingTheFamilySwapsThePicturesAndTheLaterPages)
{
    CGuidanceDlg d;
    d.m_nModuleType = 0;
    d.show();
    d.OnNext();
    EXPECT_EQ(d.GsmPictureId(), 334);
    EXPECT_EQ(d.UmtsPictureId(), 336);

    QTest::mouseClick(d.m_btnUmts, Qt::LeftButton);
    EXPECT_EQ(d.m_nModuleType, 1);
    EXPECT_EQ(d.GsmPictureId(), 333);
    EXPECT_EQ(d.UmtsPictureId(), 335);
    // The chosen card is drawn from the chosen picture (its centre is off the
    // transparent green).
    const QImage card = d.m_btnUmts->grab().toImage();
    const QImage chosen = GuidePicture(335).scaled(card.size());
    EXPECT_EQ(card.pixel(110, 20), chosen.pixel(110, 20));

    QTest::mouseClick(d.m_btnUmts, Qt::LeftButton);
    EXPECT_EQ(d.m_nModuleType, 1) << "the chosen family clicked again changes nothing";

    d.OnNext();
    EXPECT_EQ(d.CurrentPictureId(), 338);
    ExpectPagePicture(d, 338);
    d.OnNext();
    EXPECT_EQ(d.CurrentPictureId(), 346);

    d.OnPre();
    d.OnPre();
    QTest::mouseClick(d.m_btnGsm, Qt::LeftButton);
    EXPECT_EQ(d.m_nModuleType, 0);
    EXPECT_EQ(d.GsmPictureId(), 334);
    d.OnNext();
    EXPECT_EQ(d.CurrentPictureId(), 320);
}

TEST(Guidance, EscapeEndsItRejectedKeepingTheChoiceAndEnterDoesNothing)
{
    CGuidanceDlg d;
    d.m_nModuleType = 0;
    d.show();
    d.OnNext();
    d.OnUmts();
    QTest::keyClick(&d, Qt::Key_Return);
    QTest::keyClick(&d, Qt::Key_Enter);
    EXPECT_TRUE(d.isVisible()) << "Enter never closes the guide";
    d.accept();
    EXPECT_TRUE(d.isVisible()) << "the dialog's OK does nothing";
    QTest::keyClick(&d, Qt::Key_Escape);
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(d.result(), QDialog::Rejected);
    EXPECT_EQ(d.m_nModuleType, 1);
}

TEST(Guidance, MenuGuideHasFivePagesAndNoChoice)
{
    CGuidanceDlg d;
    d.m_nModuleType = 1;
    d.m_bStartupMode = 0;
    d.show();
    const int pictures[] = {322, 338, 318, 317, 319};
    for (int page = 0; page < 5; ++page) {
        ASSERT_EQ(d.CurrentPage(), page);
        EXPECT_EQ(d.CurrentPictureId(), pictures[page]);
        EXPECT_FALSE(d.m_btnGsm->isVisible());
        EXPECT_FALSE(d.m_btnUmts->isVisible());
        EXPECT_EQ(d.m_btnStart->isVisible(), page == 4);
        EXPECT_EQ(d.m_btnNext->isVisible(), page != 4);
        d.OnNext();
    }
    EXPECT_EQ(d.CurrentPage(), 4);
    EXPECT_EQ(CGuidanceDlg::PagePictureId(1, false, 0), 320);
    QTest::mouseClick(d.m_btnStart, Qt::LeftButton);
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_FALSE(d.isVisible());
}

TEST(Guidance, ScreenshotOfTheChoicePage)
{
    CGuidanceDlg d;
    d.m_nModuleType = 0;
    d.show();
    d.OnNext();
    EXPECT_FALSE(SaveScreenshot(&d, "guide-choice").isEmpty());
    d.OnNext();
    EXPECT_FALSE(SaveScreenshot(&d, "guide-gsm-page").isEmpty());
}
