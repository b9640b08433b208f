#include "ui/controls/CFileDialog_language.h"

#include <QShowEvent>

namespace ulv {

CFileDialog_language::CFileDialog_language(bool open, const QString& defaultExt, const QString& fileName,
                                           unsigned flags, const QString& filter, QWidget* parent)
    : EnglishFileDialog(open, defaultExt, fileName, flags, filter, parent, QStringLiteral("&save"))
{
}

void CFileDialog_language::showEvent(QShowEvent* event)
{
    EnglishFileDialog::showEvent(event);
    if (QWidget* owner = parentWidget())
        move(owner->window()->mapToGlobal(QPoint(0, 0)) + QPoint(305, 50));
}

} // namespace ulv
