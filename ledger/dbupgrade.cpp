#include "ledger/dbupgrade.h"

#include <QFileInfo>

namespace {

bool fail(platform::Connection& cn, QString* why, const QString& what) {
    if (why) *why = what + QStringLiteral(": ") + cn.lastError().text();
    return false;
}

// Version 2: T_MOJICHG as the shipped database defines and fills it.
bool upgradeCharacterTable(platform::Connection& cn, QString* why) {
    const auto create = cn.scalar(
        QStringLiteral("SELECT sql FROM shipped.sqlite_schema WHERE type = 'table' AND name = 'T_MOJICHG'"));
    if (!create || create->toString().isEmpty()) {
        if (why && create) *why = QStringLiteral("the shipped database has no T_MOJICHG");
        return create ? false : fail(cn, why, QStringLiteral("reading the shipped T_MOJICHG"));
    }
    if (!cn.exec(QStringLiteral("DROP TABLE IF EXISTS main.T_MOJICHG")))
        return fail(cn, why, QStringLiteral("dropping T_MOJICHG"));
    // The shipped definition names no schema, so it creates the table in main.
    if (!cn.exec(create->toString())) return fail(cn, why, QStringLiteral("creating T_MOJICHG"));
    if (!cn.exec(QStringLiteral("INSERT INTO main.T_MOJICHG (SEQNO, JAPANESE, CHINESE) "
                                "SELECT SEQNO, JAPANESE, CHINESE FROM shipped.T_MOJICHG ORDER BY SEQNO")))
        return fail(cn, why, QStringLiteral("copying the T_MOJICHG rows"));
    return true;
}

}  // namespace

bool UpgradeDatabase(platform::Connection& cn, const QString& templateFile, QString* why) {
    const auto version = cn.scalar(QStringLiteral("PRAGMA main.user_version"));
    if (!version) return fail(cn, why, QStringLiteral("reading the database version"));
    if (version->toInt() >= DATABASE_VERSION) return true;
    if (!QFileInfo(templateFile).isFile()) {
        if (why) *why = QStringLiteral("the shipped database %1 is missing").arg(templateFile);
        return false;
    }
    // Only read from: nothing is ever written into the shipped database.
    if (!cn.exec(QStringLiteral("ATTACH DATABASE ? AS shipped"),
                 {QFileInfo(templateFile).absoluteFilePath()}))
        return fail(cn, why, QStringLiteral("opening the shipped database"));
    platform::Transaction tx(cn);
    bool ok = tx.started();
    if (!ok) fail(cn, why, QStringLiteral("beginning the upgrade"));
    if (ok && version->toInt() < 2) ok = upgradeCharacterTable(cn, why);
    // PRAGMA takes no bound value; the number is the program's own constant.
    if (ok && !cn.exec(QStringLiteral("PRAGMA main.user_version = %1").arg(DATABASE_VERSION)))
        ok = fail(cn, why, QStringLiteral("writing the database version"));
    if (ok && !tx.commit()) ok = fail(cn, why, QStringLiteral("committing the upgrade"));
    if (!ok) tx.rollback();
    // The upgrade's outcome is settled; the shipped file, only read from,
    // stays attached at worst until the connection closes.
    (void)cn.exec(QStringLiteral("DETACH DATABASE shipped"));
    return ok;
}
