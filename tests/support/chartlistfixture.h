#pragma once
// The work tables of the chart-of-accounts list (R_KANJO_LISTH) filled with a
// small chart of five accounts in two large classes: accounts under a class,
// a middle class and a small class, one straight under its large class, a
// name with a quote, a zero and a negative opening balance. Header only, so
// that widget-free tests can use it.

#include <QVariant>
#include <QtTest>

#include "app/common/globals.h"
#include "platform/connection.h"
#include "platform/currency.h"

namespace chartlistfixture {

inline void addAccount(platform::Connection& cn, const char* dai, const char* daiName, const char* tyu,
                       const char* tyuName, const char* syo, const char* syoName, const char* code,
                       const QString& name, const char* side, const char* hojo, qint64 opening,
                       const char* aicode, const QVariant& ainame, int jun) {
    auto text = [](const char* s) { return s ? QVariant(QString::fromUtf8(s)) : QVariant(); };
    QVERIFY(cn.exec(
        QStringLiteral(
            "INSERT INTO WK_KANJO_PRINT (DAICODE, DAINAME, TYUCODE, TYUNAME, SYOCODE, SYONAME, KMCODE,"
            " KMNAME, TAIKBN, HOJOSET, KISYUZAN, AICODE, AINAME, DAIBUN, TYUBUN, JUN, KISYUMKBN)"
            " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, '', '', ?, '')"),
        {text(dai), text(daiName), text(tyu), text(tyuName), text(syo), text(syoName), text(code), name,
         text(side), text(hojo), QVariant::fromValue(Currency::fromYen(opening)), text(aicode), ainame,
         jun}));
}

// The company of the list's header and the five accounts, in company "51".
inline void fill(platform::Connection& cn) {
    gstrCID = QStringLiteral("51");
    QVERIFY(cn.exec(QStringLiteral("DELETE FROM WK_COMPANY")));
    QVERIFY(
        cn.exec(QStringLiteral("INSERT INTO WK_COMPANY (CID, COMPANY, PKISYU, PKIMATU) VALUES (?, ?, ?, ?)"),
                {gstrCID, QStringLiteral("株式会社テスト商店"), QStringLiteral("2010年04月01日"),
                 QStringLiteral("2011年03月31日")}));
    QVERIFY(cn.exec(QStringLiteral("DELETE FROM WK_KANJO_PRINT")));
    addAccount(cn, "901", "資産", "911", "流動資産", "931", "現金預金", "101", QStringLiteral("現金"), "0",
               "N", 1234567, "004", QVariant(), 1);
    addAccount(cn, "901", "資産", "911", "流動資産", "931", "現金預金", "102", QStringLiteral("普通預金"),
               "0", "Y", 5000000, "004", QStringLiteral("現金"), 2);
    addAccount(cn, "901", "資産", "912", "固定資産", nullptr, nullptr, "201",
               QStringLiteral("O'Brien商会 貸付金"), "0", "N", 0, "004", QStringLiteral("現金"), 3);
    addAccount(cn, "901", "資産", nullptr, nullptr, nullptr, nullptr, "190", QStringLiteral("仮払金"), "0",
               "N", -2500, "", QVariant(), 4);
    addAccount(cn, "902", "負債", "914", "流動負債", nullptr, nullptr, "301", QStringLiteral("買掛金"), "1",
               "Y", 80000, "004", QStringLiteral("現金"), 5);
}

}  // namespace chartlistfixture
