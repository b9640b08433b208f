#pragma once

#include <QLabel>

namespace ulv {

// A value label without a box of its own: the parent's background shows
// through, and a new text repaints the parent underneath first, so the old
// text never lingers. Font: "Arial Unicode MS", 12 pixels, weight 500.
class CTransparentLabel : public QLabel {
    Q_OBJECT
public:
    explicit CTransparentLabel(QWidget* parent = nullptr);
    explicit CTransparentLabel(const QString& text, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Init();
};

} // namespace ulv
