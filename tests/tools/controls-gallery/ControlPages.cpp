// Gallery pages of the buttons, combos, progress bars, title strip, pickers,
// labels and edits.
#include "GalleryRegistry.h"

#include "ui/controls/CColorPickerButton.h"
#include "ui/controls/CColorStatic.h"
#include "ui/controls/CDigitsOnlyEdit.h"
#include "ui/controls/CFlatCombo.h"
#include "ui/controls/CFlatComboBox.h"
#include "ui/controls/CFontButton.h"
#include "ui/controls/CImageButton.h"
#include "ui/controls/CLogFileEdit.h"
#include "ui/controls/CPageTitleStrip.h"
#include "ui/controls/CSkinButton.h"
#include "ui/controls/CSkinDialog.h"
#include "ui/controls/CTextProgressCtrl.h"
#include "ui/controls/CTransparentLabel.h"
#include "ui/controls/ColorPalettePopup.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

using namespace ulv;
using ulv::gallery::DialogFace;
using ulv::gallery::Hover;
using ulv::gallery::Labelled;

namespace {

QImage Arrow(QRgb color)
{
    QImage img(16, 16, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor::fromRgb(color));
    const QPointF pts[3] = {{3, 2}, {13, 8}, {3, 14}};
    p.drawPolygon(pts, 3);
    return img;
}

CSkinButton* Skin(const QString& text, COLORREF tint = 0xFF3737)
{
    auto* b = new CSkinButton(text);
    b->setFixedSize(75, 23);
    b->BuildSkin(4, 8, 20, 5, tint);
    return b;
}

void Add(QGridLayout* grid, QWidget* page, int row, int col, const QString& caption, QWidget* control)
{
    grid->addWidget(Labelled(caption, control, page), row, col);
}

gallery::Page imageButtons("image-buttons", [] {
    QWidget* page = DialogFace();
    auto* grid = new QGridLayout(page);
    const char* names[] = {"normal", "hovered", "pressed", "focused", "disabled", "not flat"};
    for (int i = 0; i < 6; ++i) {
        auto* b = new CImageButton(QStringLiteral("Send"));
        b->setFixedSize(80, 30);
        b->SetIcon(Arrow(qRgb(0, 120, 0)), Arrow(qRgb(90, 90, 90)));
        b->SetColor(CImageButton::BTNST_COLOR_BK_FOCUS, 0xE0E0FF, false);
        b->SetTextColors(0x333399);
        Add(grid, page, 0, i, QString::fromLatin1(names[i]), b);
        switch (i) {
        case 1: Hover(b); break;
        case 2: Hover(b); b->setDown(true); break;
        case 3: b->SetFlatFocus(true); b->setFocus(); break;
        case 4: b->setEnabled(false); break;
        case 5: b->SetFlat(false); break;
        default: break;
        }
    }
    auto* check = new CImageButton(QStringLiteral("Check"));
    check->SetCheckBoxMode(true);
    check->SetCheck(true);
    check->setFixedSize(80, 30);
    Add(grid, page, 1, 0, QStringLiteral("check box, checked"), check);
    auto* transparent = new CImageButton(QStringLiteral("Over"));
    transparent->setFixedSize(80, 30);
    transparent->SetTransparent(true);
    Add(grid, page, 1, 1, QStringLiteral("transparent"), transparent);
    auto* shifted = new CImageButton(QStringLiteral("Shift"));
    shifted->setFixedSize(80, 30);
    shifted->SetColor(CImageButton::BTNST_COLOR_BK_OUT, 0xCDCDCD);
    shifted->ShiftColor(CImageButton::BTNST_COLOR_BK_OUT, 30);
    Add(grid, page, 1, 2, QStringLiteral("ShiftColor +30"), shifted);
    auto* right = new CImageButton(QStringLiteral("Next"));
    right->setFixedSize(80, 30);
    right->SetIcon(Arrow(qRgb(200, 0, 0)));
    right->SetAlign(CImageButton::ST_ALIGN_HORIZ_RIGHT);
    Add(grid, page, 1, 3, QStringLiteral("image right"), right);
    auto* above = new CImageButton(QStringLiteral("Up"));
    above->setFixedSize(80, 40);
    above->SetIcon(Arrow(qRgb(0, 0, 200)));
    above->SetAlign(CImageButton::ST_ALIGN_VERT);
    Add(grid, page, 1, 4, QStringLiteral("image above"), above);
    return page;
});

gallery::Page skinButtons("skin-buttons", [] {
    QWidget* page = DialogFace();
    auto* grid = new QGridLayout(page);
    auto* normal = Skin(QStringLiteral("Connect"));
    Add(grid, page, 0, 0, QStringLiteral("normal"), normal);
    auto* hover = Skin(QStringLiteral("Connect"));
    Hover(hover);
    Add(grid, page, 0, 1, QStringLiteral("hovered"), hover);
    auto* pressed = Skin(QStringLiteral("Connect"));
    Hover(pressed);
    pressed->setDown(true);
    Add(grid, page, 0, 2, QStringLiteral("pressed"), pressed);
    auto* disabled = Skin(QStringLiteral("Connect"));
    disabled->setEnabled(false);
    Add(grid, page, 0, 3, QStringLiteral("disabled"), disabled);
    auto* beige = Skin(QStringLiteral("Read"), 0xD8E9EC);
    Add(grid, page, 0, 4, QStringLiteral("tint 0xD8E9EC"), beige);
    const char* types[] = {"noise", "diagonal", "horizontal", "vertical", "bump", "vertical bump",
                           "soft bump", "hard bump", "brushed"};
    for (int type = 0; type <= 8; ++type) {
        auto* b = new CSkinButton(QStringLiteral("Type %1").arg(type));
        b->setFixedSize(75, 23);
        b->BuildSkin(unsigned(type), 8, 20, 5, 0xFF3737);
        Add(grid, page, 1 + type / 5, type % 5, QString::fromLatin1(types[type]), b);
    }
    auto* font = new CFontButton(QStringLiteral("Guide"));
    QImage face(75, 23, QImage::Format_RGB32);
    face.fill(qRgb(70, 110, 170));
    font->SetBitmaps(face);
    font->SetShowText(true).SetBold(true);
    font->SetTextColors(0xFFFFFF, 0xFFFFFF, 0x00FFFF);
    font->setFixedSize(75, 23);
    Add(grid, page, 3, 0, QStringLiteral("font button"), font);
    return page;
});

gallery::Page combos("combos", [] {
    QWidget* page = DialogFace();
    auto* grid = new QGridLayout(page);
    const char* names[] = {"flat", "raised (hover)", "pressed", "disabled"};
    for (int i = 0; i < 4; ++i) {
        auto* c = new CFlatComboBox;
        c->addItems({"115200", "57600", "9600"});
        c->setFixedSize(110, 22);
        Add(grid, page, 0, i, QString::fromLatin1(names[i]), c);
        if (i == 1)
            Hover(c);
        if (i == 2) {
            Hover(c);
            QMouseEvent press(QEvent::MouseButtonPress, QPointF(100, 10), QPointF(100, 10), Qt::LeftButton,
                              Qt::LeftButton, Qt::NoModifier);
            // Held down: the list opens in its own window, the combo shows the pressed edge.
            QApplication::sendEvent(c, &press);
        }
        if (i == 3)
            c->setEnabled(false);
    }
    auto* editable = new CFlatComboBox;
    editable->setEditable(true);
    editable->addItems({"CMNET", "CMWAP"});
    editable->setFixedSize(110, 22);
    Add(grid, page, 1, 0, QStringLiteral("editable"), editable);
    auto* old = new CFlatCombo;
    old->addItems({"COM1"});
    old->setFixedSize(110, 22);
    Add(grid, page, 1, 1, QStringLiteral("CFlatCombo"), old);
    return page;
});

gallery::Page progress("progress", [] {
    QWidget* page = DialogFace();
    auto* grid = new QGridLayout(page);
    auto* plain = new CTextProgressCtrl;
    plain->setFixedSize(300, 18);
    plain->SetPos(40);
    Add(grid, page, 0, 0, QStringLiteral("defaults at 40"), plain);
    auto* send = new CTextProgressCtrl;
    send->setFixedSize(300, 18);
    send->SetBarColors(0x98FB98, 0x009300);
    send->SetBkColor(0xD8E9EC);
    send->SetTextColor(0);
    send->SetShowText(true);
    send->SetCaption(QStringLiteral("%1 Bytes").arg(2048));
    send->SetPos(65);
    Add(grid, page, 1, 0, QStringLiteral("send panel at 65"), send);
    auto* mms = new CTextProgressCtrl;
    mms->setFixedSize(300, 18);
    mms->SetBarColors(0x0000FF, 0x009300);
    mms->SetBkColor(0x3333FF);
    mms->SetTextColor(0);
    mms->SetShowText(true);
    mms->SetCaption(QStringLiteral("Sending"));
    mms->SetPos(30);
    Add(grid, page, 2, 0, QStringLiteral("MMS page at 30"), mms);
    auto* full = new CTextProgressCtrl;
    full->setFixedSize(300, 18);
    full->SetPos(100);
    Add(grid, page, 3, 0, QStringLiteral("at the upper bound: empty face"), full);
    return page;
});

gallery::Page titleStrip("title-strip", [] {
    auto* page = new QWidget;
    page->setFixedSize(640, 90);
    auto* strip = new CPageTitleStrip;
    strip->Create(0, 0, page);
    strip->SetTitle(QStringLiteral("Home"));
    strip->SetSubtitle(QStringLiteral("Step 3: AT+CSQ"));
    strip->SetSignalLevel(0, 21);
    strip->show();
    auto* ringing = new CPageTitleStrip;
    ringing->Create(0, 40, page);
    ringing->SetTitle(QStringLiteral("Voice Call"));
    ringing->SetSignalBars(5);
    ringing->OnReceivedLine(QStringLiteral("RING"));
    ringing->OnTimer(CPageTitleStrip::kBlinkTimer);
    ringing->show();
    return page;
});

gallery::Page pickers("pickers", [] {
    QWidget* page = DialogFace();
    auto* grid = new QGridLayout(page);
    auto* picker = new CColorPickerButton;
    picker->setFixedSize(40, 20);
    auto* text = new QLabel;
    picker->SetBuddy(text);
    picker->SetColor(0x3399FF);
    Add(grid, page, 0, 0, QStringLiteral("colour picker"), picker);
    Add(grid, page, 0, 1, QStringLiteral("its text"), text);
    auto* palette = new ColorPalettePopup(0x3399FF, QPoint(), nullptr);
    palette->setWindowFlags(Qt::Widget);
    Add(grid, page, 1, 0, QStringLiteral("palette"), palette);
    return page;
});

gallery::Page labelsEdits("labels-edits", [] {
    QWidget* page = DialogFace();
    auto* grid = new QGridLayout(page);
    auto* value = new CTransparentLabel(QStringLiteral("48.1173"));
    value->setFixedSize(120, 18);
    Add(grid, page, 0, 0, QStringLiteral("transparent label"), value);
    auto* stat = new CColorStatic(QStringLiteral("colour static"));
    stat->setFixedSize(120, 18);
    Add(grid, page, 0, 1, QStringLiteral("CColorStatic"), stat);
    auto* log = new CLogFileEdit;
    log->SetBkColor(0xD8E9EC);
    log->setText(QStringLiteral(" Log file: /home/user/.local/share/Ulvenscope/log/ttyUSB2.txt"));
    log->setFixedSize(360, 20);
    Add(grid, page, 1, 0, QStringLiteral("log-file box"), log);
    auto* digits = new CDigitsOnlyEdit;
    digits->setText(QStringLiteral("6003"));
    digits->setFixedSize(80, 20);
    Add(grid, page, 1, 1, QStringLiteral("digits only"), digits);
    return page;
});

gallery::Page skinDialog("skin-dialog", [] {
    auto* dialog = new CSkinDialog;
    QImage back(60, 40, QImage::Format_RGB32);
    for (int y = 0; y < back.height(); ++y)
        for (int x = 0; x < back.width(); ++x)
            back.setPixel(x, y, qRgb(160 + x, 170 + y * 2, 200));
    dialog->SetBitmap(back);
    dialog->SetBitmapMode(0);
    dialog->setFixedSize(300, 120);
    auto* b = Skin(QStringLiteral("OK"));
    b->setParent(dialog);
    b->move(200, 80);
    return dialog;
});

} // namespace
