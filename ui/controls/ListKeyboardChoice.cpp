#include "ui/controls/ListKeyboardChoice.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QItemSelectionModel>
#include <QTimer>

namespace ulv {

namespace {

    // Marks the moments the view is handling a key press, so that a change of
    // the current row can be told from one made by a reload or a sort.
    class KeyboardMoveWatcher : public QObject {
    public:
        KeyboardMoveWatcher(QAbstractItemView* view, std::function<void(int)> choose)
            : QObject(view)
            , m_view(view)
            , m_choose(std::move(choose))
        {
            view->installEventFilter(this);
        }

        void OnCurrentRowChanged(int row)
        {
            if (m_inKeyPress && row >= 0 && m_choose)
                m_choose(row);
        }

    protected:
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            if (watched == m_view && event->type() == QEvent::KeyPress) {
                // The view handles the key right after this returns.
                m_inKeyPress = true;
                QTimer::singleShot(0, this, [this] { m_inKeyPress = false; });
            }
            return false;
        }

    private:
        QAbstractItemView* m_view;
        std::function<void(int)> m_choose;
        bool m_inKeyPress = false;
    };

} // namespace

void ChooseRowOnKeyboardMove(QAbstractItemView* view, std::function<void(int row)> choose)
{
    auto* watcher = new KeyboardMoveWatcher(view, std::move(choose));
    if (QItemSelectionModel* selection = view->selectionModel()) {
        QObject::connect(selection, &QItemSelectionModel::currentRowChanged, watcher,
                         [watcher](const QModelIndex& current) { watcher->OnCurrentRowChanged(current.row()); });
    }
}

} // namespace ulv
