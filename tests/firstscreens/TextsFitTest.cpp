// The first screens a new user sees show their texts whole in our fonts: the
// send panel's boxes, the status bar's panes, and the titles and cells of the
// APN list, the AT commands manager and the quick command list. Each check
// measures the text in the font it is drawn with against the room its box
// gives it; a picture of each screen goes to <build>/screenshots.

#include "ScreenshotSupport.h"
#include "ShippedLibraryFixture.h"
#include "atlib/CApnListDlg.h"
#include "atlib/CAtCommandSelectDlg.h"
#include "atlib/CAtcManageDlg.h"
#include "atlib/core/DatabaseFiles.h"
#include "common/ShownMainFrame.h"
#include "common/TestEnv.h"
#include "pages/module/CTestItemDlg_home.h"
#include "serial/CommPortSettings.h"
#include "shell/CSendPanelDlg.h"
#include "shell/FrameStatusBar.h"
#include "shell/core/CUlvenscopeApp.h"
#include "shell/core/SysParams.h"
#include "ui/controls/CLogFileEdit.h"
#include "ui/controls/CFlatHeaderListCtrl.h"
#include "ui/controls/CSortableListCtrl.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStyle>
#include <gtest/gtest.h>

using namespace ulv;

namespace {

QStringList Lines(const QString& text)
{
    return text.split(QRegularExpression(QStringLiteral("\r\n|\n|\r")));
}

// The widest line of a text (list cells may hold several), in whole pixels.
int TextWidth(const QFontMetrics& fm, const QString& text)
{
    int widest = 0;
    for (const QString& line : Lines(text))
        widest = std::max(widest, fm.horizontalAdvance(line));
    return widest;
}

// Whether every line of a text shows whole in `room` pixels: the titles and
// cells are drawn elided to their room, so a line that would be elided is cut.
bool ShowsWhole(const QFontMetrics& fm, const QString& text, int room)
{
    for (const QString& line : Lines(text))
        if (fm.elidedText(line, Qt::ElideRight, room) != line)
            return false;
    return true;
}

// Every check box, radio button and label directly on a dialog whose text
// does not fit its box, as "text: needs N, has M".
QStringList ClippedBoxes(const QWidget* dialog)
{
    QStringList clipped;
    for (const QWidget* w : dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        QString text;
        int needed = 0;
        int room = 0;
        if (const auto* b = qobject_cast<const QAbstractButton*>(w);
            b && (qobject_cast<const QCheckBox*>(w) || qobject_cast<const QRadioButton*>(w))) {
            // Qt's own measure of the indicator, the gap and the text.
            text = b->text();
            needed = b->sizeHint().width();
            room = b->width();
        } else if (const auto* l = qobject_cast<const QLabel*>(w)) {
            text = l->text();
            needed = TextWidth(l->fontMetrics(), text);
            room = l->contentsRect().width();
        }
        if (!text.isEmpty() && needed > room)
            clipped << QStringLiteral("%1: needs %2, has %3").arg(text).arg(needed).arg(room);
    }
    return clipped;
}

// Every column title and cell of a list that does not fit its column.
QStringList ClippedCells(const ReportListView* list)
{
    QStringList clipped;
    const QHeaderView* header = list->horizontalHeader();
    // The flat header draws the title between 6-pixel spacings and keeps
    // room for its sort mark (8 pixels and a spacing) at the right.
    const int titleRoomLost = 3 * 6 + 8;
    // A cell's text keeps the focus frame's margin on either side, and the
    // grid takes a pixel.
    const int cellRoomLost
        = 2 * (list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1) + 1;
    for (int c = 0; c < list->GetColumnCount(); ++c) {
        const int width = list->GetColumnWidth(c);
        const QString title = list->Model()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
        const int titleWidth = TextWidth(header->fontMetrics(), title);
        if (!ShowsWhole(header->fontMetrics(), title, width - titleRoomLost))
            clipped << QStringLiteral("title %1: needs %2, has %3").arg(title).arg(titleWidth).arg(width - titleRoomLost);
        for (int r = 0; r < list->GetItemCount(); ++r) {
            // What the row shows: one line, whatever the text holds.
            const QString cell = list->Model()->data(list->Model()->index(r, c), Qt::DisplayRole).toString();
            EXPECT_FALSE(cell.contains('\n') || cell.contains('\r')) << cell.toStdString();
            const int cellWidth = TextWidth(list->fontMetrics(), cell);
            if (!ShowsWhole(list->fontMetrics(), cell, width - cellRoomLost))
                clipped << QStringLiteral("row %1 of %2 \"%3\": needs %4, has %5")
                               .arg(r)
                               .arg(title, cell.left(40))
                               .arg(cellWidth)
                               .arg(width - cellRoomLost);
        }
    }
    return clipped;
}

std::string Joined(const QStringList& lines)
{
    return lines.join('\n').toStdString();
}

using TextsFit = test::ShippedLibraryFixture;

} // namespace

TEST_F(TextsFit, SendPanelShowsEveryCaptionWhole)
{
    CSendPanelDlg panel;
    panel.show();
    SaveScreenshot(&panel, "send-panel");
    EXPECT_TRUE(ClippedBoxes(&panel).isEmpty()) << Joined(ClippedBoxes(&panel));
    // Whatever mode is chosen, "Send With Enter" keeps its last letter.
    EXPECT_GE(panel.WithEnterBox()->width(), panel.WithEnterBox()->sizeHint().width());
}

TEST_F(TextsFit, StatusBarShowsTheWholePortTextAndTheOthers)
{
    auto frame = test::MakeShownMainFrame(1);
    FrameStatusBar* bar = frame->StatusBar();
    struct Case {
        QString port;
        int baud, parity, flow;
    };
    const Case cases[] = {
        {"/dev/ttyUSB2", 115200, 0, 0},
        {"/dev/pts/17", 4000000, 2, 1},
        {"/dev/serial/by-id/usb-Modem_AT_Port-if02-port0", 921600, 3, 2},
    };
    for (const Case& c : cases) {
        g_commPortSettings.port = c.port;
        g_commPortSettings.baud = c.baud;
        g_commPortSettings.parity = c.parity;
        g_commPortSettings.flowCtrl = c.flow;
        // What the connection page writes once the port is open.
        frame->SetPaneText(2, QLatin1Char(' ') + CTestItemDlg_home::PortSettingsText());
        frame->SetPaneText(3, QStringLiteral(" DSR[1] CTS[1] RI[1] DCD[1]"));
        QApplication::processEvents();
        for (int pane = 2; pane < FrameStatusBar::kPaneCount; ++pane) {
            const QString text = bar->PaneText(pane);
            const int room = bar->PaneRect(pane).width() - 2 * FrameStatusBar::kTextMargin;
            EXPECT_LE(bar->fontMetrics().horizontalAdvance(text), room) << text.toStdString();
        }
        // The panes still sit side by side inside the bar, the log box on
        // pane 1 and the first pane with room left.
        for (int pane = 1; pane < FrameStatusBar::kPaneCount; ++pane)
            EXPECT_LT(bar->PaneRect(pane - 1).right(), bar->PaneRect(pane).left()) << pane;
        EXPECT_LE(bar->PaneRect(FrameStatusBar::kPaneCount - 1).right(), bar->width());
        EXPECT_GT(bar->PaneRect(0).width(), 0);
        EXPECT_TRUE(bar->PaneRect(1).contains(frame->LogBox()->geometry())) << c.port.toStdString();
    }
    SaveScreenshot(bar, "status-bar");
    // Back to a short text, the pane keeps its given width.
    frame->SetPaneText(2, QString());
    EXPECT_EQ(bar->PaneRect(2).width(), FrameStatusBar::kPaneWidths[2]);
}

TEST_F(TextsFit, ApnListShowsWholeTitlesAndCells)
{
    CApnListDlg dlg;
    dlg.show();
    ASSERT_GT(dlg.List()->GetItemCount(), 0) << "the shipped APN table is empty";
    SaveScreenshot(&dlg, "apn-list");
    EXPECT_TRUE(ClippedCells(dlg.List()).isEmpty()) << Joined(ClippedCells(dlg.List()));
    // No column got narrower than it was laid out.
    const int given[] = {50, 55, 55, 55, 80, 80, 80, 80, 150, 100, 40, 150, 100};
    for (int c = 0; c < 13; ++c)
        EXPECT_GE(dlg.List()->GetColumnWidth(c), given[c]) << c;
}

TEST_F(TextsFit, AtCommandsManagerShowsWholeTitlesAndCellsForBothFamilies)
{
    for (int family : {0, 1}) {
        const DbFile library = AtcDbFile(family);
        theApp.m_strAtcDbPath = library.path;
        theApp.m_strAtcDbKey = QString::fromLatin1(library.key);
        CAtcManageDlg dlg;
        dlg.show();
        ASSERT_GT(dlg.List()->GetItemCount(), 0) << "the shipped library is empty: " << family;
        SaveScreenshot(&dlg, QStringLiteral("atc-manager-%1").arg(family));
        EXPECT_TRUE(ClippedCells(dlg.List()).isEmpty()) << family << "\n" << Joined(ClippedCells(dlg.List()));
    }
}

TEST_F(TextsFit, QuickCommandListShowsWholeTitlesAndCells)
{
    QFile f(theApp.m_strParamDir + "/ModuleName_null.ini");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("[AT+CSQ]\r\ncarriage return=1\r\ncomment=signal quality\r\n"
            "[AT+CGDCONT=1,\"IP\",\"internet.operator.example\"]\r\ncarriage return=1\r\n"
            "comment=define the PDP context used for data calls on the bench\r\n"
            "[+++]\r\ncarriage return=0\r\ncomment=leave data mode\r\n");
    f.close();
    CAtCommandSelectDlg dlg;
    dlg.show();
    ASSERT_EQ(dlg.List()->GetItemCount(), 3);
    SaveScreenshot(&dlg, "quick-command-list");
    EXPECT_TRUE(ClippedCells(dlg.List()).isEmpty()) << Joined(ClippedCells(dlg.List()));
    EXPECT_TRUE(ClippedBoxes(&dlg).isEmpty()) << Joined(ClippedBoxes(&dlg));
}
