#pragma once

#include <QImage>

namespace ulv {

// The start-up guide's pictures by their resource ids: the page pictures
// (317-322, 332, 338, 346; 700 x 400), the "pre", "next" and "start" buttons
// (316, 315, 321) and the family choice buttons (333/334 GSM not chosen /
// chosen, 335/336 UMTS/HSPA chosen / not chosen). A bitmap resource of that id
// wins; otherwise the guide's own drawing. Null for an unknown id.
QImage GuidePicture(int id);

} // namespace ulv
