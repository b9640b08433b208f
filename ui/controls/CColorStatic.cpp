#include "ui/controls/CColorStatic.h"

#include "ui/controls/WinLook.h"

namespace ulv {

CColorStatic::CColorStatic(QWidget* parent)
    : QLabel(parent)
{
    Init();
}

CColorStatic::CColorStatic(const QString& text, QWidget* parent)
    : QLabel(text, parent)
{
    Init();
}

void CColorStatic::Init()
{
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, ColorRefToQColor(0xFF0000));
    pal.setColor(QPalette::Window, ColorRefToQColor(0xD8E9EC));
    setPalette(pal);
    setAutoFillBackground(true);
}

} // namespace ulv
