#pragma once

#include "ui/controls/WinLook.h"

#include <QLineEdit>

#include <functional>

namespace ulv {

// The status bar's read-only line showing " Log file: <path>"; a double click
// opens the named file with the desktop's default application.
class CLogFileEdit : public QLineEdit {
    Q_OBJECT
public:
    using Opener = std::function<void(const QString& path)>;

    explicit CLogFileEdit(QWidget* parent = nullptr);

    void SetBkColor(COLORREF color);
    void SetTextColor(COLORREF color);
    // Replaces the default opener (QDesktopServices::openUrl); tests record.
    void SetOpener(Opener opener);

    // The path a double click opens for a text, or empty.
    static QString LogPathFromText(const QString& text);

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    COLORREF m_crText = 0;
    Opener m_opener;
};

} // namespace ulv
