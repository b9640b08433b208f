#include "ui/controls/CFontDialog_titlename.h"

namespace ulv {

CFontDialog_titlename::CFontDialog_titlename(const QFont& initial, QWidget* parent)
    : QFontDialog(initial, parent)
{
    setOption(QFontDialog::DontUseNativeDialog, true);
    setWindowTitle(Title());
}

QString CFontDialog_titlename::Title()
{
    return QString::fromUtf8("字体") + QString(109, QLatin1Char(' '));
}

} // namespace ulv
