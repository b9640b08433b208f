#pragma once

#include "atlib/core/EncryptedDb.h"

#include <vector>

// Table APN of the access-point database: twelve columns MCC, MNC, DialNo, APN,
// APNT, UName, PSW, URL, Padd, Port, PName, GJ, no key column (a row is all
// twelve values). APNT is an integer: 0 internet, 1 MMS/WAP, -1 neither.
namespace ulv {

struct ApnRecord {
    QString mcc;
    QString mnc;
    QString dialNo;
    QString apn;
    QString apnType;   // APNT as text: "0", "1", "-1" ...
    QString user;
    QString password;
    QString url;
    QString proxy;
    QString port;
    QString profile;
    QString country;
};

inline constexpr int kApnTypeInternet = 0;
inline constexpr int kApnTypeMms = 1;

// Every row in table order.
std::vector<ApnRecord> LoadApnList(const DbFile& db);

DbWrite AddApn(const DbFile& db, const ApnRecord& r);
// Deletes every row equal to r in all twelve columns (a NULL equals "").
// changedRows, when given, receives how many rows matched.
DbWrite DeleteApn(const DbFile& db, const ApnRecord& r, int* changedRows = nullptr);
// Replaces every row equal to oldRow with newRow.
DbWrite ModifyApn(const DbFile& db, const ApnRecord& oldRow, const ApnRecord& newRow,
                  int* changedRows = nullptr);

struct RecommendedApn {
    bool opened = false;  // false: the database did not open (see the temporary log)
    bool found = false;   // a row matched; apn, user and password are its values
    QString apn;
    QString user;
    QString password;
};

// The first row of the network (MCC and MNC from the SIM's IMSI) with the given
// access-point type: 0 for the TCP/UDP, PPP and cell-locator pages, 1 for MMS.
RecommendedApn LookupRecommendedApn(const DbFile& db, const QString& mcc, const QString& mnc,
                                    int apnType = kApnTypeInternet);

// Keeps the APN a successful activation used: the row of that network and APN
// gets the user name and password, or a new internet row is added with every
// one of the twelve columns given (dial string "*99#", type 0, the rest empty).
// Nothing happens without MCC, MNC and APN. Values are bound, never spliced
// into the statement.
DbWrite StoreUsedApn(const DbFile& db, const QString& mcc, const QString& mnc, const QString& apn,
                     const QString& user, const QString& password);

} // namespace ulv
