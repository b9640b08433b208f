#include "ControlTestUtil.h"
#include "ui/controls/CAccelText.h"
#include "ui/controls/CColorPickerButton.h"
#include "ui/controls/CColorStatic.h"
#include "ui/controls/CDigitsOnlyEdit.h"
#include "ui/controls/CFontButton.h"
#include "ui/controls/CLogFileEdit.h"
#include "ui/controls/CTransparentLabel.h"
#include "ui/controls/ColorPalettePopup.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace ulv;
using ulv::test::Grab;
using ulv::test::HasPixel;
using ulv::test::Solid;

namespace {

void SendMouse(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButtons held)
{
    QMouseEvent e(type, QPointF(pos), QPointF(w->mapToGlobal(pos)), Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

} // namespace

TEST(FontButton, StatePictureAndCaptionRules)
{
    QWidget parent;
    auto* b = new CFontButton("Next", &parent);
    b->setGeometry(0, 0, 40, 20);
    parent.show();
    ASSERT_EQ(b->SetBitmaps(Solid(40, 20, qRgb(200, 0, 0))), 1);
    QImage img = Grab(*b);
    EXPECT_EQ(img.pixel(0, 0), qRgb(200, 0, 0));
    b->SetTextColors(0x000000, 0x000000, 0x000000);
    EXPECT_FALSE(HasPixel(img, img.rect(), qRgb(0, 0, 0))) << "no caption unless switched on";

    b->setDown(true);
    img = Grab(*b);
    EXPECT_NE(img.pixel(0, 0), qRgb(200, 0, 0)) << "the normal picture moves by (1, 1)";
    EXPECT_EQ(img.pixel(1, 1), qRgb(200, 0, 0));
    b->setDown(false);

    b->setEnabled(false);
    img = Grab(*b);
    EXPECT_TRUE(HasPixel(img, img.rect(), SysRgb(COLOR_BTNSHADOW))) << "greyed";
    b->setEnabled(true);

    EXPECT_EQ(b->SetTextAlign(3), 0);
    EXPECT_EQ(b->SetTextAlign(1), 1);
    b->SetBold(true).SetPointSize(12);
    EXPECT_EQ(b->CaptionFont().weight(), QFont::Bold);
    EXPECT_EQ(b->CaptionFont().pointSize(), 12);

    EXPECT_EQ(b->SizeToBitmap(), 1);
    CFontButton none;
    EXPECT_EQ(none.SizeToBitmap(), 0);
    EXPECT_EQ(none.SetBitmaps(987654), 1) << "a missing picture leaves it empty";
}

TEST(FontButton, HoverAndPressedPictures)
{
    QWidget parent;
    auto* b = new CFontButton(&parent);
    b->setGeometry(0, 0, 20, 20);
    parent.show();
    b->SetBitmaps(Solid(20, 20, qRgb(1, 1, 1)), Solid(20, 20, qRgb(2, 2, 2)), Solid(20, 20, qRgb(3, 3, 3)));
    ulv::test::SendEnter(*b);
    EXPECT_EQ(Grab(*b).pixel(5, 5), qRgb(3, 3, 3));
    b->setDown(true);
    EXPECT_EQ(Grab(*b).pixel(0, 0), qRgb(2, 2, 2));
    b->setDown(false);
    ulv::test::SendLeave(*b);
    EXPECT_EQ(Grab(*b).pixel(5, 5), qRgb(1, 1, 1));
}

TEST(ColorPicker, PaletteCellsGridAndText)
{
    struct Case { int col, row; COLORREF color; };
    const Case cases[] = {
        {0, 0, Rgb(255, 255, 255)}, {0, 10, Rgb(23, 23, 23)}, {0, 11, Rgb(0, 0, 0)},
        {1, 0, Rgb(0, 0, 0)},       {2, 0, Rgb(0, 51, 0)},    {1, 1, Rgb(0, 0, 51)},
        {7, 0, Rgb(51, 0, 0)},      {13, 5, Rgb(102, 0, 255)}, {1, 6, Rgb(153, 0, 0)},
        {18, 11, Rgb(255, 255, 255)}, {12, 8, Rgb(204, 255, 102)},
    };
    ColorPalettePopup palette(0, QPoint(), nullptr);
    palette.show();
    const QImage img = Grab(palette);
    ASSERT_EQ(img.size(), QSize(191, 150));
    for (const auto& c : cases) {
        const int cell = c.col + c.row * 19;
        EXPECT_EQ(ColorPalettePopup::CellColor(cell), c.color) << c.col << "," << c.row;
        EXPECT_EQ(img.pixel(c.col * 10 + 4, c.row * 10 + 4), ColorRefToRgb(c.color)) << c.col << "," << c.row;
        EXPECT_EQ(ColorPalettePopup::CellAt(QPoint(c.col * 10 + 4, c.row * 10 + 4)), cell);
    }
    EXPECT_EQ(img.pixel(9, 5), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(5, 19), qRgb(0, 0, 0));
    EXPECT_EQ(ColorPalettePopup::CellAt(QPoint(9, 5)), -1);
    EXPECT_EQ(ColorPalettePopup::CellAt(QPoint(5, 125)), -1);

    CColorPickerButton b;
    QLabel buddy;
    EXPECT_EQ(b.SetBuddy(&buddy), &buddy);
    EXPECT_EQ(b.GetColor(), GetSysColor(COLOR_BTNFACE));
    b.SetColor(0x0000FF);
    EXPECT_EQ(b.ColorText(), "#FF0000");
    EXPECT_EQ(buddy.text(), "#FF0000");
    b.SetColor(0x336699);
    QString text;
    b.GetColorText(text);
    EXPECT_EQ(text, "#996633");
}

TEST(ColorPicker, WellShowsTheColour)
{
    QWidget parent;
    auto* b = new CColorPickerButton(&parent);
    b->setGeometry(0, 0, 40, 20);
    parent.show();
    b->SetColor(0x00FF00);
    const QImage img = Grab(*b);
    EXPECT_EQ(img.pixel(10, 8), qRgb(0, 255, 0));
    EXPECT_EQ(img.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(img.pixel(39, 19), SysRgb(COLOR_3DDKSHADOW));
    EXPECT_EQ(img.pixel(2, 5), SysRgb(COLOR_3DDKSHADOW));
    // The notch's arrow: lines of 5, 3 and 1 pixels.
    EXPECT_EQ(img.pixel(32, 14), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(36, 14), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(34, 16), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(33, 16), SysRgb(COLOR_BTNFACE));
}

TEST(ColorPicker, DragOntoACellChoosesItAndTheSameColourSendsNothing)
{
    QWidget parent;
    parent.resize(300, 300);
    auto* b = new CColorPickerButton(&parent);
    b->setGeometry(10, 10, 40, 20);
    parent.show();
    QSignalSpy changed(b, &CColorPickerButton::ColorChanged);

    SendMouse(b, QEvent::MouseButtonPress, QPoint(5, 5), Qt::LeftButton);
    ColorPalettePopup* palette = b->Palette();
    ASSERT_NE(palette, nullptr);
    const QPoint cell(2 * 10 + 4, 3 * 10 + 4);
    SendMouse(palette, QEvent::MouseMove, cell, Qt::LeftButton);
    EXPECT_EQ(palette->CurrentColor(), ColorPalettePopup::CellColor(2 + 3 * 19));
    SendMouse(palette, QEvent::MouseButtonRelease, cell, Qt::NoButton);
    QApplication::processEvents();
    EXPECT_FALSE(b->IsPaletteOpen());
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(b->GetColor(), Rgb(0, 51, 153));

    // Press and release without moving keeps it open; a click on the same
    // colour then closes it without a change.
    SendMouse(b, QEvent::MouseButtonPress, QPoint(5, 5), Qt::LeftButton);
    palette = b->Palette();
    ASSERT_NE(palette, nullptr);
    const QPoint pressGlobal = b->mapToGlobal(QPoint(5, 5));
    {
        QMouseEvent e(QEvent::MouseButtonRelease, QPointF(palette->mapFromGlobal(pressGlobal)), QPointF(pressGlobal),
                      Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(palette, &e);
    }
    EXPECT_TRUE(b->IsPaletteOpen());
    SendMouse(palette, QEvent::MouseButtonPress, cell, Qt::LeftButton);
    SendMouse(palette, QEvent::MouseButtonRelease, cell, Qt::NoButton);
    QApplication::processEvents();
    EXPECT_FALSE(b->IsPaletteOpen());
    EXPECT_EQ(changed.count(), 1);
}

TEST(ColorPicker, PaletteStaysOnTheScreen)
{
    const QRect screen(0, 0, 800, 600);
    struct Case { QRect button; QPoint at; };
    const Case cases[] = {
        {QRect(100, 100, 40, 20), QPoint(100, 119)},
        {QRect(780, 100, 40, 20), QPoint(609, 119)},   // shifted left
        {QRect(-30, 100, 40, 20), QPoint(0, 119)},
        {QRect(100, 550, 40, 20), QPoint(100, 419)},  // above the button near the bottom
    };
    for (const auto& c : cases)
        EXPECT_EQ(CColorPickerButton::PalettePosition(c.button, screen), c.at) << c.button.x() << "," << c.button.y();
}

TEST(Labels, TransparentLabelShowsItsParentAndColorStaticItsBox)
{
    QWidget parent;
    parent.resize(200, 60);
    QPalette pal = parent.palette();
    pal.setColor(QPalette::Window, ColorRefToQColor(0xCDCDCD));
    parent.setPalette(pal);
    parent.setAutoFillBackground(true);
    auto* label = new CTransparentLabel("48.1173", &parent);
    label->setGeometry(10, 10, 100, 20);
    auto* stat = new CColorStatic("WWW", &parent);
    stat->setGeometry(120, 10, 60, 20);
    QFont f = stat->font();
    f.setPixelSize(18);
    f.setBold(true);
    stat->setFont(f);
    parent.show();

    EXPECT_EQ(QFontInfo(label->font()).family(), "Liberation Sans");
    const QImage img = Grab(parent);
    EXPECT_EQ(img.pixel(108, 28), ColorRefToRgb(0xCDCDCD)) << "no box of its own";
    EXPECT_TRUE(HasPixel(img, QRect(10, 10, 60, 20), qRgb(0, 0, 0)));
    EXPECT_EQ(img.pixel(178, 28), ColorRefToRgb(0xD8E9EC));
    EXPECT_TRUE(HasPixel(img, QRect(120, 10, 60, 20), qRgb(0, 0, 255)));

    // A shorter text leaves nothing of the old one behind.
    label->setText("1");
    const QImage after = Grab(parent);
    EXPECT_FALSE(HasPixel(after, QRect(40, 10, 60, 20), qRgb(0, 0, 0)));
}

TEST(LogFileEdit, DoubleClickOpensTheNamedLog)
{
    struct Case { QString text; QString opened; };
    const Case cases[] = {
        {" Log file: /home/u/.local/share/Ulvenscope/log/COM_20260101.txt",
         "/home/u/.local/share/Ulvenscope/log/COM_20260101.txt"},
        {" Log file:    /tmp/a b.txt   ", "/tmp/a b.txt"},
        {"No log", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        CLogFileEdit edit;
        QStringList opened;
        edit.SetOpener([&](const QString& p) { opened << p; });
        edit.setText(c.text);
        edit.show();
        QTest::mouseDClick(&edit, Qt::LeftButton);
        EXPECT_EQ(opened, c.opened.isEmpty() ? QStringList() : QStringList{c.opened}) << c.text.toStdString();
    }
    CLogFileEdit edit;
    EXPECT_TRUE(edit.isReadOnly());
    edit.SetBkColor(0xD8E9EC);
    EXPECT_EQ(edit.palette().color(QPalette::Base).rgb(), ColorRefToRgb(0xD8E9EC));
}

TEST(DigitsOnlyEdit, KeepsDigitsAndEditingKeysOnly)
{
    CDigitsOnlyEdit edit;
    edit.show();
    QTest::keyClicks(&edit, "12a 3\t4");
    EXPECT_EQ(edit.text(), "1234");
    QTest::keyClick(&edit, Qt::Key_Exclam, Qt::ShiftModifier);
    QTest::keyClick(&edit, Qt::Key_5, Qt::KeypadModifier);
    EXPECT_EQ(edit.text(), "12345");
    QTest::keyClick(&edit, Qt::Key_Left);
    QTest::keyClick(&edit, Qt::Key_Backspace);
    EXPECT_EQ(edit.text(), "1235");
    QTest::keyClick(&edit, Qt::Key_Delete);
    EXPECT_EQ(edit.text(), "123");
    edit.setText("");
    edit.insert("80a");
    EXPECT_EQ(edit.text(), "") << "pasted text is held to digits too";
}

TEST(AccelText, ShortcutTexts)
{
    struct Case { ACCEL accel; QString text; };
    const Case cases[] = {
        {{FVIRTKEY | FCONTROL | FSHIFT, 'S', 1}, "Ctrl+Shift+S"},
        {{FVIRTKEY | FALT, 0x73, 2}, "Alt+F4"},
        {{FVIRTKEY | FCONTROL, 0x2E, 3}, "Ctrl+Delete"},
        {{FVIRTKEY, 0x21, 3}, "Page Up"},
        {{FCONTROL, 'q', 4}, "Ctrl+q"},
        {{0, 27, 5}, ""},
    };
    for (const auto& c : cases) {
        QString out = "junk";
        CAccelText(&c.accel).GetKeyText(out);
        EXPECT_EQ(out, c.text);
    }
    QString none = "x";
    CAccelText().GetKeyText(none);
    EXPECT_EQ(none, "");

    QString keys;
    CAccelText::FormatKeyName(keys, 0x11, false);
    CAccelText::FormatKeyName(keys, 0x22, false);
    CAccelText::FormatKeyName(keys, 'K', true);
    EXPECT_EQ(keys, "Ctrl+Page down+K");
}
