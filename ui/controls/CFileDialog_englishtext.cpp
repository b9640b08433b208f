#include "ui/controls/CFileDialog_englishtext.h"

namespace ulv {

CFileDialog_englishtext::CFileDialog_englishtext(bool open, const QString& defaultExt, const QString& fileName,
                                                 unsigned flags, const QString& filter, QWidget* parent)
    : EnglishFileDialog(open, defaultExt, fileName, flags, filter, parent, QStringLiteral("&SAVE"))
{
}

} // namespace ulv
