#include "app/common/kaikeidb.h"

#include <memory>

#include "app/common/globals.h"

namespace {

std::unique_ptr<platform::Connection>& ownedConnection() {
    static std::unique_ptr<platform::Connection> cn;
    return cn;
}

}  // namespace

platform::DataSource KaikeiDataSource() {
    platform::DataSource source;
    source.name = KAIKEI_DSN;
    source.dbq = gstrDataPath + DB_NAME;
    source.database = KAIKEI_DSN;
    source.uid = KAIKEI_UID;
    source.pwd = KAIKEI_PWD;
    return source;
}

bool OpenKaikeiConnection(platform::DbError* error) {
    CloseKaikeiConnection();
    ownedConnection() = platform::DataSources::open(KAIKEI_DSN, KAIKEI_UID, KAIKEI_PWD, error);
    gcnKaikei = ownedConnection().get();
    return gcnKaikei != nullptr;
}

void CloseKaikeiConnection() {
    auto& cn = ownedConnection();
    if (cn && gcnKaikei == cn.get()) gcnKaikei = nullptr;
    cn.reset();
}
