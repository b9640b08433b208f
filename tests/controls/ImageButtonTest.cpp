#include "ControlTestUtil.h"
#include "ui/controls/CImageButton.h"
#include "ui/controls/ControlResources.h"

#include <QFocusEvent>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>
#include <thread>

using namespace ulv;
using ulv::test::Grab;
using ulv::test::HasPixel;
using ulv::test::Solid;

namespace {

struct ButtonFixture {
    QWidget parent;
    CImageButton* button;
    ButtonFixture()
    {
        parent.resize(200, 100);
        button = new CImageButton(&parent);
        button->setGeometry(10, 10, 80, 30);
        parent.show();
    }
};

} // namespace

TEST(ImageButton, ColourSettersReturnTheirCodes)
{
    CImageButton b;
    struct Case { int index; int result; };
    for (const Case c : {Case{0, 0}, Case{5, 0}, Case{6, 3}, Case{-1, 3}, Case{255, 3}})
        EXPECT_EQ(b.SetColor(c.index, 0x123456, false), c.result) << c.index;
    COLORREF out = 0;
    EXPECT_EQ(b.GetColor(5, &out), 0);
    EXPECT_EQ(out, 0x123456u);
    EXPECT_EQ(b.GetColor(6, &out), 3);

    struct Shift { COLORREF start; int amount; int result; COLORREF after; };
    const Shift shifts[] = {
        {Rgb(240, 240, 240), 30, 0, Rgb(255, 255, 255)},
        {Rgb(10, 200, 200), -30, 0, Rgb(0, 190, 190)},
        {Rgb(100, 50, 20), 30, 0, Rgb(130, 80, 50)},
        {Rgb(100, 50, 20), -30, 0, Rgb(80, 30, 0)},
        {Rgb(1, 2, 3), 256, 5, Rgb(1, 2, 3)},
        {Rgb(1, 2, 3), -256, 5, Rgb(1, 2, 3)},
    };
    for (const auto& s : shifts) {
        b.SetColor(0, s.start, false);
        EXPECT_EQ(b.ShiftColor(0, s.amount, false), s.result);
        b.GetColor(0, &out);
        EXPECT_EQ(out, s.after) << std::hex << s.start << " " << std::dec << s.amount;
    }
    EXPECT_EQ(b.ShiftColor(6, 10, false), 3);
    EXPECT_EQ(b.SetAlign(4), 4);
    EXPECT_EQ(b.SetAlign(3), 0);
    EXPECT_EQ(b.SetPressedStyle(2), 6);
    EXPECT_EQ(b.SetPressedStyle(1), 0);
}

TEST(ImageButton, StatesPaintTheirColoursAndFlatBorder)
{
    ButtonFixture f;
    CImageButton& b = *f.button;
    const COLORREF bkIn = 0x00C000, bkOut = 0xC00000, bkFocus = 0x0000C0;
    b.SetColor(CImageButton::BTNST_COLOR_BK_IN, bkIn);
    b.SetColor(CImageButton::BTNST_COLOR_BK_OUT, bkOut);
    b.SetColor(CImageButton::BTNST_COLOR_BK_FOCUS, bkFocus);
    const QPoint mid(40, 15), topLeft(0, 0), bottomRight(79, 29);

    QImage img = Grab(b);
    EXPECT_EQ(img.pixel(mid), ColorRefToRgb(bkOut));
    EXPECT_EQ(img.pixel(topLeft), ColorRefToRgb(bkOut)) << "flat: no border when idle";

    b.setFocus();
    QApplication::processEvents();
    if (b.hasFocus()) {
        img = Grab(b);
        EXPECT_EQ(img.pixel(mid), ColorRefToRgb(bkFocus));
    }
    b.clearFocus();

    ulv::test::SendEnter(b);
    ASSERT_TRUE(b.IsHovered());
    img = Grab(b);
    EXPECT_EQ(img.pixel(mid), ColorRefToRgb(bkIn));
    EXPECT_EQ(img.pixel(topLeft), SysRgb(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(img.pixel(bottomRight), SysRgb(COLOR_BTNSHADOW));

    b.setDown(true);
    img = Grab(b);
    EXPECT_EQ(img.pixel(mid), ColorRefToRgb(bkIn));
    EXPECT_EQ(img.pixel(topLeft), SysRgb(COLOR_BTNSHADOW));
    EXPECT_EQ(img.pixel(bottomRight), SysRgb(COLOR_BTNHIGHLIGHT));
    b.setDown(false);

    ulv::test::SendLeave(b);
    EXPECT_FALSE(b.IsHovered());
    EXPECT_EQ(Grab(b).pixel(mid), ColorRefToRgb(bkOut));

    b.SetFlat(false);
    img = Grab(b);
    EXPECT_EQ(img.pixel(topLeft), SysRgb(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(img.pixel(1, 1), SysRgb(COLOR_3DLIGHT));
    EXPECT_EQ(img.pixel(bottomRight), SysRgb(COLOR_3DDKSHADOW));
    EXPECT_EQ(img.pixel(78, 28), SysRgb(COLOR_BTNSHADOW));
}

TEST(ImageButton, CaptionColoursFollowTheStateAndDisabledIsEmbossed)
{
    ButtonFixture f;
    CImageButton& b = *f.button;
    QFont font = b.font();
    font.setPixelSize(22);
    font.setBold(true);
    b.setFont(font);
    b.setText("HH");
    b.SetColor(CImageButton::BTNST_COLOR_FG_OUT, 0x0000FF);
    b.SetColor(CImageButton::BTNST_COLOR_FG_IN, 0x00FF00);
    const QRect all(0, 0, 80, 30);

    QImage img = Grab(b);
    EXPECT_TRUE(HasPixel(img, all, qRgb(255, 0, 0)));
    EXPECT_FALSE(HasPixel(img, all, qRgb(0, 255, 0)));

    ulv::test::SendEnter(b);
    img = Grab(b);
    EXPECT_TRUE(HasPixel(img, all, qRgb(0, 255, 0)));
    EXPECT_FALSE(HasPixel(img, all, qRgb(255, 0, 0)));

    b.setEnabled(false);
    EXPECT_FALSE(b.IsHovered()) << "disabling leaves hover";
    img = Grab(b);
    EXPECT_FALSE(HasPixel(img, all, qRgb(255, 0, 0)));
    EXPECT_TRUE(HasPixel(img, all, SysRgb(COLOR_BTNSHADOW)));
    EXPECT_TRUE(HasPixel(img, all, SysRgb(COLOR_BTNHIGHLIGHT)));
}

TEST(ImageButton, TextColoursFromAWorkerLandOnTheUiThread)
{
    CImageButton b;
    std::thread([&] { EXPECT_EQ(b.SetTextColors(0x333399, true), 0); }).join();
    QApplication::processEvents();
    for (int index : {1, 3, 5}) {
        COLORREF c = 0;
        b.GetColor(index, &c);
        EXPECT_EQ(c, 0x333399u) << index;
    }
    COLORREF bk = 0;
    b.GetColor(0, &bk);
    EXPECT_EQ(bk, GetSysColor(COLOR_BTNFACE));
}

TEST(ImageButton, PressDurationAndDoubleClick)
{
    ButtonFixture f;
    CImageButton& b = *f.button;
    std::uint32_t now = 1000;
    b.SetTickSource([&] { return now; });
    QTest::mousePress(&b, Qt::LeftButton);
    now = 3500;
    QTest::mouseRelease(&b, Qt::LeftButton);
    EXPECT_EQ(b.GetPressDuration(), 2500u);

    // The tick count wraps like the system's.
    now = 0xFFFFFF00u;
    QTest::mousePress(&b, Qt::LeftButton);
    now = 0x100;
    QTest::mouseRelease(&b, Qt::LeftButton);
    EXPECT_EQ(b.GetPressDuration(), 0x200u);

    // What the window system delivers for a double click.
    QSignalSpy clicks(&b, &QAbstractButton::clicked);
    const QPointF at(5, 5);
    const QPointF global = b.mapToGlobal(at);
    auto send = [&](QEvent::Type type, Qt::MouseButtons held) {
        QMouseEvent e(type, at, global, Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(&b, &e);
    };
    send(QEvent::MouseButtonPress, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, Qt::NoButton);
    send(QEvent::MouseButtonPress, Qt::LeftButton);
    send(QEvent::MouseButtonDblClick, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, Qt::NoButton);
    EXPECT_EQ(clicks.count(), 2) << "a double click acts as two clicks";
}

TEST(ImageButton, ImagePlacementByAlignment)
{
    struct Case { int align; QString caption; bool pressed; QPoint at; };
    const Case cases[] = {
        {0, "", false, {15, 10}},   // centred both ways
        {0, "Go", false, {3, 10}},  // left margin, centred vertically
        {0, "Go", true, {4, 11}},   // pressed shift (1, 1)
        {1, "Go", false, {15, 3}},  // above the caption
        {2, "", false, {15, 0}},    // centred horizontally only
        {2, "Go", false, {27, 10}}, // right margin
        {3, "Go", false, {0, 0}},   // overlaid at the top-left
    };
    for (const auto& c : cases) {
        QWidget parent;
        auto* b = new CImageButton(c.caption, &parent);
        b->setGeometry(0, 0, 40, 30);
        b->SetColor(2, 0xFFFFFF, false);
        b->SetColor(0, 0xFFFFFF, false);
        b->SetBorder(false, false);
        b->SetColor(1, 0xFFFFFF, false);
        b->SetColor(3, 0xFFFFFF, false);
        b->SetAlign(c.align, false);
        ASSERT_EQ(b->SetBitmaps(Solid(10, 10, qRgb(255, 0, 0)), 0x00FF00), 0);
        parent.show();
        b->setDown(c.pressed);
        const QImage img = Grab(*b);
        EXPECT_EQ(img.pixel(c.at), qRgb(255, 0, 0)) << c.align << " " << c.caption.toStdString();
        EXPECT_EQ(img.pixel(c.at + QPoint(9, 9)), qRgb(255, 0, 0));
        if (c.at.x() > 0) {
            EXPECT_NE(img.pixel(c.at - QPoint(1, 0)), qRgb(255, 0, 0)) << "image starts exactly there";
        }
    }
}

TEST(ImageButton, WhichImageShowsInWhichState)
{
    const QRgb red = qRgb(255, 0, 0), blue = qRgb(0, 0, 255);
    {
        ButtonFixture f;
        CImageButton& b = *f.button;
        ASSERT_EQ(b.SetIcon(Solid(8, 8, red), Solid(8, 8, blue)), 0);
        EXPECT_EQ(Grab(b).pixel(40, 15), blue) << "normal icon when idle";
        ulv::test::SendEnter(b);
        EXPECT_EQ(Grab(b).pixel(40, 15), red) << "hover icon when hovered";
    }
    {
        ButtonFixture f;
        CImageButton& b = *f.button;
        ASSERT_EQ(b.SetIcon(Solid(8, 8, red), QImage()), 0);
        EXPECT_EQ(Grab(b).pixel(40, 15), red) << "no normal icon: the first everywhere";
        b.setDown(true);
        EXPECT_EQ(Grab(b).pixel(41, 16), red);
    }
    {
        // Grey and darker copies keep the transparent key colour.
        ButtonFixture f;
        CImageButton& b = *f.button;
        b.SetColor(2, 0x00FFFF, false);
        QImage src = Solid(8, 8, qRgb(200, 100, 50));
        src.setPixel(0, 0, qRgb(0, 255, 0));
        ASSERT_EQ(b.SetBitmaps(src, 0x00FF00, CImageButton::BTNST_AUTO_GRAY), 0);
        QImage img = Grab(b);
        EXPECT_EQ(img.pixel(40, 15), qRgb(124, 124, 124));
        EXPECT_EQ(img.pixel(36, 11), qRgb(255, 255, 0)) << "key colour is transparent";
        ASSERT_EQ(b.SetBitmaps(src, 0x00FF00, CImageButton::BTNST_AUTO_DARKER), 0);
        EXPECT_EQ(Grab(b).pixel(40, 15), qRgb(150, 75, 37));
        ulv::test::SendEnter(b);
        EXPECT_EQ(Grab(b).pixel(40, 15), qRgb(200, 100, 50));
    }
}

TEST(ImageButton, CheckBoxModeTogglesAndStaysPressedWithoutShift)
{
    ButtonFixture f;
    CImageButton& b = *f.button;
    b.SetCheckBoxMode(true);
    b.SetColor(0, 0x00C000, false);
    b.SetColor(2, 0xC00000, false);
    ASSERT_EQ(b.SetIcon(Solid(10, 10, qRgb(255, 0, 0)), Solid(10, 10, qRgb(0, 0, 255))), 0);
    QTest::mouseClick(&b, Qt::LeftButton);
    ulv::test::SendLeave(b);
    EXPECT_TRUE(b.GetCheck());
    const QImage img = Grab(b);
    EXPECT_EQ(img.pixel(75, 25), qRgb(0, 0xC0, 0)) << "drawn pressed while checked";
    EXPECT_EQ(img.pixel(35, 10), qRgb(255, 0, 0)) << "hover image, not shifted";
    QTest::mouseClick(&b, Qt::LeftButton);
    EXPECT_FALSE(b.GetCheck());
}

TEST(ImageButton, TransparentButtonShowsItsParent)
{
    QWidget parent;
    parent.resize(100, 60);
    QPalette pal = parent.palette();
    pal.setColor(QPalette::Window, ColorRefToQColor(0xCDCDCD));
    parent.setPalette(pal);
    parent.setAutoFillBackground(true);
    auto* b = new CImageButton(&parent);
    b->setGeometry(10, 10, 50, 30);
    EXPECT_EQ(b->CaptureBackground(nullptr), 5);
    QImage composed = Solid(100, 60, qRgb(1, 2, 3));
    EXPECT_EQ(b->CaptureBackground(&composed), 5) << "refused while not transparent";
    EXPECT_EQ(b->SetTransparent(true), 0);
    parent.show();
    EXPECT_EQ(Grab(*b).pixel(25, 15), ColorRefToRgb(0xCDCDCD));

    EXPECT_EQ(b->CaptureBackground(nullptr), 5);
    EXPECT_EQ(b->CaptureBackground(&composed), 0);
    EXPECT_EQ(Grab(*b).pixel(25, 15), qRgb(1, 2, 3));
}

TEST(ImageButton, MissingOrBrokenPicturesNeverCrash)
{
    ButtonFixture f;
    CImageButton& b = *f.button;
    EXPECT_EQ(b.SetBitmaps(987654, 0), 0);
    EXPECT_EQ(b.SetIcon(987654, CImageButton::BTNST_AUTO_GRAY), 0);
    EXPECT_EQ(b.SizeToImage(), 0);
    Grab(b);

    QTemporaryDir dir;
    const QString broken = dir.filePath("broken.png");
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a picture");
    file.close();
    ResourceStatus st = ResourceStatus::Loaded;
    EXPECT_TRUE(LoadImageFile(broken, &st).isNull());
    EXPECT_EQ(st, ResourceStatus::Unreadable);
    LoadImageFile(dir.filePath("none.png"), &st);
    EXPECT_EQ(st, ResourceStatus::Missing);

    CImageButton zero(&f.parent);
    zero.setGeometry(0, 0, 0, 0);
    zero.SetIcon(Solid(8, 8, 0));
    EXPECT_TRUE(zero.grab().isNull() || zero.grab().width() == 0);
}

TEST(ImageButton, HoverAndClickSoundsGoToThePlayer)
{
    QStringList played;
    SetSoundPlayer([&](const QString& s, bool) { played << s; });
    {
        ButtonFixture f;
        CImageButton& b = *f.button;
        b.SetSound(337, false, true);
        b.SetSound("/tmp/click.wav", true, false);
        ulv::test::SendEnter(b);
        QTest::mouseClick(&b, Qt::LeftButton);
    }
    SetSoundPlayer({});
    EXPECT_EQ(played, (QStringList{":/sounds/337.wav", "/tmp/click.wav"}));
}

TEST(ImageButton, SizeToImageFitsTheButtonToItsPicture)
{
    ButtonFixture f;
    CImageButton& b = *f.button;
    b.SetBitmaps(Solid(33, 21, qRgb(9, 9, 9)), 0);
    EXPECT_EQ(b.SizeToImage(), 1);
    EXPECT_EQ(b.size(), QSize(33, 21));
}

TEST(ImageButton, EveryWayOfLeavingClearsTheHoverWhateverAlwaysTrackSays)
{
    struct Case {
        const char* name;
        std::function<void(CImageButton&)> leave;
    };
    const Case cases[] = {
        {"mouse leave", [](CImageButton& b) { ulv::test::SendLeave(b); }},
        {"focus lost",
            [](CImageButton& b) {
                QFocusEvent e(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
                QApplication::sendEvent(&b, &e);
            }},
        // Its window is no longer the active one (another program, a dialog).
        {"deactivation",
            [](CImageButton& b) {
                ASSERT_FALSE(b.isActiveWindow());
                QEvent e(QEvent::ActivationChange);
                QApplication::sendEvent(&b, &e);
            }},
        {"disabled", [](CImageButton& b) { b.setEnabled(false); }},
    };
    for (bool alwaysTrack : {true, false}) {
        for (const Case& c : cases) {
            ButtonFixture f;
            CImageButton& b = *f.button;
            b.SetAlwaysTrack(alwaysTrack);
            ulv::test::SendEnter(b);
            if (!alwaysTrack && !b.IsHovered())
                continue; // an inactive window's button does not light without always-track
            ASSERT_TRUE(b.IsHovered()) << c.name;
            c.leave(b);
            EXPECT_FALSE(b.IsHovered()) << c.name << " always-track " << alwaysTrack;
        }
    }
}
