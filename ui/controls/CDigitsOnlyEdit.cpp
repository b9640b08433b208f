#include "ui/controls/CDigitsOnlyEdit.h"

#include <QKeyEvent>
#include <QRegularExpressionValidator>

namespace ulv {

CDigitsOnlyEdit::CDigitsOnlyEdit(QWidget* parent)
    : QLineEdit(parent)
{
    setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this));
}

bool CDigitsOnlyEdit::Accepts(int key, const QString& produced)
{
    switch (key) {
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
    case Qt::Key_Left:
    case Qt::Key_Right:
        return true;
    default:
        break;
    }
    return produced.size() == 1 && produced.at(0) >= QLatin1Char('0') && produced.at(0) <= QLatin1Char('9');
}

void CDigitsOnlyEdit::keyPressEvent(QKeyEvent* event)
{
    if (!Accepts(event->key(), event->text())) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

} // namespace ulv
