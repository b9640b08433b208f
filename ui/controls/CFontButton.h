#pragma once

#include "ui/controls/WinLook.h"

#include <QFont>
#include <QImage>
#include <QPushButton>

namespace ulv {

// Push button showing a state picture (normal, pressed, hovered, disabled)
// and, when switched on, a caption in its own font, colours, alignment,
// emboss and drop shadow. The font setters return the button for chaining.
class CFontButton : public QPushButton {
    Q_OBJECT
public:
    explicit CFontButton(QWidget* parent = nullptr);
    explicit CFontButton(const QString& text, QWidget* parent = nullptr);
    ~CFontButton() override;

    virtual CFontButton& SetShowText(bool show = true, bool repaint = false);
    virtual CFontButton& SetBold(bool bold = true, bool repaint = false);
    virtual CFontButton& SetFaceName(const QString& face, bool repaint = false);
    virtual CFontButton& SetUnderline(bool underline = true, bool repaint = false);
    virtual CFontButton& SetItalic(bool italic = true, bool repaint = false);
    virtual CFontButton& SetPointSize(int points, bool repaint = false);
    virtual CFontButton& SetLogFont(const QFont& font, bool repaint = false);
    virtual CFontButton& SetTextShadow(bool on, int dx = 3, int dy = 2, bool repaint = false);
    virtual CFontButton& SetShadowColor(COLORREF color, bool repaint = false);
    virtual CFontButton& SetDisabledEmboss(bool on = true, bool repaint = false);

    // Picture ids as the image button's (":/bitmaps/N.png"); only the normal
    // one is required. 1, or 0 when a picture cannot be read (all freed).
    int SetBitmaps(int normal, int pressed = 0, int hover = 0, int disabled = 0);
    int SetBitmaps(const QImage& normal, const QImage& pressed = QImage(), const QImage& hover = QImage(),
                   const QImage& disabled = QImage());
    int SetTextColors(COLORREF normal, COLORREF pressed, COLORREF hover, bool repaint = false);
    // 0 left fifth, 1 right fifth, 2 centred; 0 returned for anything else.
    int SetTextAlign(int align, bool repaint = false);
    int SetFocusRect(bool on, bool repaint = false);
    int SetFocusRectInset(int x, int y);
    int SetSound(const QString& sound, bool click, bool async = true);
    // The cursor over the button: icon id N as the image button's; 0 removes
    // it. 1, or 0 when the cursor cannot be loaded.
    int SetButtonCursor(int cursorId, bool repaint = false);
    int SizeToBitmap();

    const QFont& CaptionFont() const { return m_font; }
    bool IsHovered() const { return m_bHover; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

    virtual void DrawBitmap(QPainter& p, const QRect& item);
    virtual void DrawCaption(QPainter& p, QRect item, const QString& text);

private:
    void Init();
    CFontButton& Done(bool repaint);
    void OnClicked();

    QString m_hoverSound, m_clickSound;
    bool m_hoverAsync = true, m_clickAsync = true;
    bool m_bDrawFocusRect = false;
    bool m_bShowText = false;
    bool m_bHover = false, m_bPressed = false, m_bFocused = false, m_bDisabled = false;
    bool m_bDisabledEmboss = true;
    QPoint m_focusInset{3, 3};
    QPoint m_pressedShift{1, 1};
    QImage m_normal, m_pressed, m_hover, m_disabled;
    COLORREF m_crNormal = 0, m_crPressed = 0, m_crHover = 0;
    int m_align = 2;
    QFont m_font;
    bool m_bShadow = false;
    COLORREF m_crShadow = 0;
    QPoint m_shadowOffset{3, 2};
};

} // namespace ulv
