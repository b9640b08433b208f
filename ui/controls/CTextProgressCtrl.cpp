#include "ui/controls/CTextProgressCtrl.h"

#include "platform/Gui.h"

#include <QPainter>
#include <QPointer>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace ulv {

CTextProgressCtrl::CTextProgressCtrl(QWidget* parent)
    : QProgressBar(parent)
    , m_crBk(GetSysColor(COLOR_BTNFACE))
{
    QProgressBar::setRange(0, 100);
    setValue(0);
    setTextVisible(false);
}

void CTextProgressCtrl::OnUiThread(std::function<void()> fn)
{
    if (Gui::IsUiThread()) {
        fn();
        return;
    }
    Gui::Post([self = QPointer<CTextProgressCtrl>(this), fn = std::move(fn)] {
        if (self)
            fn();
    });
}

int CTextProgressCtrl::SetRange(int lower, int upper)
{
    const int previous = (m_nLower & 0xFFFF) | (m_nUpper << 16);
    m_nLower = lower;
    m_nUpper = upper;
    m_nPos = lower;
    OnUiThread([this, lower, upper] {
        QProgressBar::setRange(std::min(lower, upper), std::max(lower, upper));
        setValue(std::min(lower, upper));
        update();
    });
    return previous;
}

int CTextProgressCtrl::SetPos(int position)
{
    const int previous = m_nPos.exchange(position);
    OnUiThread([this, position] {
        if (position >= minimum() && position <= maximum())
            setValue(position);
        update();
    });
    return previous;
}

int CTextProgressCtrl::SetStep(int step)
{
    return m_nStep.exchange(step);
}

int CTextProgressCtrl::StepIt()
{
    const int previous = m_nPos.fetch_add(m_nStep);
    const int now = previous + m_nStep;
    OnUiThread([this, now] {
        if (now >= minimum() && now <= maximum())
            setValue(now);
        update();
    });
    return previous;
}

void CTextProgressCtrl::SetCaption(const QString& caption)
{
    OnUiThread([this, caption] {
        m_strCaption = caption;
        update();
    });
}

void CTextProgressCtrl::SetBarColors(COLORREF start, COLORREF end)
{
    OnUiThread([this, start, end] {
        m_crStart = start;
        m_crEnd = end;
        update();
    });
}

void CTextProgressCtrl::SetBkColor(COLORREF color)
{
    OnUiThread([this, color] {
        m_crBk = color;
        update();
    });
}

void CTextProgressCtrl::SetTextColor(COLORREF color)
{
    OnUiThread([this, color] {
        m_crText = color;
        update();
    });
}

void CTextProgressCtrl::SetShowText(bool show)
{
    OnUiThread([this, show] {
        m_bShowText = show;
        update();
    });
}

int CTextProgressCtrl::FillWidth(int clientWidth) const
{
    const int lower = m_nLower, upper = m_nUpper, pos = m_nPos;
    if (!(lower < pos && pos < upper))
        return 0;
    // The done part is position / upper of the width; a range that ends at or
    // below zero has no such fraction, so it is measured from the lower bound.
    const double fraction = upper > 0 ? double(pos) / upper : double(pos - lower) / (double(upper) - lower);
    return std::clamp(int(fraction * clientWidth), 0, clientWidth);
}

void CTextProgressCtrl::paintEvent(QPaintEvent*)
{
    const QRect client = rect();
    if (client.isEmpty())
        return;
    QPainter p(this);
    const int lower = m_nLower, upper = m_nUpper, pos = m_nPos;
    if (!(lower < pos && pos < upper)) {
        FillSolidRect(p, client, GetSysColor(COLOR_BTNFACE));
        return;
    }
    const int W = client.width(), H = client.height();
    const int fill = FillWidth(W);
    const int dR = GetRValue(m_crEnd) - GetRValue(m_crStart);
    const int dG = GetGValue(m_crEnd) - GetGValue(m_crStart);
    const int dB = GetBValue(m_crEnd) - GetBValue(m_crStart);
    const int n = std::max({std::abs(dR), std::abs(dG), std::abs(dB)});
    if (n == 0) {
        // One colour: the done part in it, the rest in the background.
        FillSolidRect(p, QRect(0, 0, fill, H), m_crStart);
        FillSolidRect(p, QRect(fill, 0, W - fill, H), m_crBk);
    } else {
        const double band = double(W) / n;
        const double ir = double(dR) / n, ig = double(dG) / n, ib = double(dB) / n;
        for (int i = 0; i < n; ++i) {
            const int left = int(i * band), right = int((i + 1) * band);
            const COLORREF c = Rgb(int(GetRValue(m_crStart) + i * ir), int(GetGValue(m_crStart) + i * ig),
                                   int(GetBValue(m_crStart) + i * ib));
            FillSolidRect(p, QRect(left, 0, right - left, H + 1), c);
            if (right > fill) {
                FillSolidRect(p, QRect(right, 0, W - right, H), m_crBk);
                break;
            }
        }
    }
    if (m_bShowText && !m_strCaption.isEmpty()) {
        p.setPen(ColorRefToQColor(m_crText));
        p.drawText(client, Qt::AlignCenter | Qt::TextSingleLine, m_strCaption);
    }
}

} // namespace ulv
