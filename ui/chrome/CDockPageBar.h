#pragma once

#include "ui/chrome/CCaptionButton.h"
#include "ui/chrome/CSizingControlBar.h"

#include <QFont>
#include <QIcon>
#include <QPointer>
#include <QRect>
#include <functional>
#include <memory>
#include <vector>

class QDialog;
class QFontMetrics;

namespace ulv {

class CDockPageContext;

// Control-bar alignment bits, also used as side styles.
constexpr unsigned CBRS_ALIGN_LEFT = 0x1000;
constexpr unsigned CBRS_ALIGN_TOP = 0x2000;
constexpr unsigned CBRS_ALIGN_RIGHT = 0x4000;
constexpr unsigned CBRS_ALIGN_BOTTOM = 0x8000;
constexpr unsigned CBRS_ALIGN_ANY = 0xF000;

// One page of a page bar.
struct DockPageItem {
    QPointer<QWidget> m_pWnd;
    QString m_sTitle;
    QIcon m_hIcon;
    int m_nWidth = 0; // title width + 18 with an icon, + 9
    QRect m_rect; // the tab, in the bar's body coordinates

    // Paints the tab (the page layout shows the active page's window).
    void Draw(QPainter& p, bool active, const QFont& font);
};

// A sizing bar holding several pages, one shown at a time, under its own
// caption (title, close and pin buttons) and, with two pages or more, over a
// row of tabs. The caption drags the bar through its page drag context.
class CDockPageBar : public CSizingControlBar {
    Q_OBJECT
public:
    static constexpr int kCaptionHeight = 20;
    static constexpr int kCaptionBand = 16;
    static constexpr int kTabStripHeight = 24;
    static constexpr QRgb kActiveCaption = 0xFF3677DC; // RGB(54, 119, 220)
    static constexpr QRgb kInactiveCaption = 0xFFECE9D8; // RGB(236, 233, 216)
    static constexpr QRgb kInactiveFrame = 0xFF949694; // RGB(148, 150, 148)
    static constexpr QRgb kTabStrip = 0xFFF7F3E9; // RGB(247, 243, 233)
    static constexpr QRgb kPageFrame = 0xFF808080;

    explicit CDockPageBar(QWidget* parent = nullptr);
    ~CDockPageBar() override;

    bool Create(const QString& title, QMainWindow* parent, int id, unsigned style = 0) override;
    using CSizingControlBar::Create;

    // Allows docking on the sides of dockStyle (CBRS_ALIGN_*) and gives the
    // bar its page drag context.
    void EnableDocking(unsigned dockStyle);
    CDockPageContext* DragContext() const { return m_pDockContext; }

    bool AddPage(QWidget* page, const QString& title, const QIcon& icon = {});
    bool AttachPageItem(DockPageItem* item);
    void MergePagesFrom(CDockPageBar* other);
    // Takes the active page out of the bar; the caller owns the item.
    DockPageItem* RemoveActivePage();
    void SetActivePage(int index);
    int GetActivePage() const { return m_nActivePage; }
    DockPageItem* GetPageItem(int index) const;
    int GetPageCount() const { return int(m_PageList.size()); }
    void UpdatePages();
    // Pins the bar into the auto-hide strip of its side; nothing when it
    // floats or the frame has no strip there.
    void HideToEdge();
    // Takes a page window back from an auto-hide window.
    void AdoptPageWindow(QWidget* page);

    // The bar's own caption while docked; floating, its caption is the
    // mini frame's: the title in the system's caption colours and a close box.
    bool HasCaption() const { return !isFloating(); }
    bool IsCaptionActive() const { return m_bActive; }
    QString Title() const { return m_Title; }
    const QFont& CaptionFont() const { return m_font; }

    // The body (page area and tab strip) and the caption, for the drawing.
    QWidget* Body() const { return m_body; }
    QWidget* Caption() const { return m_caption; }
    QRect PageArea() const;
    QRect TabStripRect() const;
    // Tabs laid out left to right in the strip, squeezed to equal shares
    // when they do not fit.
    virtual void LayoutPages();

    // Reorders or tears off the active tab while it is dragged.
    void DragTabTo(const QPoint& globalPos);

    // Shortens a title by two characters at a time (ten times at most) until
    // it fits, ending it in "..." when anything was dropped.
    static QString ElideTitle(const QFontMetrics& fm, const QString& text, int room);

    CCaptionCloseButton m_closeButton;
    CCaptionFlatButton m_pinButton;

Q_SIGNALS:
    void PagesChanged();

protected:
    void PaintCaption(QPainter& p, const QRect& r);
    void PaintBody(QPainter& p);
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class PageBarCaption;
    friend class PageBarBody;
    friend class CDockPageContext;
    void OnFocusChanged();
    int TabAt(const QPoint& bodyPos) const;

    std::vector<std::unique_ptr<DockPageItem>> m_PageList;
    std::vector<std::unique_ptr<CDockPageContext>> m_ContextList;
    CDockPageContext* m_pDockContext = nullptr;
    int m_nActivePage = -1;
    bool m_bActive = false;
    QString m_Title;
    QFont m_font;
    QWidget* m_caption = nullptr;
    QWidget* m_body = nullptr;
    bool m_tabDragging = false;
};

// A page bar whose pages are dialogs.
class CDialogPageBar : public CDockPageBar {
    Q_OBJECT
public:
    using CDockPageBar::CDockPageBar;
    // Makes the dialog with the factory and adds it as a page; null when the
    // factory gives none.
    QDialog* AddDialogPage(const std::function<QDialog*(QWidget* parent)>& make, const QString& title,
        const QIcon& icon = {});
};

} // namespace ulv
