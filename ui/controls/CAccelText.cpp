#include "ui/controls/CAccelText.h"

namespace ulv {

namespace {

struct KeyNameEntry {
    int vk;
    const char* name;
};

// The names a US keyboard layout gives its keys.
constexpr KeyNameEntry kKeyNames[] = {
    {0x08, "Backspace"}, {0x09, "Tab"},        {0x0D, "Enter"},     {0x10, "Shift"},
    {0x11, "Ctrl"},      {0x12, "Alt"},        {0x13, "Pause"},     {0x14, "Caps Lock"},
    {0x1B, "Esc"},       {0x20, "Space"},      {0x21, "Page Up"},   {0x22, "Page Down"},
    {0x23, "End"},       {0x24, "Home"},       {0x25, "Left"},      {0x26, "Up"},
    {0x27, "Right"},     {0x28, "Down"},       {0x2C, "Prnt Scrn"}, {0x2D, "Insert"},
    {0x2E, "Delete"},    {0x6A, "Num *"},      {0x6B, "Num +"},     {0x6D, "Num -"},
    {0x6E, "Num Del"},   {0x6F, "Num /"},      {0x90, "Num Lock"},  {0x91, "Scroll Lock"},
    {0xBA, ";"},         {0xBB, "="},          {0xBC, ","},         {0xBD, "-"},
    {0xBE, "."},         {0xBF, "/"},          {0xC0, "`"},         {0xDB, "["},
    {0xDC, "\\"},        {0xDD, "]"},          {0xDE, "'"},
};

} // namespace

QString CAccelText::KeyName(int vk)
{
    if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z'))
        return QString(QChar(vk));
    if (vk >= 0x60 && vk <= 0x69)
        return QStringLiteral("Num %1").arg(vk - 0x60);
    if (vk >= 0x70 && vk <= 0x87)
        return QStringLiteral("F%1").arg(vk - 0x6F);
    for (const auto& e : kKeyNames)
        if (e.vk == vk)
            return QString::fromLatin1(e.name);
    return {};
}

void CAccelText::GetKeyText(QString& out) const
{
    out.clear();
    if (!m_pAccel)
        return;
    if (m_pAccel->fVirt & FCONTROL)
        out += QStringLiteral("Ctrl+");
    if (m_pAccel->fVirt & FSHIFT)
        out += QStringLiteral("Shift+");
    if (m_pAccel->fVirt & FALT)
        out += QStringLiteral("Alt+");
    if (m_pAccel->fVirt & FVIRTKEY)
        out += KeyName(m_pAccel->key).left(63);
    else if (m_pAccel->key != 27)
        out += QChar(m_pAccel->key);
}

void CAccelText::FormatKeyName(QString& out, int virtualKey, bool isLast)
{
    QString name = KeyName(virtualKey).left(49).toLower();
    for (QChar& c : name) {
        if (c.isLower()) {
            c = c.toUpper();
            break;
        }
    }
    out += name;
    if (!isLast)
        out += QLatin1Char('+');
}

} // namespace ulv
