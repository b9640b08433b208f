#include "pages/data/RecommendedApnFill.h"

#include "atlib/core/ApnDatabase.h"
#include "atlib/core/DatabaseFiles.h"
#include "platform/Gui.h"

#include <QLineEdit>
#include <QPointer>
#include <QWidget>

namespace ulv {

void FillRecommendedApn(QWidget* page, const QString& mcc, const QString& mnc, int apnType, QLineEdit* apn,
    QLineEdit* user, QLineEdit* password, QString* savedMcc, QString* savedMnc)
{
    QPointer<QWidget> alive(page);
    const RecommendedApn found = LookupRecommendedApn(ApnDbFile(), mcc, mnc, apnType);
    Gui::Post([=] {
        if (!alive || !found.opened)
            return;
        if (mcc == *savedMcc && mnc == *savedMnc)
            return;
        apn->setText(found.apn);
        user->setText(found.user);
        password->setText(found.password);
        *savedMcc = mcc;
        *savedMnc = mnc;
    });
}

} // namespace ulv
