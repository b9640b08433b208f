#pragma once

#include <QMainWindow>

class QMdiArea;

namespace ulv {

class CAutoHideBar;

// A main window whose docking enabler also puts an auto-hide strip on each
// enabled edge, outside the dock areas.
class CAutoHideFrame : public QMainWindow {
    Q_OBJECT
public:
    explicit CAutoHideFrame(QWidget* parent = nullptr);
    // The strips go first, giving their pages back while the bars still live.
    ~CAutoHideFrame() override;

    // dockStyle: CBRS_ALIGN_* bits of the edges to enable.
    void EnableDocking(unsigned dockStyle);
    // The strip with this id (59435..59438), null when the edge has none.
    CAutoHideBar* Strip(int id) const;
    // What a sliding window is shown over.
    virtual QWidget* WorkArea() const { return centralWidget(); }

protected:
    void DestroyStrips();
};

// The same with a multiple-document area as its work area.
class CMDIAutoHideFrame : public CAutoHideFrame {
    Q_OBJECT
public:
    explicit CMDIAutoHideFrame(QWidget* parent = nullptr);
    QWidget* WorkArea() const override;
    QMdiArea* MdiArea() const { return m_mdi; }

private:
    QMdiArea* m_mdi;
};

} // namespace ulv
