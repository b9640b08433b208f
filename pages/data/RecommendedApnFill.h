#pragma once

#include <QString>

class QLineEdit;
class QObject;

namespace ulv {

// The data pages' APN lookup for the SIM's network and an access-point type
// (internet or MMS): the database is read on
// the caller's thread (any), then on the UI thread the three boxes get the
// first matching row (empty when none matched) and the codes are remembered.
// Nothing changes for the codes the boxes already belong to, nor when the
// database did not open. The boxes and codes belong to `page`; nothing is
// touched once it is gone.
struct ApnBoxes {
    QLineEdit* apn;
    QLineEdit* user;
    QLineEdit* password;
    QString* savedMcc;
    QString* savedMnc;
};

void FillRecommendedApn(QObject* page, const ApnBoxes& boxes, const QString& mcc, const QString& mnc,
    int apnType = 0);

} // namespace ulv
