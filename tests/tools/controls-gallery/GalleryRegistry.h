#pragma once

// The control gallery's pages. Each .cpp of this folder may add pages with
//   static ulv::gallery::Page page("name", [] { return new QWidget...; });
// The factory runs once the application exists; the widget it returns shows
// its controls in their states, already set up (hover, pressed, disabled...).

#include <QString>
#include <QWidget>

#include <functional>
#include <vector>

namespace ulv::gallery {

using PageFactory = std::function<QWidget*()>;

struct PageEntry {
    QString name;
    PageFactory make;
};

// Every registered page, in name order.
std::vector<PageEntry> Pages();

class Page {
public:
    Page(const char* name, PageFactory make);
};

// Helpers for pages.
// A page with the dialogs' face: 0xCDCDCD background, 0x333399 text.
QWidget* DialogFace();
// Puts a control into the hovered state as the mouse would.
void Hover(QWidget* w);
// A labelled cell of a grid page.
QWidget* Labelled(const QString& caption, QWidget* control, QWidget* parent);

} // namespace ulv::gallery
