#pragma once

#include "ui/controls/CFlatHeaderCtrl.h"
#include "ui/controls/ReportListView.h"

namespace ulv {

// A report list with the flat header. A click on a column title only moves the
// header's sort mark (a new column starts ascending, the same column flips);
// the rows stay in the order the owner put them.
class CFlatHeaderListCtrl : public ReportListView {
    Q_OBJECT
public:
    explicit CFlatHeaderListCtrl(QWidget* parent = nullptr);

    CFlatHeaderCtrl* GetHeaderCtrl() const { return m_header; }

protected:
    void OnColumnClick(int column) override;

private:
    CFlatHeaderCtrl* m_header;
};

} // namespace ulv
