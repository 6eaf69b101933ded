#pragma once
// Records the reads (and writer rows) by a column name that is not there,
// instead of stopping the test, for as long as it lives.

#include <QStringList>

#include "platform/connection.h"

namespace testenv {

class MissingColumns {
public:
    MissingColumns() : previous_(platform::setMissingColumnHandler(&MissingColumns::record)) { names().clear(); }
    ~MissingColumns() { platform::setMissingColumnHandler(previous_); }
    MissingColumns(const MissingColumns&) = delete;
    MissingColumns& operator=(const MissingColumns&) = delete;

    // The names reported so far, in order.
    static QStringList& names() {
        static QStringList list;
        return list;
    }

private:
    static void record(const QString& name, const QStringList&) { names() << name; }

    platform::MissingColumnHandler previous_;
};

}  // namespace testenv
