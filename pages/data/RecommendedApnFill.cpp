#include "pages/data/RecommendedApnFill.h"

#include "atlib/core/ApnDatabase.h"
#include "atlib/core/DatabaseFiles.h"
#include "platform/Gui.h"

#include <QLineEdit>
#include <QPointer>

namespace ulv {

void FillRecommendedApn(QObject* page, const ApnBoxes& boxes, const QString& mcc, const QString& mnc, int apnType)
{
    QPointer<QObject> alive(page);
    const RecommendedApn found = LookupRecommendedApn(ApnDbFile(), mcc, mnc, apnType);
    Gui::Post([alive, boxes, found, mcc, mnc] {
        if (!alive || !found.opened)
            return;
        if (mcc == *boxes.savedMcc && mnc == *boxes.savedMnc)
            return;
        boxes.apn->setText(found.apn);
        boxes.user->setText(found.user);
        boxes.password->setText(found.password);
        *boxes.savedMcc = mcc;
        *boxes.savedMnc = mnc;
    });
}

} // namespace ulv
