#pragma once

#include <QWidget>
#include <vector>

class QHBoxLayout;

namespace ulv {

// A row of bands whose backgrounds a derived class paints through DrawBand;
// the bands' own controls draw over it.
class CBrushReBarCtrl : public QWidget {
    Q_OBJECT
public:
    explicit CBrushReBarCtrl(QWidget* parent = nullptr);

    // Adds a band holding child; returns its index.
    int InsertBand(QWidget* child);
    int GetBandCount() const { return int(m_bands.size()); }
    QRect BandRect(int index) const;

protected:
    // Paints one band's background; empty here. state is 0x0001 while the band
    // holds the focus (CDIS_SELECTED) and 0 otherwise.
    virtual void DrawBand(QPainter& p, const QRect& r, unsigned state);
    void paintEvent(QPaintEvent* event) override;

private:
    QHBoxLayout* m_layout;
    std::vector<QWidget*> m_bands;
};

} // namespace ulv
