#include "pages/data/AddressEdit.h"

#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QStringList>

namespace ulv {

void MakeAddressEdit(QLineEdit* edit)
{
    static const QRegularExpression dotted(QStringLiteral(R"(^(\d{1,3})(\.\d{1,3}){0,3}$)"));
    edit->setValidator(new QRegularExpressionValidator(dotted, edit));
    QObject::connect(edit, &QLineEdit::textEdited, edit, [edit](const QString& text) {
        QStringList octets = text.split(QLatin1Char('.'));
        bool clamped = false;
        for (QString& octet : octets)
            if (octet.toInt() > 255) {
                octet = QStringLiteral("255");
                clamped = true;
            }
        if (!clamped)
            return;
        const int cursor = edit->cursorPosition();
        edit->setText(octets.join(QLatin1Char('.')));
        edit->setCursorPosition(cursor);
    });
}

} // namespace ulv
