#pragma once

namespace ulv {

// A rectangle by its edges (left, top, right, bottom), as the chart formulas use them.
struct ChartRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    friend bool operator==(const ChartRect&, const ChartRect&) = default;
};

} // namespace ulv
