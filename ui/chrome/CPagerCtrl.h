#pragma once

#include <QWidget>
#include <functional>

class QToolButton;

namespace ulv {

// A page scroller: carries one child and, when the child is taller than the
// pager, shows an arrow button at the top and at the bottom that scroll it.
class CPagerCtrl : public QWidget {
    Q_OBJECT
public:
    explicit CPagerCtrl(QWidget* parent = nullptr);

    virtual bool Create(QWidget* parent, int id);

    // PGM_SETCHILD: the window the pager scrolls.
    void SetChild(QWidget* child);
    QWidget* Child() const { return m_child; }
    // PGM_SETBUTTONSIZE.
    void SetButtonSize(int size);
    int ButtonSize() const { return m_buttonSize; }
    // PGN_CALCSIZE: asked for the height the child needs.
    void SetCalcSize(std::function<int()> calcSize) { m_calcSize = std::move(calcSize); }
    // Re-reads the child's height and lays the pager out.
    void RecalcSize();

    bool ButtonsShown() const;
    int Position() const { return m_pos; }
    void SetPosition(int pos);
    void ScrollBy(int delta);
    int ControlId() const { return m_id; }
    QToolButton* UpButton() const { return m_up; }
    QToolButton* DownButton() const { return m_down; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void Layout();
    int ContentHeight() const;

    QWidget* m_viewport;
    QWidget* m_child = nullptr;
    QToolButton* m_up;
    QToolButton* m_down;
    std::function<int()> m_calcSize;
    int m_buttonSize = 12;
    int m_pos = 0;
    int m_id = 0;
};

} // namespace ulv
