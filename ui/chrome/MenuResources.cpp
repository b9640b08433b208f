#include "ui/chrome/MenuResources.h"

#include "ui/chrome/WinMenu.h"

#include <map>

namespace ulv {

namespace {
    std::map<int, ToolBarResource>& ToolBars()
    {
        static std::map<int, ToolBarResource> map;
        return map;
    }
    std::map<int, QImage>& Bitmaps()
    {
        static std::map<int, QImage> map;
        return map;
    }
    std::map<int, QByteArray>& Templates()
    {
        static std::map<int, QByteArray> map;
        return map;
    }

    void PutWord(QByteArray& out, unsigned w)
    {
        out.append(char(w & 0xFF));
        out.append(char((w >> 8) & 0xFF));
    }

    void PutText(QByteArray& out, const QString& text)
    {
        for (QChar c : text)
            PutWord(out, c.unicode());
        PutWord(out, 0);
    }
} // namespace

void RegisterToolBarResource(int id, const ToolBarResource& toolbar) { ToolBars()[id] = toolbar; }
void RegisterBitmapResource(int id, const QImage& bitmap) { Bitmaps()[id] = bitmap; }
void RegisterMenuTemplate(int id, const QByteArray& menuTemplate) { Templates()[id] = menuTemplate; }

void ClearRegisteredResources()
{
    ToolBars().clear();
    Bitmaps().clear();
    Templates().clear();
}

const ToolBarResource* FindToolBar(int id)
{
    const auto it = ToolBars().find(id);
    if (it != ToolBars().end())
        return &it->second;
    EnsureChromeResources();
    return FindToolBarResource(id);
}

QImage LoadBitmapResource(int id)
{
    const auto it = Bitmaps().find(id);
    if (it != Bitmaps().end())
        return it->second;
    const ToolBarResource* toolbar = FindToolBar(id);
    if (!toolbar)
        return {};
    return QImage(toolbar->bitmap);
}

QByteArray FindMenuTemplate(int id)
{
    const auto it = Templates().find(id);
    if (it != Templates().end())
        return it->second;
    EnsureChromeResources();
    const std::vector<MenuPopupResource> menu = LoadMenuResource(id);
    return menu.empty() ? QByteArray() : BuildMenuTemplate(menu);
}

QByteArray BuildMenuTemplate(const std::vector<MenuPopupResource>& popups)
{
    QByteArray out;
    PutWord(out, 0);
    PutWord(out, 0);
    for (std::size_t p = 0; p < popups.size(); ++p) {
        PutWord(out, UINT(MF_POPUP) | (p + 1 == popups.size() ? UINT(MF_END) : 0u));
        PutText(out, popups[p].text);
        const auto& items = popups[p].items;
        if (items.empty()) {
            // A level needs one item to end on.
            PutWord(out, MF_SEPARATOR | MF_END);
            PutWord(out, 0);
            PutText(out, QString());
        }
        for (std::size_t i = 0; i < items.size(); ++i) {
            PutWord(out, (items[i].id == 0 ? UINT(MF_SEPARATOR) : 0u) | (i + 1 == items.size() ? UINT(MF_END) : 0u));
            PutWord(out, items[i].id);
            PutText(out, items[i].text);
        }
    }
    return out;
}

} // namespace ulv
