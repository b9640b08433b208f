#include "atlib/core/ApnDatabase.h"

namespace ulv {

namespace {

constexpr int kApnColumns = 12;

// Matches a row on all twelve columns; a NULL compares as the empty text the
// list showed for it.
const QString kWhereRow = QStringLiteral(
    "IFNULL(MCC,'')=? AND IFNULL(MNC,'')=? AND IFNULL(DialNo,'')=? AND IFNULL(APN,'')=? AND "
    "IFNULL(APNT,'')=? AND IFNULL(UName,'')=? AND IFNULL(PSW,'')=? AND IFNULL(URL,'')=? AND "
    "IFNULL(Padd,'')=? AND IFNULL(Port,'')=? AND IFNULL(PName,'')=? AND IFNULL(GJ,'')=?");

// APNT is stored as an integer; a text that is no integer is kept as it is.
DbValue ApnTypeValue(const QString& text)
{
    bool ok = false;
    const qint64 n = text.toLongLong(&ok);
    return ok ? DbValue(n) : DbValue(text);
}

QList<DbValue> Values(const ApnRecord& r)
{
    return {r.mcc, r.mnc, r.dialNo, r.apn, ApnTypeValue(r.apnType), r.user,
            r.password, r.url, r.proxy, r.port, r.profile, r.country};
}

} // namespace

std::vector<ApnRecord> LoadApnList(const DbFile& db)
{
    std::vector<ApnRecord> out;
    EncryptedDb conn(db);
    if (!conn.isOpen())
        return out;
    conn.exec(QStringLiteral("SELECT * FROM APN;"), {}, [&out](const DbRow& r) {
        if (r.size() == kApnColumns)
            out.push_back({r[0], r[1], r[2], r[3], r[4], r[5], r[6], r[7], r[8], r[9], r[10], r[11]});
    });
    return out;
}

DbWrite AddApn(const DbFile& db, const ApnRecord& r)
{
    return WriteInTransaction(db, QStringLiteral("INSERT INTO APN VALUES (?,?,?,?,?,?,?,?,?,?,?,?);"), Values(r));
}

DbWrite DeleteApn(const DbFile& db, const ApnRecord& r, int* changedRows)
{
    return WriteInTransaction(db, QStringLiteral("DELETE FROM APN WHERE ") + kWhereRow + ';', Values(r),
                              changedRows);
}

DbWrite ModifyApn(const DbFile& db, const ApnRecord& oldRow, const ApnRecord& newRow, int* changedRows)
{
    return WriteInTransaction(db,
                 QStringLiteral("UPDATE APN SET MCC=?,MNC=?,DialNo=?,APN=?,APNT=?,UName=?,PSW=?,URL=?,"
                                "Padd=?,Port=?,PName=?,GJ=? WHERE ")
                     + kWhereRow + ';',
                 Values(newRow) + Values(oldRow), changedRows);
}

RecommendedApn LookupRecommendedApn(const DbFile& db, const QString& mcc, const QString& mnc, int apnType)
{
    RecommendedApn out;
    EncryptedDb conn(db);
    if (!conn.isOpen())
        return out;
    out.opened = true;
    conn.begin();
    conn.exec(QStringLiteral("SELECT * FROM APN WHERE MCC=? AND MNC=? AND APNT=?;"), {mcc, mnc, apnType},
              [&out](const DbRow& r) {
                  if (r.size() != kApnColumns || out.found)
                      return;
                  out.found = true;
                  out.apn = r[3];
                  out.user = r[5];
                  out.password = r[6];
              });
    conn.commit();
    return out;
}

DbWrite StoreUsedApn(const DbFile& db, const QString& mcc, const QString& mnc, const QString& apn,
                     const QString& user, const QString& password)
{
    if (mcc.isEmpty() || mnc.isEmpty() || apn.isEmpty())
        return DbWrite::Ok;
    int rows = 0;
    {
        EncryptedDb conn(db);
        if (!conn.isOpen())
            return DbWrite::OpenFailed;
        conn.exec(QStringLiteral("SELECT * FROM APN WHERE MCC=? AND MNC=? AND APN=?;"), {mcc, mnc, apn},
                  [&rows](const DbRow& r) {
                      if (r.size() == kApnColumns)
                          ++rows;
                  });
    }
    if (rows > 0)
        return WriteInTransaction(db, QStringLiteral("UPDATE APN SET UName=?,PSW=? WHERE MCC=? AND MNC=? AND APN=?;"),
                                  {user, password, mcc, mnc, apn});
    ApnRecord r;
    r.mcc = mcc;
    r.mnc = mnc;
    r.dialNo = QStringLiteral("*99#");
    r.apn = apn;
    r.apnType = QString::number(kApnTypeInternet);
    r.user = user;
    r.password = password;
    return AddApn(db, r);
}

} // namespace ulv
