#pragma once

#include "ui/chrome/ChromeResources.h"

#include <QByteArray>
#include <QImage>

namespace ulv {

// Toolbars, bitmaps and menu templates by resource id, for the menu classes
// that load their pictures and items by id. The program's own artwork is
// found through ChromeResources; further entries (a library user's own, the
// gallery's, a test's) are registered here and take precedence.

void RegisterToolBarResource(int id, const ToolBarResource& toolbar);
void RegisterBitmapResource(int id, const QImage& bitmap);
void RegisterMenuTemplate(int id, const QByteArray& menuTemplate);
// Drops every registered entry (tests).
void ClearRegisteredResources();

// The toolbar of an id; null when there is none.
const ToolBarResource* FindToolBar(int id);
// The bitmap of an id: a registered one, else the strip of the toolbar with
// that id; null image when there is none.
QImage LoadBitmapResource(int id);
// The menu template of an id: a registered one, else the program's menu of
// that id in template form; empty when there is none.
QByteArray FindMenuTemplate(int id);

// A menu template (header of two zero words, then per item a flags word, the
// command id word for a command, the UTF-16 text with its terminating zero;
// MF_END on the last item of each level) built from popups of commands.
QByteArray BuildMenuTemplate(const std::vector<MenuPopupResource>& popups);

} // namespace ulv
