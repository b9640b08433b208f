// Every page of both module families, at the default window and on a
// 1366 x 768 screen: each control a user can use lies in the page host's
// scrolled area, which its scroll bars cover, no caption, tab or column title
// is cut in the program's fonts, and the send panel keeps its controls in
// view. A picture of each page goes to <build>/screenshots.

#include "ScreenshotSupport.h"
#include "ShippedLibraryFixture.h"
#include "atlib/core/DatabaseFiles.h"
#include "common/EventLoopWait.h"
#include "controls/ControlTestUtil.h"
#include "common/TestEnv.h"
#include "pages/PageDialog.h"
#include "pages/module/CTestItemDlg_home.h"
#include "pages/positioning/CChartContrl_columnar.h"
#include "platform/MessageBox.h"
#include "serial/CommPortSettings.h"
#include "shell/AppStartup.h"
#include "shell/CFlatSplitterWnd.h"
#include "shell/CMainFrame.h"
#include "shell/CSendPanelDlg.h"
#include "shell/CTestView1.h"
#include "shell/CTestView2.h"
#include "shell/core/CUlvenscopeApp.h"
#include "shell/core/SysParams.h"
#include "ui/chrome/CFolderTabCtrl.h"
#include "ui/controls/CFlatHeaderCtrl.h"
#include "ui/controls/CFlatComboBox.h"
#include "ui/controls/CImageButton.h"
#include "ui/controls/CSkinButton.h"
#include "ui/controls/CPageTitleStrip.h"
#include "ui/controls/ControlResources.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTabBar>
#include <QTableView>
#include <QTest>
#include <QTextEdit>
#include <gtest/gtest.h>

using namespace ulv;

namespace {

// Widgets a user works with (as opposed to frames, labels and pictures).
bool IsControl(const QWidget* w)
{
    return qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QComboBox*>(w)
        || qobject_cast<const QLineEdit*>(w) || qobject_cast<const QAbstractSpinBox*>(w)
        || qobject_cast<const QTextEdit*>(w) || qobject_cast<const QPlainTextEdit*>(w)
        || qobject_cast<const QAbstractItemView*>(w) || qobject_cast<const QTabBar*>(w)
        || qobject_cast<const CFolderTabCtrl*>(w);
}

// A control's own parts (a combo's edit, a list's viewport) are not looked
// into; group boxes, tab pages and plain containers are.
bool LooksInside(const QWidget* w)
{
    return !IsControl(w) && !qobject_cast<const QAbstractScrollArea*>(w);
}

void Collect(QWidget* parent, std::vector<QWidget*>& out)
{
    for (QWidget* w : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (w->isWindow() || !w->isVisible())
            continue;
        out.push_back(w);
        if (LooksInside(w))
            Collect(w, out);
    }
}

std::vector<QWidget*> ShownWidgets(QWidget* root)
{
    std::vector<QWidget*> all;
    Collect(root, all);
    return all;
}

QString Name(const QWidget* w)
{
    QString text;
    if (const auto* b = qobject_cast<const QAbstractButton*>(w))
        text = b->text();
    else if (const auto* l = qobject_cast<const QLabel*>(w))
        text = l->text();
    return QStringLiteral("%1 \"%2\" (%3)").arg(QString::fromLatin1(w->metaObject()->className()), text, w->objectName());
}

// Every shown, enabled control that cannot be brought into view: outside the
// scrolled area, cut by a box it sits in, or in a part of the area the scroll
// bars do not reach.
QStringList Unreachable(QWidget* page, QScrollArea* scroller)
{
    QStringList out;
    QWidget* area = scroller->widget();
    const QSize view = scroller->viewport()->size();
    if (scroller->horizontalScrollBar()->maximum() < area->width() - view.width())
        out << QStringLiteral("area %1 wide, view %2, bar reaches %3")
                   .arg(area->width())
                   .arg(view.width())
                   .arg(scroller->horizontalScrollBar()->maximum());
    if (scroller->verticalScrollBar()->maximum() < area->height() - view.height())
        out << QStringLiteral("area %1 high, view %2, bar reaches %3")
                   .arg(area->height())
                   .arg(view.height())
                   .arg(scroller->verticalScrollBar()->maximum());
    for (QWidget* w : ShownWidgets(page)) {
        if (!IsControl(w) || !w->isEnabled())
            continue;
        for (QWidget* box = w->parentWidget(); box; box = box->parentWidget()) {
            const QRect at(w->mapTo(box, QPoint(0, 0)), w->size());
            if (!box->rect().contains(at)) {
                out << QStringLiteral("%1 at %2,%3 %4x%5 outside %6 (%7x%8)")
                           .arg(Name(w))
                           .arg(at.x())
                           .arg(at.y())
                           .arg(at.width())
                           .arg(at.height())
                           .arg(Name(box))
                           .arg(box->width())
                           .arg(box->height());
                break;
            }
            if (box == area)
                break;
        }
    }
    return out;
}

QStringList Lines(const QString& text) { return text.split(QLatin1Char('\n')); }

int Widest(const QFontMetrics& fm, const QString& text)
{
    int widest = 0;
    for (const QString& line : Lines(text))
        widest = std::max(widest, fm.horizontalAdvance(line));
    return widest;
}

QString Cut(const QString& what, const QString& text, int needs, int has)
{
    return QStringLiteral("%1 \"%2\": needs %3, has %4").arg(what, text).arg(needs).arg(has);
}

// The texts a page shows that would not show whole in their boxes.
QStringList CutTexts(QWidget* page)
{
    QStringList out;
    for (QWidget* w : ShownWidgets(page)) {
        if (const auto* l = qobject_cast<const QLabel*>(w)) {
            if (l->text().isEmpty() || l->textFormat() == Qt::RichText)
                continue;
            const QRect room = l->contentsRect().adjusted(l->margin(), l->margin(), -l->margin(), -l->margin());
            const QFontMetrics fm = l->fontMetrics();
            if (l->wordWrap()) {
                if (l->heightForWidth(l->width()) > l->height())
                    out << Cut("wrapped label", l->text(), l->heightForWidth(l->width()), l->height());
            } else if (Widest(fm, l->text()) > room.width()) {
                out << Cut("label", l->text(), Widest(fm, l->text()), room.width());
            } else if (fm.height() + fm.lineSpacing() * (Lines(l->text()).size() - 1) > room.height() + 1) {
                out << Cut("label height", l->text(), fm.height(), room.height());
            }
        } else if (const auto* b = qobject_cast<const CImageButton*>(w)) {
            if (b->text().isEmpty())
                continue;
            // Drawn word-wrapped and centred in the room the images leave.
            const QRect room = b->CaptionRect();
            const QRect block = b->fontMetrics().boundingRect(room, Qt::TextWordWrap | Qt::AlignCenter, b->text());
            if (block.width() > room.width() || block.height() > room.height())
                out << Cut("image button", b->text(), block.width(), room.width())
                        + QStringLiteral(" (%1 lines high: %2 of %3)").arg(block.height()).arg(room.height());
        } else if (qobject_cast<const QCheckBox*>(w) || qobject_cast<const QRadioButton*>(w)) {
            const auto* b = qobject_cast<const QAbstractButton*>(w);
            if (!b->text().isEmpty() && b->sizeHint().width() > b->width())
                out << Cut("check box", b->text(), b->sizeHint().width(), b->width());
        } else if (const auto* b = qobject_cast<const QPushButton*>(w)) {
            const int margin = 2 * b->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, b);
            const int needs = b->fontMetrics().horizontalAdvance(QString(b->text()).remove(QLatin1Char('&'))) + margin;
            if (!b->text().isEmpty() && needs > b->width())
                out << Cut("button", b->text(), needs, b->width());
        } else if (const auto* c = qobject_cast<const QComboBox*>(w)) {
            QStyleOptionComboBox opt;
            opt.initFrom(c);
            opt.editable = c->isEditable();
            const QRect field = c->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, c);
            for (int i = 0; i < c->count(); ++i) {
                const int needs = c->fontMetrics().horizontalAdvance(c->itemText(i));
                if (needs > field.width())
                    out << Cut("combo item", c->itemText(i), needs, field.width());
            }
        } else if (const auto* tabs = qobject_cast<const QTabBar*>(w)) {
            for (int i = 0; i < tabs->count(); ++i) {
                const QRect r = tabs->tabRect(i);
                const int needs = tabs->fontMetrics().horizontalAdvance(tabs->tabText(i))
                    + tabs->style()->pixelMetric(QStyle::PM_TabBarTabHSpace, nullptr, tabs);
                if (r.right() >= tabs->width() || needs > r.width())
                    out << Cut("tab", tabs->tabText(i), needs, r.width());
            }
        } else if (const auto* folder = qobject_cast<const CFolderTabCtrl*>(w)) {
            for (int i = 0; i < folder->GetItemCount(); ++i) {
                const CFolderTab* tab = folder->GetItem(i);
                const QFont& font = i == folder->GetSelectedItem() ? folder->SelectedFont() : folder->NormalFont();
                const QFontMetrics fm(font);
                const QRect label = tab->GetRect().adjusted(10, 1, -10, -1);
                if (tab->GetRect().right() >= folder->width())
                    out << Cut("tab beyond the strip", tab->GetText(), tab->GetRect().right() + 1, folder->width());
                else if (fm.horizontalAdvance(tab->GetText()) > label.width())
                    out << Cut("tab", tab->GetText(), fm.horizontalAdvance(tab->GetText()), label.width());
                else if (fm.height() > tab->GetRect().height())
                    out << Cut("tab height (underscores)", tab->GetText(), fm.height(), tab->GetRect().height());
            }
        } else if (const auto* chart = qobject_cast<const CChartContrl_columnar*>(w)) {
            const auto legend = chart->LegendPlaces();
            for (size_t i = 0; i < legend.size(); ++i) {
                const int end = i + 1 < legend.size() ? legend[i + 1].box.left() : chart->width();
                if (legend[i].textRect.right() >= end)
                    out << Cut("legend", legend[i].text, legend[i].textRect.right() + 1 - legend[i].box.left(),
                        end - legend[i].box.left());
            }
        }
        if (const auto* view = qobject_cast<const QAbstractItemView*>(w)) {
            const auto* table = qobject_cast<const QTableView*>(view);
            const QHeaderView* header = table ? table->horizontalHeader() : view->findChild<QHeaderView*>();
            if (!header || header->isHidden())
                continue;
            const auto* flat = qobject_cast<const CFlatHeaderCtrl*>(header);
            for (int s = 0; s < header->count(); ++s) {
                if (header->isSectionHidden(s))
                    continue;
                const QString title = header->model()->headerData(s, Qt::Horizontal).toString();
                // The room the title is drawn in: the flat header's own
                // measure (spacings and sort mark), else Qt's margins and
                // sort mark. Whole when eliding it to that room keeps it.
                const QFontMetrics fm = header->fontMetrics();
                const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
                const int lost = flat ? flat->CalcContentWidth(s, true) - fm.horizontalAdvance(title)
                                      : 2 * margin + (header->isSortIndicatorShown() ? 3 * margin + 8 : 0);
                const int room = header->sectionSize(s) - lost;
                const int needs = fm.horizontalAdvance(title) + lost;
                if (fm.elidedText(title, Qt::ElideRight, room) != title)
                    out << Cut("column title", title, needs, header->sectionSize(s));
            }
        }
    }
    return out;
}

// The send panel's controls that lie outside the terminal pane.
QStringList SendPanelCut(CTestView2* terminal)
{
    QStringList out;
    for (QWidget* w : terminal->findChildren<CSendPanelDlg*>()) {
        for (QWidget* c : ShownWidgets(w)) {
            if (!IsControl(c))
                continue;
            const QRect at(c->mapTo(terminal, QPoint(0, 0)), c->size());
            if (!terminal->rect().contains(at))
                out << QStringLiteral("%1 at %2..%3 of %4").arg(Name(c)).arg(at.left()).arg(at.right()).arg(terminal->width());
        }
    }
    return out;
}

std::string Joined(const QStringList& lines) { return lines.join('\n').toStdString(); }

struct Screen {
    const char* name;
    QRect workArea;
};

class PagesFit : public test::ShippedLibraryFixture {
protected:
    void SetUp() override
    {
        ShippedLibraryFixture::SetUp();
        g_sysParams = SysParams {};
    }

    // A main window of the family as the start places it in the work area.
    std::unique_ptr<CMainFrame> ShowFrame(int family, const QRect& workArea)
    {
        g_nModuleType = family;
        const DbFile library = AtcDbFile(family);
        theApp.m_strAtcDbPath = library.path;
        theApp.m_strAtcDbKey = QString::fromLatin1(library.key);
        // Nothing stored: the pane takes the width the pages ask for.
        theApp.m_nWidthMidView = 0;
        theApp.m_bWidthMidViewChanged = 0;
        auto frame = std::make_unique<CMainFrame>(family);
        EXPECT_TRUE(frame->Create());
        PlaceAppMainWindow(frame.get(), workArea);
        QApplication::processEvents();
        return frame;
    }
};

const Screen kScreens[] = {
    // Room for the default 1100 x 800 window.
    {"default", QRect(0, 0, 1400, 900)},
    // A 1366 x 768 screen less a 40-pixel panel.
    {"1366x768", QRect(0, 0, 1366, 728)},
};

QString FileTitle(const QString& title)
{
    QString t = title;
    return t.replace(QLatin1Char('/'), QLatin1Char('_')).replace(QLatin1Char(' '), QLatin1Char('_'));
}

} // namespace

TEST_F(PagesFit, EveryPageOfBothFamiliesIsReachableAndWholeAtTheDefaultWindowAndOnASmallScreen)
{
    MessageBoxRecorder boxes;
    for (int family : {0, 1}) {
        for (const Screen& screen : kScreens) {
            auto frame = ShowFrame(family, screen.workArea);
            const QString where = QStringLiteral("%1 %2").arg(family ? "UMTS" : "GSM", screen.name);
            SCOPED_TRACE(where.toStdString());
            // The window fits the screen and the pane was given the pages' width.
            EXPECT_TRUE(screen.workArea.contains(frame->frameGeometry())) << frame->width() << "x" << frame->height();
            CTestView1* view = frame->TestView1();
            EXPECT_EQ(theApp.m_nWidthMidView.load(), view->NeededWidth());
            EXPECT_EQ(view->width(), view->NeededWidth());
            EXPECT_EQ(theApp.m_bWidthMidViewChanged.load(), 0) << "a default pane needs no restart";
            EXPECT_TRUE(SendPanelCut(frame->TestView2()).isEmpty()) << Joined(SendPanelCut(frame->TestView2()));

            const int pages = static_cast<int>(view->FamilyPages().size());
            for (int index = 0; index < pages; ++index) {
                view->SwitchPage(index);
                QApplication::processEvents();
                PageDialog* page = view->VisiblePage();
                ASSERT_NE(page, nullptr) << index;
                const QString title = view->CurrentTitle();
                SCOPED_TRACE(title.toStdString());
                SaveScreenshot(frame.get(),
                    QStringLiteral("page-%1-%2-%3-%4")
                        .arg(family ? "umts" : "gsm", screen.name)
                        .arg(index)
                        .arg(FileTitle(title)));
                // Each tab of a tabbed page in turn.
                std::vector<std::pair<CFolderTabCtrl*, int>> tabs { { nullptr, 0 } };
                for (CFolderTabCtrl* strip : page->findChildren<CFolderTabCtrl*>())
                    for (int t = 1; t < strip->GetItemCount(); ++t)
                        tabs.push_back({ strip, t });
                for (const auto& [strip, t] : tabs) {
                    if (strip) {
                        QTest::mouseClick(strip, Qt::LeftButton, {}, strip->GetItem(t)->GetRect().center());
                        QApplication::processEvents();
                        ASSERT_EQ(strip->GetSelectedItem(), t);
                    }
                    const QString tab = strip ? strip->GetItem(t)->GetText() : QString();
                    EXPECT_TRUE(Unreachable(page, view->PageScroller()).isEmpty())
                        << tab.toStdString() << "\n" << Joined(Unreachable(page, view->PageScroller()));
                    EXPECT_TRUE(CutTexts(page).isEmpty()) << tab.toStdString() << "\n" << Joined(CutTexts(page));
                }
            }
            view->SwitchPage(0);
        }
    }
}

TEST_F(PagesFit, NoDragOfTheBarCutsTheSendPanelOff)
{
    auto frame = ShowFrame(0, kScreens[0].workArea);
    CFlatSplitterWnd* splitter = frame->Splitter();
    const int width = splitter->width() - CFlatSplitterWnd::kLeftWidth - 2 * CFlatSplitterWnd::kBarWidth;
    for (int terminal : { width / 2, 300, 120, 0 }) {
        splitter->setSizes({ CFlatSplitterWnd::kLeftWidth, width - terminal, terminal });
        QApplication::processEvents();
        EXPECT_TRUE(SendPanelCut(frame->TestView2()).isEmpty()) << terminal << "\n" << Joined(SendPanelCut(frame->TestView2()));
    }
}

TEST_F(PagesFit, TheTitleStripDrawsItsBarsAndTheCallAtThePanesRightEnd)
{
    auto frame = ShowFrame(1, kScreens[0].workArea);
    // Room for a wide pane beside the terminal.
    frame->resize(1400, 800);
    QApplication::processEvents();
    CTestView1* view = frame->TestView1();
    CPageTitleStrip* strip = view->TitleStrip();
    strip->SetSignalBars(5);
    strip->SetRingTimings(1, 600000);
    strip->OnReceivedLine(QStringLiteral("RING"));
    ASSERT_TRUE(test::RunEventsUntil([&] { return strip->IsBlinkVisible(); }, 30000));
    // The blink stays on from here: the next tick is a long way off.
    strip->SetRingTimings(600000, 600000);
    strip->OnReceivedLine(QStringLiteral("RING"));
    ASSERT_TRUE(strip->IsBlinkVisible());
    auto lit = [](QRgb c) { return c == qRgb(96, 240, 96); };
    auto dark = [](QRgb c) { return qRed(c) < 60 && qGreen(c) < 60 && qBlue(c) < 60; };
    const auto any = test::HasPixelMatching;
    for (int paneWidth : { view->NeededWidth(), 640, 900 }) {
        CFlatSplitterWnd* splitter = frame->Splitter();
        const int rest = splitter->width() - CFlatSplitterWnd::kLeftWidth - paneWidth - 2 * CFlatSplitterWnd::kBarWidth;
        splitter->setSizes({ CFlatSplitterWnd::kLeftWidth, paneWidth, rest });
        QApplication::processEvents();
        ASSERT_EQ(view->width(), paneWidth);
        const QImage img = strip->grab(QRect(0, 0, view->width(), CPageTitleStrip::kHeight)).toImage();
        SaveScreenshot(strip, QStringLiteral("title-strip-%1").arg(paneWidth));
        // Five lit bars 40 pixels from the pane's right end, none elsewhere.
        EXPECT_TRUE(any(img, QRect(paneWidth - 40, 3, 35, 20), lit)) << paneWidth;
        EXPECT_FALSE(any(img, QRect(0, 0, paneWidth - 40, CPageTitleStrip::kHeight), lit)) << paneWidth;
        // "Incoming Call" ends 80 pixels before the pane's end and shows in it.
        EXPECT_TRUE(any(img, QRect(paneWidth - 200, 5, 120, 18), dark)) << paneWidth;
        EXPECT_FALSE(any(img, QRect(paneWidth - 79, 5, 38, 18), dark)) << paneWidth;
    }
}

TEST_F(PagesFit, TheConnectionPageStandsOnItsBackgroundAndItsButtonsShowItThrough)
{
    auto frame = ShowFrame(0, kScreens[0].workArea);
    CTestItemDlg_home* home = frame->TestView1()->HomePage();
    const QImage page = home->grab().toImage();
    const QImage bitmap = LoadBitmapResource(330);
    ASSERT_FALSE(bitmap.isNull());
    ASSERT_EQ(home->ComposedBackground().size(), home->size());
    // A spot no control covers shows the picture, not the plain page grey.
    const QPoint bare(home->width() - 5, home->height() - 5);
    EXPECT_EQ(page.pixel(bare), bitmap.pixel(bare.x() % bitmap.width(), bare.y() % bitmap.height()));
    EXPECT_NE(page.pixel(bare), qRgb(0xCD, 0xCD, 0xCD));
    // Each button's corner (no caption there) is the picture under it.
    for (QPushButton* b : { home->ConnectButton(), home->ModuleInfoButton(), home->RegInfoButton(), home->SimInfoButton() }) {
        const QPoint corner = b->geometry().bottomRight() - QPoint(2, 2);
        EXPECT_EQ(page.pixel(corner), home->ComposedBackground().pixel(corner)) << b->text().toStdString();
    }
}

TEST_F(PagesFit, EveryPageWearsTheSkinnedButtonsAndFlatCombos)
{
    auto frame = ShowFrame(1, kScreens[0].workArea);
    CTestView1* view = frame->TestView1();
    const int pages = static_cast<int>(view->FamilyPages().size());
    for (int index = 0; index < pages; ++index) {
        view->SwitchPage(index);
        QApplication::processEvents();
        PageDialog* page = view->VisiblePage();
        ASSERT_NE(page, nullptr);
        SCOPED_TRACE(view->CurrentTitle().toStdString());
        for (QPushButton* b : page->findChildren<QPushButton*>()) {
            if (!b->isVisible())
                continue;
            const auto* image = qobject_cast<const CImageButton*>(b);
            EXPECT_NE(image, nullptr) << Name(b).toStdString() << " is a plain button";
            // A skinned face is made at the button's size, and its text has
            // the pages' colour.
            if (const auto* skin = qobject_cast<const CSkinButton*>(b)) {
                EXPECT_EQ(QSize(skin->NormalFace().GetWidth(), skin->NormalFace().GetHeight()), skin->size())
                    << Name(b).toStdString();
                COLORREF text = 0;
                skin->GetColor(CImageButton::BTNST_COLOR_FG_OUT, &text);
                EXPECT_NE(text, GetSysColor(COLOR_BTNTEXT)) << Name(b).toStdString() << " keeps the system text colour";
            }
        }
        for (QComboBox* c : page->findChildren<QComboBox*>())
            if (c->isVisible())
                EXPECT_NE(qobject_cast<CFlatComboBox*>(c), nullptr) << c->objectName().toStdString() << " is a plain combo";
    }
}
