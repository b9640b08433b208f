#pragma once

#include <QFont>
#include <QRect>
#include <QRegion>
#include <QWidget>

#include <memory>
#include <vector>

namespace ulv {

// One folder tab: its label, the box around its trapezoid (client
// coordinates, set by the layout) and the trapezoid itself.
class CFolderTab {
public:
    explicit CFolderTab(QString text)
        : m_text(std::move(text))
    {
    }
    const QString& GetText() const { return m_text; }
    const QRect& GetRect() const { return m_bounds; }
    const QRegion& GetRegion() const { return m_region; }
    // The four corners: top left, bottom left, bottom right, top right.
    QPolygon GetTrapezoid() const;

private:
    friend class CFolderTabCtrl;
    QString m_text;
    QRect m_bounds;
    QRegion m_region;
};

enum FolderTabNotifyCode : unsigned { FTN_TABCHANGED = 1 };

// What the parent is told when the user selects another tab.
struct FolderTabNotify {
    QWidget* hwndFrom = nullptr;
    int idFrom = 0;
    unsigned code = FTN_TABCHANGED;
    int index = -1;
    CFolderTab* tab = nullptr;
};

// A strip of folder tabs one line high: trapezoids hanging from a line at the
// top, each overlapping the one before by 8 pixels, the selected one drawn
// last on top in grey with a smaller font. A click on another tab selects it
// and notifies the parent.
class CFolderTabCtrl : public QWidget {
    Q_OBJECT
public:
    explicit CFolderTabCtrl(QWidget* parent = nullptr);
    ~CFolderTabCtrl() override;

    // style bit 0: a full border round the strip.
    virtual bool Create(const QRect& rect, QWidget* parent, int id, unsigned style = 0);
    // Takes the place of a placeholder widget of the parent: its position and
    // width, the height of a horizontal scroll bar; the placeholder goes.
    bool CreateOverStatic(QWidget* placeholder, int id);
    // One tab per '\n'-separated piece (an empty piece gives an unlabelled
    // tab), appended to the tabs there are, then laid out.
    virtual bool Load(const QString& text);

    int AddItem(const QString& text);
    bool RemoveItem(int index);
    CFolderTab* GetItem(int index) const;
    int GetItemCount() const { return static_cast<int>(m_tabs.size()); }
    int GetSelectedItem() const { return m_current; }
    int HitTest(const QPoint& point) const;
    int SelectItem(int index);
    void InvalidateTab(int index);
    void RecalcLayout();
    void SetFonts(const QFont& normal, const QFont& selected);
    const QFont& NormalFont() const { return m_normalFont; }
    const QFont& SelectedFont() const { return m_selectedFont; }
    int GetDlgCtrlID() const { return m_id; }

    QSize sizeHint() const override;
    // The font whose character cell, descenders included, is cellHeight
    // pixels high at most.
    static QFont CellFont(const QString& face, int cellHeight, int weight);

Q_SIGNALS:
    // Sent (synchronously) when a click selects another tab.
    void TabNotify(const ulv::FolderTabNotify& notify);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    int ComputeRegion(CFolderTab& tab, int x) const;
    int DrawTab(QPainter& p, const CFolderTab& tab, const QFont& font, bool selected) const;

    std::vector<std::unique_ptr<CFolderTab>> m_tabs;
    unsigned m_style = 0;
    int m_current = 0;
    int m_id = 0;
    QFont m_normalFont;
    QFont m_selectedFont;
};

} // namespace ulv
