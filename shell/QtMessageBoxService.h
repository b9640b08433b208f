#pragma once

#include "platform/MessageBox.h"

#include <QMessageBox>

namespace ulv {

// The program's message boxes: a QMessageBox on the UI thread. A worker that
// shows a box waits until the user has answered it.
class QtMessageBoxService : public MessageBoxService {
public:
    int Show(const QString& text, const QString& caption, unsigned flags) override;

    static QMessageBox::StandardButtons ButtonsFor(unsigned flags);
    static QMessageBox::Icon IconFor(unsigned flags);
    static int AnswerFor(int button);
};

} // namespace ulv
