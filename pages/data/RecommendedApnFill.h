#pragma once

#include <QString>

class QLineEdit;
class QWidget;

namespace ulv {

// A data page's recommended access point: the first row of the SIM's network
// (MCC, MNC) with the access-point type, read from the database on the
// calling thread (any thread), then put into the three boxes on the UI
// thread, unless the page already holds that network's values (savedMcc and
// savedMnc, the page's own members, say which). Nothing changes when the
// database does not open; a network without such a row empties the boxes.
void FillRecommendedApn(QWidget* page, const QString& mcc, const QString& mnc, int apnType, QLineEdit* apn,
    QLineEdit* user, QLineEdit* password, QString* savedMcc, QString* savedMnc);

} // namespace ulv
