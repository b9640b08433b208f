#pragma once

#include <functional>

class QAbstractItemView;

namespace ulv {

// In the editing lists a click chooses the row that Delete and Modify act on.
// Moving the highlight with the keyboard (arrows, Page Up/Down, Home/End,
// typing a row's first letters) must choose as well, or the buttons would act
// on a row the highlight has already left. Calls choose(row) for such moves.
void ChooseRowOnKeyboardMove(QAbstractItemView* view, std::function<void(int row)> choose);

} // namespace ulv
