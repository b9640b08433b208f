#include "shell/QtMessageBoxService.h"

#include "platform/Gui.h"

#include <QApplication>

namespace ulv {

QMessageBox::StandardButtons QtMessageBoxService::ButtonsFor(unsigned flags)
{
    switch (flags & 0x0F) {
    case MB_OKCANCEL:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MB_YESNOCANCEL:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MB_YESNO:
        return QMessageBox::Yes | QMessageBox::No;
    default:
        return QMessageBox::Ok;
    }
}

QMessageBox::Icon QtMessageBoxService::IconFor(unsigned flags)
{
    switch (flags & 0xF0) {
    case MB_ICONERROR:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONWARNING:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

int QtMessageBoxService::AnswerFor(int button)
{
    switch (button) {
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    case QMessageBox::Cancel:
        return IDCANCEL;
    default:
        return IDOK;
    }
}

int QtMessageBoxService::Show(const QString& text, const QString& caption, unsigned flags)
{
    int answer = IDOK;
    Gui::Call([&] {
        QMessageBox box(IconFor(flags), caption, text, ButtonsFor(flags), QApplication::activeWindow());
        const QMessageBox::StandardButtons buttons = ButtonsFor(flags);
        // Esc answers Cancel where there is one, else the only button; a Yes/No
        // question has no escape, as on Windows.
        if (buttons.testFlag(QMessageBox::Cancel))
            box.setEscapeButton(QMessageBox::Cancel);
        else if (buttons == QMessageBox::Ok)
            box.setEscapeButton(QMessageBox::Ok);
        answer = AnswerFor(box.exec());
    });
    return answer;
}

} // namespace ulv
