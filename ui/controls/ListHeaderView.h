#pragma once

#include "ui/controls/WinLook.h"

#include <QHeaderView>

namespace ulv {

// What the flat and the sort-arrow headers of the report lists share: titles
// that click but are never highlighted and carry no Qt sort indicator, columns
// that may shrink to nothing, one text line of height, and the grey face they
// paint their own columns on.
class ListHeaderView : public QHeaderView {
    Q_OBJECT
public:
    static constexpr COLORREF kFace = 0xCDCDCD;

    explicit ListHeaderView(QWidget* parent = nullptr);

    QSize sizeHint() const override;
};

} // namespace ulv
