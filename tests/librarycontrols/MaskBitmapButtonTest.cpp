#include "ui/controls/CMaskBitmapButton.h"

#include "../controls/ControlTestUtil.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

using namespace ulv;

namespace {

QImage Face(QRgb color, QSize size = {40, 20})
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(color);
    return img;
}

constexpr QRgb kNormal = 0xFF2040A0;
constexpr QRgb kPressed = 0xFF102050;
constexpr QRgb kHover = 0xFF40A0FF;

struct Skinned {
    explicit Skinned(unsigned style = 0)
    {
        host.resize(200, 100);
        button = new CMaskBitmapButton(QString(), &host);
        button->PreSubclassWindow(style);
        button->setGeometry(10, 10, 40, 20);
        button->SetSkin(Face(kNormal), Face(kPressed), Face(kHover), QImage(), QImage(), QImage());
        host.show();
        QApplication::processEvents();
    }
    QRgb Centre() { return test::Grab(*button).pixel(20, 10); }
    QWidget host;
    CMaskBitmapButton* button;
};

TEST(MaskBitmapButton, KindComesFromTheStyle)
{
    const struct {
        unsigned style;
        int kind;
    } cases[] = {{0x0, 0}, {0x3, 2}, {0x9, 4}, {0x2, 0}, {0xB, 2}};
    for (const auto& c : cases) {
        CMaskBitmapButton b;
        b.PreSubclassWindow(c.style);
        EXPECT_EQ(b.Kind(), c.kind) << c.style;
    }
}

TEST(MaskBitmapButton, FacesFollowTheState)
{
    Skinned s;
    EXPECT_EQ(s.Centre(), kNormal);
    test::SendEnter(*s.button);
    EXPECT_EQ(s.Centre(), kHover);
    QTest::mousePress(s.button, Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_EQ(s.Centre(), kPressed);
    QTest::mouseMove(s.button, QPoint(100, 60));
    EXPECT_EQ(s.Centre(), kNormal) << "dragged off: released face";
    QTest::mouseRelease(s.button, Qt::LeftButton, {}, QPoint(100, 60));
    s.button->setEnabled(false);
    EXPECT_EQ(s.Centre(), kNormal) << "no disabled face: the normal one";
}

TEST(MaskBitmapButton, CheckBoxTogglesOnlyOnReleaseOverIt)
{
    Skinned s(0x3);
    QTest::mouseClick(s.button, Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_TRUE(s.button->GetCheck());
    EXPECT_EQ(s.Centre(), kPressed) << "checked shows the pressed face";
    QTest::mousePress(s.button, Qt::LeftButton, {}, QPoint(20, 10));
    QTest::mouseMove(s.button, QPoint(100, 60));
    QTest::mouseRelease(s.button, Qt::LeftButton, {}, QPoint(100, 60));
    EXPECT_TRUE(s.button->GetCheck()) << "released off the button";
    // A double click is two clicks: it toggles twice.
    QTest::mouseDClick(s.button, Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_TRUE(s.button->GetCheck());
    QTest::keyClick(s.button, Qt::Key_Space);
    EXPECT_FALSE(s.button->GetCheck());
}

TEST(MaskBitmapButton, RadioButtonsUncheckEachOther)
{
    QWidget host;
    std::vector<CMaskBitmapButton*> radios;
    for (int i = 0; i < 3; ++i) {
        radios.push_back(new CMaskBitmapButton(QString::number(i), &host));
        radios.back()->PreSubclassWindow(0x9);
    }
    radios[0]->SetCheck(true);
    radios[2]->SetCheck(true);
    EXPECT_FALSE(radios[0]->GetCheck());
    EXPECT_TRUE(radios[2]->GetCheck());
    auto* push = new CMaskBitmapButton("push", &host);
    push->SetCheck(true);
    EXPECT_FALSE(push->GetCheck()) << "a push button is never checked";
}

TEST(MaskBitmapButton, TheMaskShapesTheWindow)
{
    QImage mask(10, 4, QImage::Format_RGB32);
    mask.fill(Qt::white);
    for (int x = 2; x < 5; ++x)
        mask.setPixel(x, 1, qRgb(0, 0, 0));
    mask.setPixel(7, 1, qRgb(10, 10, 10));
    mask.setPixel(0, 3, qRgb(255, 255, 254));
    const QRegion region = CMaskBitmapButton::RegionFromMask(mask);
    EXPECT_EQ(region, QRegion(QRect(2, 1, 3, 1)) + QRect(7, 1, 1, 1) + QRect(0, 3, 1, 1));

    Skinned s;
    EXPECT_TRUE(s.button->SetSkin(Face(kNormal), QImage(), QImage(), QImage(), QImage(), mask, 0));
    EXPECT_EQ(s.button->size(), QSize(10, 4)) << "draw mode 0 takes the mask's size";
    EXPECT_EQ(s.button->mask(), region);
    EXPECT_FALSE(s.button->SetSkin(Face(kNormal), QImage(), QImage(), QImage(), QImage(), QImage(), 7, 0, -3));
    EXPECT_EQ(s.button->DrawMode(), CMaskBitmapButton::kTile);
    EXPECT_EQ(s.button->Margin(), 0);
    EXPECT_TRUE(s.button->mask().isEmpty());
    s.button->SetSkin(Face(kNormal), QImage(), QImage(), QImage(), QImage(), QImage(), -1);
    EXPECT_EQ(s.button->DrawMode(), CMaskBitmapButton::kNormal);
}

TEST(MaskBitmapButton, TextColourAndTooltip)
{
    Skinned s;
    EXPECT_EQ(s.button->SetTextColor(Rgb(255, 0, 0)), GetSysColor(COLOR_BTNTEXT));
    EXPECT_EQ(s.button->SetTextColor(0), Rgb(255, 0, 0));
    s.button->SetToolTipText("Skinned");
    EXPECT_EQ(s.button->toolTip(), "Skinned");
}

} // namespace
