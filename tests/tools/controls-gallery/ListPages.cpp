// Gallery pages of the report lists with their headers, the numeric, hex and
// dial edits, and the folder tab strips.
#include "GalleryRegistry.h"

#include "ui/chrome/CFolderTabCtrl.h"
#include "ui/controls/CColumnSortListCtrl.h"
#include "ui/controls/CDialRichEdit.h"
#include "ui/controls/CFlatHeaderListCtrl.h"
#include "ui/controls/CHexRichEdit.h"
#include "ui/controls/CNumEdit.h"
#include "ui/controls/CNumSpinCtrl.h"
#include "ui/controls/CSortableListCtrl.h"

#include <QGridLayout>

using namespace ulv;
using ulv::gallery::Labelled;

namespace {

QWidget* GreyFace()
{
    auto* w = new QWidget;
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, ColorRefToQColor(0xCDCDCD));
    pal.setColor(QPalette::WindowText, ColorRefToQColor(0x333399));
    w->setPalette(pal);
    w->setAutoFillBackground(true);
    return w;
}

template <class List>
List* Sized(List* list, int width = 300, int height = 110)
{
    list->setFixedSize(width, height);
    return list;
}

gallery::Page lists("report-lists", [] {
    QWidget* page = GreyFace();
    auto* grid = new QGridLayout(page);

    auto* apn = Sized(new CSortableListCtrl);
    apn->SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    apn->InsertColumn(0, "MCC", LVCFMT_LEFT, 50);
    apn->InsertColumn(1, "APN", LVCFMT_LEFT, 110);
    apn->InsertColumn(2, "Updated", LVCFMT_CENTER, 90);
    apn->SetColumnCount(3);
    apn->AddRow({"460", "cmnet", "05/01/2009"});
    apn->AddRow({"262", "internet.example", "12/12/2008"});
    apn->AddRow({"310", "broadband", "01/02/2009"});
    apn->SortByColumn(2, true);
    apn->SetItemSelected(1, true);
    grid->addWidget(Labelled("sortable, by date ascending", apn, page), 0, 0);

    auto* numbers = Sized(new CSortableListCtrl);
    numbers->InsertColumn(0, "Index", LVCFMT_RIGHT, 60);
    numbers->InsertColumn(1, "Command", LVCFMT_LEFT, 150);
    numbers->SetColumnCount(2);
    for (const char* n : {"10", "9", "100", "abc", ""})
        numbers->AddRow({n, QString("AT+CMD%1").arg(n)});
    numbers->SortByColumn(0, false);
    grid->addWidget(Labelled("sortable, mixed column descending", numbers, page), 0, 1);

    auto* quick = Sized(new CFlatHeaderListCtrl);
    quick->SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    quick->InsertColumn(0, "No.", LVCFMT_LEFT, 40);
    quick->InsertColumn(1, "Quick command", LVCFMT_LEFT, 170);
    for (const char* c : {"ATI", "AT+CSQ", "AT+COPS?"}) {
        const int row = quick->InsertItem(quick->GetItemCount(), QString::number(quick->GetItemCount() + 1));
        quick->SetItemText(row, 1, c);
    }
    quick->GetHeaderCtrl()->SetSortColumn(1, false);
    grid->addWidget(Labelled("flat header, mark only", quick, page), 1, 0);

    auto* classes = Sized(new CColumnSortListCtrl);
    classes->SetHeadings("Index,50;Classification,200");
    for (const char* c : {"Call control", "SMS", "Network"})
        classes->AddRow({QString::number(classes->GetItemCount() + 1), c});
    classes->SortByColumn(1, true);
    grid->addWidget(Labelled("column sort, sort-arrow header", classes, page), 1, 1);
    return page;
});

gallery::Page edits("numeric-hex-dial-edits", [] {
    QWidget* page = GreyFace();
    auto* grid = new QGridLayout(page);
    const float values[] = {2.5f, 0.125f, 12.0f};
    for (int i = 0; i < 3; ++i) {
        auto* pair = new QWidget;
        pair->setFixedSize(90, 22);
        auto* edit = new CNumEdit(pair);
        auto* spin = new CNumSpinCtrl(pair);
        edit->setGeometry(0, 0, 70, 22);
        spin->setGeometry(70, 0, 17, 22);
        spin->SetBuddy(edit);
        spin->SetDelta(1.0f);
        spin->SetRange(0, 15);
        spin->SetPos(values[i]);
        if (i == 2)
            pair->setEnabled(false);
        grid->addWidget(Labelled(i == 2 ? "numeric, disabled" : "numeric with spin", pair, page), 0, i);
    }
    auto* hex = new CHexRichEdit;
    hex->SetHexOnly(true);
    hex->setPlainText("41 54 2B 43 53 51 0D");
    hex->setFixedSize(200, 50);
    grid->addWidget(Labelled("hex only", hex, page), 1, 0, 1, 2);
    auto* dial = new CDialRichEdit;
    dial->setPlainText("+4930123456");
    dial->setFixedSize(140, 26);
    grid->addWidget(Labelled("dial number", dial, page), 1, 2);
    return page;
});

gallery::Page tabs("folder-tabs", [] {
    QWidget* page = GreyFace();
    auto* grid = new QGridLayout(page);
    struct Strip {
        const char* caption;
        const char* text;
        int selected;
        int width;
    } strips[] = {
        {"GNSS page", "World map\nSky view\nSignal column chart\nMap\nNMEA data", 0, 460},
        {"PPP page", "Modem status\nUDP send\nUDP receive", 2, 460},
        {"more tabs than fit", "World map\nSky view\nSignal column chart\nMap\nNMEA data", 4, 200},
    };
    for (int i = 0; i < 3; ++i) {
        auto* holder = new QWidget;
        holder->setFixedSize(strips[i].width, 30);
        auto* strip = new CFolderTabCtrl;
        strip->Create(QRect(0, 4, strips[i].width, GetSystemMetrics(SM_CYHSCROLL)), holder, 1000 + i);
        strip->Load(strips[i].text);
        strip->SelectItem(strips[i].selected);
        grid->addWidget(Labelled(strips[i].caption, holder, page), i, 0);
    }
    return page;
});

} // namespace
