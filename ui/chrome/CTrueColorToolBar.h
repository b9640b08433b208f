#pragma once

#include "ui/chrome/CToolBarImageSet.h"

#include <QToolBar>
#include <functional>

namespace ulv {

class ChromeStyle;

// The main toolbar: flat buttons with true-colour pictures, a darker picture
// under the mouse and a grey one for a disabled command.
class CTrueColorToolBar : public QToolBar {
    Q_OBJECT
public:
    // Gives the action of a command id (its data is the id); without a provider
    // the toolbar makes its own.
    using ActionProvider = std::function<QAction*(unsigned id, const QString& text)>;

    explicit CTrueColorToolBar(QWidget* parent = nullptr);

    void SetActionProvider(ActionProvider provider) { m_provider = std::move(provider); }
    // Builds the buttons of a toolbar description; false when there is no such
    // description or its pictures cannot be loaded.
    bool LoadTrueColorToolBar(int toolbarId, int trueColor);

    QSize ButtonSize() const { return m_buttonSize; }
    const CToolBarImageSet& Images() const { return m_images; }
    // The button of a command id (null when the toolbar has none).
    QWidget* Button(unsigned id) const;

private:
    ActionProvider m_provider;
    CToolBarImageSet m_images;
    QSize m_buttonSize;
    ChromeStyle* m_style;
};

} // namespace ulv
