#pragma once
// R_SEIZOGENKA: the manufacturing cost report, A4 portrait, printed from
// P_TUKISYUSI and T_PRINTKOMOKU as the manufacturing cost screen fills them
// (ledger/seizogenka.h). Each section starts with its title; its account
// lines show their sequence number (blank on the materials subtotal), the
// name and the amount; the last line of a section carries the section total
// in the right-hand column. After the sections: the total manufacturing cost
// (the sum of the section totals), the opening work in process, their sum,
// the closing work in process and the cost of manufactured goods. The header
// shows the title, the period from header item 6 to item 7 and the company.

#include <optional>

#include "platform/connection.h"
#include "platform/currency.h"
#include "platform/reportlayout.h"

namespace reports {

// The closing figures of the report as it prints them.
struct SeizoGenkaTotals {
    Currency manufacturing;  // 当期総製造費用: the sum of the section totals
    Currency wipOpening;     // 期首仕掛品棚卸高
    Currency wipClosing;     // 期末仕掛品棚卸高
    Currency productCost() const { return manufacturing + wipOpening - wipClosing; }  // 当期製品製造原価
};
std::optional<SeizoGenkaTotals> ReadSeizoGenkaTotals(platform::Connection& cn);

bool BuildRSeizoGenka(platform::Connection& cn, platform::report::Document& doc);

}  // namespace reports
