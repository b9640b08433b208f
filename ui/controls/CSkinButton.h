#pragma once

#include "ui/controls/CDibImage.h"
#include "ui/controls/CImageButton.h"

namespace ulv {

// The dialogs' push button: an image button whose face is a generated,
// shaded and noisy 8-bit texture tinted toward a colour, with a lighter copy
// for the hovered state.
class CSkinButton : public CImageButton {
    Q_OBJECT
public:
    explicit CSkinButton(QWidget* parent = nullptr);
    explicit CSkinButton(const QString& text, QWidget* parent = nullptr);
    ~CSkinButton() override;

    // Builds both faces at the button's current size. Pattern types: 1
    // diagonal shade, 2 horizontal shade, 3 vertical shade, 4 horizontal bump,
    // 5 vertical bump, 6 soft bump, 7 hard bump, 8 brushed metal, else noise.
    // Noise comes from the calling thread's C runtime generator.
    void BuildSkin(unsigned type, int granularity, int highlight, int coloring, COLORREF color);
    // The face every dialog gives its buttons: a horizontal bump tinted
    // 0xFF3737, with the dialogs' text colour 0x333399 in every state.
    void BuildDialogSkin();

    const CDibImage& NormalFace() const { return m_dibNormal; }
    const CDibImage& HoverFace() const { return m_dibHover; }

    // The face pattern alone, written into an 8-bit image of any size; the
    // palette is left to the caller.
    static void FillPattern(CDibImage& dib, unsigned type, int granularity);

protected:
    void DrawBackground(QPainter& p, QRect item) override;

private:
    CDibImage m_dibNormal;
    CDibImage m_dibHover;
    // The faces as the painter takes them, made once per BuildSkin: every
    // repaint of every dialog button draws one.
    QImage m_normalImage;
    QImage m_hoverImage;
};

} // namespace ulv
