#pragma once

#include <QString>
#include <vector>

namespace ulv {

// The program's menu, toolbar and navigation artwork and texts, kept under the
// ids the rest of the program knows them by.

// A toolbar description: image size, the command ids in order (0 for a
// separator) and the strip image holding the pictures of the non-separators
// side by side.
struct ToolBarResource {
    int imageWidth = 0;
    int imageHeight = 0;
    std::vector<unsigned> ids;
    QString bitmap;
};

struct MenuItemResource {
    unsigned id = 0; // 0 for a separator
    QString text; // "&" marks the access key; "\t" starts the accelerator text
};

struct MenuPopupResource {
    QString text;
    std::vector<MenuItemResource> items;
};

// Toolbar 128 (the main toolbar) and 299 (pictures of the popup items); null
// for any other id.
const ToolBarResource* FindToolBarResource(int id);
// Menu 128; empty for any other id.
std::vector<MenuPopupResource> LoadMenuResource(int id);
// A command's string: the status prompt, then "\n" and the tooltip, optionally
// a second "\n" and a button label. Empty when the command has none.
QString CommandString(unsigned id);
// The status prompt and the tooltip halves of CommandString.
QString CommandPrompt(unsigned id);
QString CommandTooltip(unsigned id);
// Path of a navigation icon by its resource id; empty when there is none.
QString NavigationIconPath(unsigned id);
// Backgrounds: the navigation bar's tile and the splitter bars' pattern.
QString NavigationBackgroundPath();
QString SplitterPatternPath();

// Makes the chrome resources available (the widget library is static).
void EnsureChromeResources();

} // namespace ulv
