#pragma once

#include <QFontDialog>

namespace ulv {

// Font dialog titled 字体 ("font") followed by 109 spaces.
class CFontDialog_titlename : public QFontDialog {
    Q_OBJECT
public:
    explicit CFontDialog_titlename(const QFont& initial = QFont(), QWidget* parent = nullptr);

    static QString Title();
};

} // namespace ulv
