#pragma once
// Helpers shared by the report layouts of this folder: the parts of a page
// header that come from the current company and from the header row
// T_PRINTKOMOKU that book and statement screens write last, just before they
// ask for their report.

#include <QString>
#include <QStringList>
#include <optional>

#include "platform/connection.h"
#include "platform/reportlayout.h"

namespace reports {

struct CompanyHeader {
    QString name;        // COMPANY
    QString periodFrom;  // PKISYU, "2010年04月01日"
    QString periodTo;    // PKIMATU
};

// The current company's name and fiscal period from WK_COMPANY (empty texts when
// the table holds no row). nullopt on a database failure.
std::optional<CompanyHeader> ReadCompanyHeader(platform::Connection& cn);

// "自 2010年04月01日　至 2011年03月31日"; empty when either end is empty.
QString FiscalPeriodText(const CompanyHeader& company);

// The header row of T_PRINTKOMOKU, each item under its column's name (what an
// item holds depends on the screen that wrote it).
struct PrintKomoku {
    QString komoku1, komoku2, komoku3, komoku4, komoku5, komoku6, komoku7, komoku8, komoku9;
};

// The header row; every item empty when the table holds no row. nullopt on a
// database failure.
std::optional<PrintKomoku> ReadPrintKomoku(platform::Connection& cn);

// A cell of a work table read as text without blanks around it: the same
// text as Trim() of the decoded value, the blanks cut from a text's UTF-8
// bytes before the one decoding (a blank byte is never part of a longer
// character). Null: empty.
QString TrimmedCellText(const platform::Statement& st, int col);
// The bytes of a text cell without the blanks around it; a null cell gives
// none. nullopt for a cell of another kind (read it with TrimmedCellText).
std::optional<QByteArrayView> TrimmedCellBytes(const platform::Statement::Cell& cell);
QString TrimmedCellText(const platform::Statement::Cell& cell);

// A column of the current row as stored, untrimmed (null: empty).
QString CellText(const platform::Statement& st, int col);
QString CellText(const platform::Statement::Cell& cell);

// An amount column of the current row: INTEGER cells hold the exact count of
// 1/10,000 yen; anything else is converted as a stored value.
Currency CellAmount(const platform::Statement& st, int col);
Currency CellAmount(const platform::Statement::Cell& cell);

}  // namespace reports
