#include "ui/controls/CFlatIPAddressCtrl.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QRegularExpressionValidator>

namespace ulv {

CFlatIPAddressCtrl::CFlatIPAddressCtrl(QWidget* parent)
    : QWidget(parent)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(3, 3, 3, 3);
    layout->setSpacing(0);
    auto* digits = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,3}")), this);
    for (int i = 0; i < 4; ++i) {
        auto* field = new QLineEdit(this);
        field->setFrame(false);
        field->setAlignment(Qt::AlignCenter);
        field->setValidator(digits);
        field->setMaxLength(3);
        field->installEventFilter(this);
        connect(field, &QLineEdit::textEdited, this, [this, i] { OnEdited(i); });
        m_fields[size_t(i)] = field;
        layout->addWidget(field);
        if (i < 3)
            layout->addWidget(new QLabel(QStringLiteral("."), this));
    }
}

void CFlatIPAddressCtrl::OnEdited(int field)
{
    QLineEdit* edit = m_fields[size_t(field)];
    if (edit->text().isEmpty())
        return;
    int value = edit->text().toInt();
    if (value > 255) {
        value = 255;
        edit->setText(QStringLiteral("255"));
    }
    Q_EMIT FieldChanged(field, value);
    if (edit->text().size() == 3 && field < 3) {
        m_fields[size_t(field + 1)]->setFocus();
        m_fields[size_t(field + 1)]->selectAll();
    }
}

bool CFlatIPAddressCtrl::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    int field = -1;
    for (int i = 0; i < 4; ++i)
        if (watched == m_fields[size_t(i)])
            field = i;
    if (field < 0)
        return false;
    QLineEdit* edit = m_fields[size_t(field)];
    if ((key->text() == QLatin1String(".") || key->key() == Qt::Key_Space) && field < 3) {
        if (!edit->text().isEmpty()) {
            m_fields[size_t(field + 1)]->setFocus();
            m_fields[size_t(field + 1)]->selectAll();
        }
        return true;
    }
    if (key->key() == Qt::Key_Backspace && edit->cursorPosition() == 0 && !edit->hasSelectedText() && field > 0) {
        QLineEdit* previous = m_fields[size_t(field - 1)];
        previous->setFocus();
        previous->setCursorPosition(int(previous->text().size()));
        return true;
    }
    return false;
}

int CFlatIPAddressCtrl::GetAddress(std::uint8_t& f0, std::uint8_t& f1, std::uint8_t& f2, std::uint8_t& f3) const
{
    std::uint8_t* out[4] = {&f0, &f1, &f2, &f3};
    int filled = 0;
    for (int i = 0; i < 4; ++i) {
        const QString t = m_fields[size_t(i)]->text();
        *out[i] = std::uint8_t(std::min(255, t.toInt()));
        filled += t.isEmpty() ? 0 : 1;
    }
    return filled;
}

int CFlatIPAddressCtrl::GetAddress(std::uint32_t& address) const
{
    std::uint8_t f[4];
    const int filled = GetAddress(f[0], f[1], f[2], f[3]);
    address = (std::uint32_t(f[0]) << 24) | (std::uint32_t(f[1]) << 16) | (std::uint32_t(f[2]) << 8) | f[3];
    return filled;
}

void CFlatIPAddressCtrl::SetAddress(std::uint8_t f0, std::uint8_t f1, std::uint8_t f2, std::uint8_t f3)
{
    const std::uint8_t f[4] = {f0, f1, f2, f3};
    for (int i = 0; i < 4; ++i)
        m_fields[size_t(i)]->setText(QString::number(f[i]));
}

void CFlatIPAddressCtrl::SetAddress(std::uint32_t address)
{
    SetAddress(std::uint8_t(address >> 24), std::uint8_t(address >> 16), std::uint8_t(address >> 8),
        std::uint8_t(address));
}

void CFlatIPAddressCtrl::ClearAddress()
{
    for (QLineEdit* field : m_fields)
        field->clear();
}

bool CFlatIPAddressCtrl::IsBlank() const
{
    for (QLineEdit* field : m_fields)
        if (!field->text().isEmpty())
            return false;
    return true;
}

void CFlatIPAddressCtrl::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    p.setPen(QColor(kFrame));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

} // namespace ulv
