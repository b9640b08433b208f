#pragma once

#include "ui/core/DockBarRows.h"

#include <QDockWidget>
#include <QSize>
#include <QString>

#include <vector>

class QMainWindow;

namespace ulv {

class DockRowLayout;

// A docking bar whose size the user changes by dragging its edges. It docks on
// any side of a main window or floats; it remembers one size per docking
// orientation and one floating size, and saves them in the application
// profile. The bars of one row on a side share the row's length: the main
// window's row layout (DockRowLayout) keeps the rows of each side and hands
// the computed lengths to the dock layout.
class CSizingControlBar : public QDockWidget, public SizingBarState {
    Q_OBJECT
public:
    // Edge style bits.
    static constexpr unsigned SCBS_EDGELEFT = 0x01;
    static constexpr unsigned SCBS_EDGERIGHT = 0x02;
    static constexpr unsigned SCBS_EDGETOP = 0x04;
    static constexpr unsigned SCBS_EDGEBOTTOM = 0x08;
    static constexpr unsigned SCBS_EDGEALL = 0x0F;
    static constexpr unsigned SCBS_SHOWEDGES = 0x10;
    static constexpr unsigned SCBS_SIZECHILD = 0x20;

    explicit CSizingControlBar(QWidget* parent = nullptr);
    ~CSizingControlBar() override;

    // Makes the bar a dock widget of parent with this control id; the bar is
    // not docked yet (the caller docks it with addDockWidget).
    virtual bool Create(const QString& title, QMainWindow* parent, int id, unsigned style = 0);
    // The same with one default size for the three remembered sizes.
    virtual bool Create(const QString& title, QMainWindow* parent, QSize defaultSize, bool gripper, int id,
        unsigned style = 0);

    int GetDlgCtrlID() const { return m_id; }
    void SetDlgCtrlID(int id) { m_id = id; }
    unsigned GetSCBStyle() const { return m_dwSCBStyle; }
    void SetSCBStyle(unsigned style) { m_dwSCBStyle = style; }

    // The profile section of a bar: "<profile>-SCBar-<id>".
    static QString StateSection(const QString& profileName, int id);
    virtual void LoadState(const QString& profileName);
    virtual void SaveState(const QString& profileName);
    // Every sizing bar docked in (or floating from) the main window.
    static void LoadAllBarStates(QMainWindow* frame, const QString& profileName);
    static void SaveAllBarStates(QMainWindow* frame, const QString& profileName);

    // Where the bar is: one of the AFX_IDW_DOCKBAR_* ids (0 before it is
    // placed in a main window).
    unsigned DockSide() const;
    bool IsHorzDocked() const;
    bool IsVertDocked() const;
    bool IsFloatingBar() const { return DockSide() == AFX_IDW_DOCKBAR_FLOAT; }

    // The floating size for a floating resize of this length (LM_LENGTHY:
    // the length is the height), raised to the floating minimums. In the
    // docking modes the docked size; a length of -1 there means the frame
    // is laying out its bars, and the first bar of a row shares the row.
    QSize CalcDynamicLayout(int length, unsigned mode);

    static constexpr unsigned LM_STRETCH = 0x01;
    static constexpr unsigned LM_HORZ = 0x02;
    static constexpr unsigned LM_MRUWIDTH = 0x04;
    static constexpr unsigned LM_HORZDOCK = 0x08;
    static constexpr unsigned LM_VERTDOCK = 0x10;
    static constexpr unsigned LM_LENGTHY = 0x20;
    static constexpr unsigned LM_COMMIT = 0x40;

    // Docks the bar in the same row as other, after it: beside it along the
    // side it is docked on. False when other is not docked in this bar's
    // main window.
    bool DockBeside(CSizingControlBar* other);
    // The visible sizing bars of this bar's row, in order along the row
    // (this bar included); empty when the bar is not docked.
    std::vector<CSizingControlBar*> RowBars() const;

    // The main window the bar docks in (null before Create).
    QMainWindow* DockSite() const { return m_site; }
    // Puts the bar back at its remembered size for where it is now; a
    // docked bar's row is laid out at once.
    void ApplyRememberedSize();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool IsWindowShown() const override;
    void SetWindowShown(bool shown) override;
    int WindowMinLength(bool horz) const override;
    // The minimum size the dock layout holds the bar to where it is now.
    QSize MinimumForSide() const;

private:
    void OnTopLevelChanged(bool floating);
    void OnLocationChanged();
    DockRowLayout* RowLayout() const;

    QMainWindow* m_site = nullptr;
    int m_id = 0;
    unsigned m_dwSCBStyle = 0;
    // Size changes made by ApplyRememberedSize are not the user's.
    bool m_applying = false;
};

} // namespace ulv
