#include "platform/reportlayout.h"

namespace platform::report {

void Table::addRow(Row row) {
    if (sink) {
        sink->row(std::move(row));
        return;
    }
    if (groups.empty()) groups.emplace_back();
    groups.back().rows.push_back(std::move(row));
}

void Table::addGroup(const QString& heading) {
    if (sink) {
        sink->group(heading);
        return;
    }
    Group g;
    g.heading = heading;
    groups.push_back(std::move(g));
}

int Table::rowCount() const {
    int n = 0;
    for (const Group& g : groups) n += int(g.rows.size());
    return n;
}

}  // namespace platform::report
