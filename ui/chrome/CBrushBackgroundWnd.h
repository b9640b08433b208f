#pragma once

#include <QWidget>

namespace ulv {

// A plain child window whose background is pure green.
class CBrushBackgroundWnd : public QWidget {
    Q_OBJECT
public:
    explicit CBrushBackgroundWnd(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace ulv
