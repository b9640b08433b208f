#pragma once

#include <QFont>
#include <QProxyStyle>
#include <functional>

namespace ulv {

class CToolBarImageSet;

// The look of the command rebar: flat menu-bar buttons over the band, the
// light popup items with their picture column, check box and pictures, and the
// flat toolbar buttons. The popup pictures come from the menu bar's image set,
// found by the item's command id.
class ChromeStyle : public QProxyStyle {
    Q_OBJECT
public:
    // Popup item colours.
    static constexpr unsigned kPictureColumn = 0xD1D8DB;
    static constexpr unsigned kItemBackground = 0xF7F8F9;
    static constexpr unsigned kSelectedFill = 0xCFB9B1;
    static constexpr unsigned kSeparatorUpper = 0xC6C6C6;
    static constexpr unsigned kSeparatorLower = 0xFFFFFF;
    static constexpr unsigned kCheckFrame = 0x845118;
    static constexpr unsigned kCheckMark = 0x21A221;
    static constexpr unsigned kCheckMarkDisabled = 0xBDCBCE;
    static constexpr unsigned kHotButtonFill = 0xF7F8F9;
    static constexpr int kPictureColumnWidth = 24;
    static constexpr int kMinItemHeight = 26;

    explicit ChromeStyle(QObject* parent = nullptr);

    // Where popup pictures come from: the set and the picture index of a
    // command id (-1 for none).
    void SetPictures(const CToolBarImageSet* images, std::function<int(unsigned)> pictureIndex);
    // The font popup items are measured and drawn with.
    void SetItemFont(const QFont& font);

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
        const QWidget* widget = nullptr) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
        const QWidget* widget = nullptr) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
        const QWidget* widget = nullptr) const override;
    int pixelMetric(
        PixelMetric metric, const QStyleOption* option = nullptr, const QWidget* widget = nullptr) const override;
    int styleHint(StyleHint hint, const QStyleOption* option = nullptr, const QWidget* widget = nullptr,
        QStyleHintReturn* returnData = nullptr) const override;

    // The pieces of the popup items, public for the painting tests.
    static void DrawItemBackground(QPainter& p, const QRect& r, bool selected);
    static void DrawSeparator(QPainter& p, const QRect& r);
    static void DrawCheckMark(QPainter& p, const QRect& r, bool selected, bool disabled, bool checked);
    static void DrawButtonBackground(QPainter& p, const QRect& r, bool hot, bool pressed);
    // A popup item in plain system colours, for menus outside the bar's look:
    // the label and a tab-separated accelerator, the check box and picture
    // column at the left (picture -1: none).
    static void DrawPopupItemSystemColors(QPainter& p, const QRect& r, const QString& text, const QFont& font,
        bool selected, bool disabled, bool checked, const CToolBarImageSet* images, int picture);

private:
    void DrawPopupItem(const QStyleOption* option, QPainter* painter, const QWidget* widget) const;

    const CToolBarImageSet* m_images = nullptr;
    std::function<int(unsigned)> m_pictureIndex;
    QFont m_itemFont;
    bool m_hasItemFont = false;
};

} // namespace ulv
