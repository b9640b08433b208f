#pragma once

#include "ui/controls/EnglishFileDialog.h"

namespace ulv {

// The English file dialog with "&SAVE" on a save.
class CFileDialog_englishtext : public EnglishFileDialog {
    Q_OBJECT
public:
    CFileDialog_englishtext(bool open, const QString& defaultExt = QString(), const QString& fileName = QString(),
                            unsigned flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                            const QString& filter = QString(), QWidget* parent = nullptr);
};

} // namespace ulv
