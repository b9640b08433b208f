#pragma once

#include "ui/controls/CFlatHeaderCtrl.h"
#include "ui/controls/SortableReportList.h"

namespace ulv {

// The sortable report list with the flat header (APN list, AT-command manager).
class CSortableListCtrl : public SortableReportList {
    Q_OBJECT
public:
    explicit CSortableListCtrl(QWidget* parent = nullptr);

    // How many texts AddRow takes; set once the columns exist (at least 1).
    void SetColumnCount(int n) { m_columnCount = n; }
    int GetColumnCountOfRows() const { return m_columnCount; }

    CFlatHeaderCtrl* GetHeaderCtrl() const { return m_header; }

    // The flat header keeps nothing of its own in the profile: the entry
    // "ListCtrls"/"<control id>" is written empty and loading changes nothing.
    bool LoadLayout();
    bool SaveLayout();

protected:
    void ShowSortMark(int column, bool ascending) override;

private:
    CFlatHeaderCtrl* m_header;
};

} // namespace ulv
