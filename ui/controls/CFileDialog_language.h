#pragma once

#include "ui/controls/EnglishFileDialog.h"

namespace ulv {

// The English file dialog with "&save" on a save, placed 305 pixels right and
// 50 down of the main window's client origin when it shows.
class CFileDialog_language : public EnglishFileDialog {
    Q_OBJECT
public:
    CFileDialog_language(bool open, const QString& defaultExt = QString(), const QString& fileName = QString(),
                         unsigned flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const QString& filter = QString(),
                         QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;
};

} // namespace ulv
