#pragma once

#include <QWidget>

namespace ulv {

class CFlatHeaderCtrl;

// The picture of a column that follows the cursor while it is dragged: a
// top-most tool window over the column that takes no input.
class CHeaderDragWnd : public QWidget {
    Q_OBJECT
public:
    CHeaderDragWnd();
    // Shows the window exactly over screenRect with the header's item drawn.
    bool Create(const QRect& screenRect, CFlatHeaderCtrl* header, int item);
    int Item() const { return m_item; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CFlatHeaderCtrl* m_header = nullptr;
    int m_item = -1;
};

} // namespace ulv
