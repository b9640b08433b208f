#include "GalleryRegistry.h"

#include <QApplication>
#include <QEnterEvent>
#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>

namespace ulv::gallery {

namespace {

std::vector<PageEntry>& Registry()
{
    static std::vector<PageEntry> pages;
    return pages;
}

} // namespace

Page::Page(const char* name, PageFactory make)
{
    Registry().push_back({QString::fromUtf8(name), std::move(make)});
}

std::vector<PageEntry> Pages()
{
    std::vector<PageEntry> pages = Registry();
    std::sort(pages.begin(), pages.end(), [](const PageEntry& a, const PageEntry& b) { return a.name < b.name; });
    return pages;
}

QWidget* DialogFace()
{
    auto* w = new QWidget;
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, QColor(0xCD, 0xCD, 0xCD));
    pal.setColor(QPalette::WindowText, QColor(0x99, 0x33, 0x33));
    w->setPalette(pal);
    w->setAutoFillBackground(true);
    return w;
}

void Hover(QWidget* w)
{
    QEnterEvent e(QPointF(2, 2), QPointF(2, 2), w->mapToGlobal(QPointF(2, 2)));
    QApplication::sendEvent(w, &e);
}

QWidget* Labelled(const QString& caption, QWidget* control, QWidget* parent)
{
    auto* cell = new QWidget(parent);
    auto* layout = new QVBoxLayout(cell);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(2);
    auto* label = new QLabel(caption, cell);
    layout->addWidget(label);
    control->setParent(cell);
    layout->addWidget(control, 0, Qt::AlignLeft);
    return cell;
}

} // namespace ulv::gallery
