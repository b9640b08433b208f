// Gallery pages of the library controls no dialog of the program uses: the
// grid window and the further small controls.
#include "GalleryRegistry.h"

#include "ui/controls/CBrushReBarCtrl.h"
#include "ui/controls/CFlatIPAddressCtrl.h"
#include "ui/controls/CGridWnd.h"
#include "ui/controls/CMaskBitmapButton.h"
#include "ui/controls/CMaskedEdit.h"
#include "ui/controls/CPageTabCtrl.h"
#include "ui/controls/WinLook.h"

#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

using namespace ulv;

namespace {

// A small spreadsheet-like grid: lettered columns, numbered rows.
class SampleGrid : public CGridWnd {
public:
    int GetFixedRowCount() override { return 1; }
    int GetFixedColumnCount() override { return 1; }
    int GetRowCount() override { return 30; }
    int GetColumnCount() override { return 8; }
    int GetDefaultRowHeight() override { return 20; }
    int GetDefaultColumnWidth() override { return 64; }
    void DrawCornerCell(QPainter& p, int, int, const QRect& r, bool) override { Header(p, r, QString(), false); }
    void DrawColumnHeaderCell(QPainter& p, int, int column, const QRect& r, bool selected) override
    {
        Header(p, r, QString(QChar('A' + column)), selected);
    }
    void DrawRowHeaderCell(QPainter& p, int row, int, const QRect& r, bool selected) override
    {
        Header(p, r, QString::number(row + 1), selected);
    }
    void DrawCell(QPainter& p, int row, int column, const QRect& r, bool selected) override
    {
        p.fillRect(r, selected ? QColor(SysRgb(COLOR_HIGHLIGHT)) : QColor(Qt::white));
        p.setPen(QColor(0xD0, 0xD0, 0xD0));
        p.drawLine(r.right(), r.top(), r.right(), r.bottom());
        p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
        p.setPen(selected ? Qt::white : Qt::black);
        p.drawText(r.adjusted(3, 0, -3, 0), Qt::AlignRight | Qt::AlignVCenter, QString::number((row + 1) * (column + 1)));
    }
    void OnInsertRow(int) override {}
    void OnInsertColumn(int) override {}
    void OnCellEnter(int, int) override {}
    void OnCellRightClick(int, int) override {}
    void OnHeaderDblClk(int, int, int, int) override {}
    void OnColumnResized(int, int) override {}

private:
    static void Header(QPainter& p, const QRect& r, const QString& text, bool selected)
    {
        p.fillRect(r, QColor(SysRgb(selected ? COLOR_BTNSHADOW : COLOR_BTNFACE)));
        Draw3dRect(p, r, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));
        p.setPen(Qt::black);
        p.drawText(r, Qt::AlignCenter, text);
    }
};

gallery::Page gridWindow("grid-window", [] {
    QWidget* page = gallery::DialogFace();
    page->setMinimumSize(440, 300);
    auto* grid = new SampleGrid;
    grid->Create(QStringLiteral("grid"), QRect(10, 10, 420, 280), page, 1);
    grid->SetSelection(3, 2);
    grid->ScrollRows(2);
    return page;
});

class GradientBands : public CBrushReBarCtrl {
protected:
    void DrawBand(QPainter& p, const QRect& r, unsigned) override
    {
        QLinearGradient g(r.topLeft(), r.bottomLeft());
        g.setColorAt(0, Qt::white);
        g.setColorAt(1, QColor(SysRgb(COLOR_BTNSHADOW)));
        p.fillRect(r, g);
    }
};

gallery::Page furtherControls("further-controls", [] {
    QWidget* page = gallery::DialogFace();
    auto* grid = new QGridLayout(page);
    auto* time = new CMaskedEdit;
    time->SetMask(CMaskedEdit::kTime);
    time->setText(QStringLiteral("12:34:56"));
    grid->addWidget(gallery::Labelled(QStringLiteral("masked time"), time, page), 0, 0);
    auto* date = new CMaskedEdit;
    date->SetMask(CMaskedEdit::kDate);
    date->setText(QStringLiteral("2026-12-10"));
    grid->addWidget(gallery::Labelled(QStringLiteral("masked date"), date, page), 0, 1);
    auto* ip = new CFlatIPAddressCtrl;
    ip->SetAddress(192, 168, 1, 20);
    ip->setFixedSize(170, 24);
    grid->addWidget(gallery::Labelled(QStringLiteral("IP address"), ip, page), 1, 0);
    auto* bands = new GradientBands;
    bands->InsertBand(new QPushButton(QStringLiteral("Band one")));
    bands->InsertBand(new QPushButton(QStringLiteral("Band two")));
    grid->addWidget(gallery::Labelled(QStringLiteral("brush rebar"), bands, page), 1, 1);
    auto* tabs = new CPageTabCtrl;
    for (const char* t : {"General", "Port", "Advanced"})
        tabs->AddPage(QString::fromLatin1(t), new QLabel(QStringLiteral("%1 page").arg(QString::fromLatin1(t))), 0);
    tabs->CreatePages();
    tabs->SelectPage(1);
    tabs->setMinimumSize(300, 120);
    grid->addWidget(gallery::Labelled(QStringLiteral("page tabs"), tabs, page), 2, 0, 1, 2);
    return page;
});

QImage Fill(QSize size, QColor color)
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(color);
    return img;
}

// A round mask: white outside the circle.
QImage RoundMask(QSize size)
{
    QImage mask = Fill(size, Qt::white);
    QPainter p(&mask);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawEllipse(QRect(QPoint(0, 0), size).adjusted(0, 0, -1, -1));
    return mask;
}

gallery::Page maskButtons("mask-bitmap-buttons", [] {
    QWidget* page = gallery::DialogFace();
    page->setMinimumSize(360, 120);
    const QSize size(70, 40);
    const char* captions[] = {"Normal", "Hover", "Checked", "Disabled"};
    for (int i = 0; i < 4; ++i) {
        auto* b = new CMaskBitmapButton(QString::fromLatin1(captions[i]), page);
        b->PreSubclassWindow(i == 2 ? 0x3 : 0);
        b->setGeometry(10 + i * 85, 30, size.width(), size.height());
        b->SetSkin(Fill(size, QColor(0x40, 0x70, 0xC0)), Fill(size, QColor(0x20, 0x38, 0x60)),
            Fill(size, QColor(0x60, 0xA0, 0xF0)), Fill(size, QColor(0xA0, 0xA0, 0xA0)), QImage(),
            i == 0 ? QImage() : RoundMask(size), CMaskBitmapButton::kStretch, 1, 3);
        b->SetTextColor(Rgb(255, 255, 255));
        if (i == 1)
            gallery::Hover(b);
        if (i == 2)
            b->SetCheck(true);
        if (i == 3)
            b->setEnabled(false);
    }
    return page;
});

} // namespace
