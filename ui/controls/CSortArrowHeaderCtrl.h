#pragma once

#include "ui/controls/ListHeaderView.h"

#include <QByteArray>

#include <set>

namespace ulv {

// The lighter header of the column-sort list: the platform draws every column
// until it has carried the sort mark; from then on that column is drawn here
// on a grey face, with a 3-D triangle while it carries the mark.
class CSortArrowHeaderCtrl : public ListHeaderView {
    Q_OBJECT
public:
    explicit CSortArrowHeaderCtrl(QWidget* parent = nullptr);

    void SetSortMark(int column, bool ascending);
    int GetSortColumn() const { return m_sortColumn; }
    bool IsSortAscending() const { return m_ascending; }
    bool IsOwnerDrawn(int column) const { return m_ownerDrawn.count(column) != 0; }

    // The column widths as stored in the profile (count, then one width each).
    QByteArray SaveWidths() const;
    // Applies stored widths; false (nothing changed) when they do not fit.
    bool LoadWidths(const QByteArray& bytes);

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void DrawItem(QPainter& p, const QRect& rect, int logical, bool pressed) const;

    int m_sortColumn = -1;
    bool m_ascending = true;
    int m_pressed = -1;
    std::set<int> m_ownerDrawn;
};

} // namespace ulv
