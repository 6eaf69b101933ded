// Grid behaviour of the daily entry screen: edits and the day totals, the
// keyboard flow from one grid into the next, patterns and accounts chosen
// in the free lines, free lines appended past the end and deleted by their
// row header.

#include "app/common/dberror.h"
#include "app/common/globals.h"
#include "app/common/gridhelpers.h"
#include "app/common/values.h"
#include "entry/InpKantanSiwake.h"
#include "ledger/choicelists.h"
#include "ledger/dayregistration.h"
#include "platform/connection.h"
#include "platform/imnumber.h"
#include "platform/msgbox.h"
#include "platform/spreadgrid.h"

namespace {

const QColor kDeleteMark(255, 0, 0);

void warn(const QString& text) {
    platform::MsgBox::show(gstrSoftName, text, platform::MsgIcon::Warning);
}

}  // namespace

// ---- Edits and totals

void InpKantanSiwake::spdSS1_Change(int, int) {
    mblnChange = true;
    gokei_keisan();
}

void InpKantanSiwake::spdSS2_Change(int, int) {
    mblnChange = true;
    gokei_keisan();
}

std::vector<Currency> InpKantanSiwake::gridAmounts(const platform::SpreadGrid* grid) const {
    std::vector<Currency> amounts;
    for (int r = 1; r <= grid->maxRows(); ++r) amounts.push_back(grid->amount(r, 2).value_or(Currency()));
    return amounts;
}

std::vector<GridLine> InpKantanSiwake::gridLines(const platform::SpreadGrid* grid) const {
    std::vector<GridLine> lines;
    for (int r = 1; r <= grid->maxRows(); ++r) {
        lines.push_back(GridLine{grid->text(r, 4), grid->text(r, 5), grid->text(r, 7), grid->text(r, 8),
                                 grid->amount(r, 2).value_or(Currency()), grid->text(r, 3)});
    }
    return lines;
}

std::vector<FreeLine> InpKantanSiwake::freeLines() const {
    std::vector<FreeLine> lines;
    for (int r = 1; r <= spdSS3->maxRows(); ++r) {
        lines.push_back(FreeLine{spdSS3->text(r, 1), spdSS3->text(r, 2), spdSS3->text(r, 3),
                                 spdSS3->text(r, 4), spdSS3->text(r, 5), spdSS3->amount(r, 6),
                                 spdSS3->text(r, 7), spdSS3->text(r, 8), spdSS3->text(r, 9)});
    }
    return lines;
}

// Recomputes the six totals from the three grids.
bool InpKantanSiwake::gokei_keisan() {
    std::vector<TotalsLine> lines;
    for (int r = 1; r <= spdSS3->maxRows(); ++r) {
        lines.push_back(
            TotalsLine{spdSS3->text(r, 8), spdSS3->text(r, 9), spdSS3->amount(r, 6).value_or(Currency())});
    }
    const DayTotals t = ComputeDayTotals(gridAmounts(spdSS1), gridAmounts(spdSS2), lines,
                                         txtZenjituZandaka->valueOrZero(), mstrCompany[3], mProfitChart);
    txtSyunyuGokei->setValue(t.income);
    txtSiireGokei->setValue(t.purchases);
    txtNyukinGokei->setValue(t.receipts);
    txtSyukkinGokei->setValue(t.payments);
    txtHonjituRieki->setValue(t.profit);
    txtHonjituZandaka->setValue(t.balance);
    return true;
}

// ---- Keyboard flow between the grids

void InpKantanSiwake::spdSS1_Advance(bool forward) {
    if (!forward) return;
    if (spdSS2->maxRows() == 0) {
        spdSS2_Advance(true);
        return;
    }
    spdSS2->setActiveCell(1, 2);
    spdSS2->setFocus(Qt::TabFocusReason);
}

void InpKantanSiwake::spdSS2_Advance(bool forward) {
    if (!forward) return;
    spdSS3->setActiveCell(1, 1);
    spdSS3->setFocus(Qt::TabFocusReason);
}

// Moving on from the last cell of the free lines appends a line and enters it.
void InpKantanSiwake::spdSS3_Advance(bool forward) {
    if (!forward) return;
    if (add_spread3_row(spdSS3->activeRow())) spdSS3->moveToNextCell();
}

// ---- Free lines

void InpKantanSiwake::spdSS3_Change(int row, int col) {
    mblnChange = true;
    switch (col) {
        case 1:
            if (Trim(spdSS3->text(row, 1)).isEmpty()) {
                gokei_keisan();
                return;
            }
            choosePattern(row);
            return;
        case 2:
        case 3: {
            QString name;
            const QString number = SplitAtBlank(spdSS3->text(row, col), name);
            if (!set_spread_Hojokamoku(row, col, number, name)) return;
            QString kocode;
            if (!number.isEmpty()) {
                const std::optional<QString> found = return_KanjoKoCode(number, name);
                if (!found) return;
                kocode = *found;
            }
            spdSS3->setText(row, col + 6, kocode);
            gokei_keisan();
            return;
        }
        case 6:
            gokei_keisan();
            return;
        default:
            return;
    }
}

// A pattern chosen in column 1: its accounts, their sub-account lists and its
// description fill the line; the amount stays as typed.
void InpKantanSiwake::choosePattern(int row) {
    QString name;
    const QString code = Trim(SplitAtBlank(spdSS3->text(row, 1), name));
    const auto patterns = gcnKaikei->query(
        QStringLiteral(
            "SELECT KRCODE, KSCODE, TENAME FROM T_SI_PATTERN WHERE CID = ? ORDER BY KRCODE, KSCODE"),
        {gstrCID});
    if (!patterns) {
        ShowDbAccessError(QStringLiteral("spdSS3_Change"));
        return;
    }
    for (const platform::Row& p : *patterns) {
        if (Trim(p.text(0) + p.text(1)) != code) continue;
        if (!fillPatternSide(row, Trim(p.text(0)), 2, QStringLiteral("借方科目コードが未登録です"))) return;
        if (!fillPatternSide(row, Trim(p.text(1)), 3, QStringLiteral("貸方科目コードが未登録です"))) return;
        spdSS3->setText(row, 7, Trim(p.text(2)));
    }
    gokei_keisan();
}

// One side of a pattern: the account numbered kmcode into column accountCol,
// its sub-account list two columns to the right and its internal code into
// the hidden column. An account number not in the chart empties the pattern
// cell after its message. An empty account number names no account (never
// the chart's total accounts, which have no number): the side stays empty,
// as the scheduled patterns leave it.
bool InpKantanSiwake::fillPatternSide(int row, const QString& kmcode, int accountCol,
                                      const QString& missingMessage) {
    if (kmcode.isEmpty()) {
        spdSS3->setText(row, accountCol, QString());
        if (!set_spread_Hojokamoku(row, accountCol, QString(), QString())) return false;
        spdSS3->setText(row, accountCol + 6, QString());
        return true;
    }
    const auto account = gcnKaikei->queryOne(
        QStringLiteral("SELECT KANNAME FROM T_KANJO WHERE KMCODE = ? ORDER BY KOCODE LIMIT 1"), {kmcode});
    if (!account) {
        ShowDbAccessError(QStringLiteral("spdSS3_Change"));
        return false;
    }
    if (account->size() == 0) {
        warn(missingMessage);
        spdSS3->setText(row, 1, QString());
        return false;
    }
    const QString kanname = Trim(account->text(0));
    spdSS3->setText(row, accountCol, kmcode + QLatin1Char(' ') + kanname);
    if (!set_spread_Hojokamoku(row, accountCol, kmcode, kanname)) return false;
    const std::optional<QString> kocode = return_KanjoKoCode(kmcode, kanname);
    if (!kocode) return false;
    spdSS3->setText(row, accountCol + 6, *kocode);
    return true;
}

// Appends an empty free line when `row` is the last one, with its lists and
// its snapshot; a day holds at most kFreeRows lines.
bool InpKantanSiwake::add_spread3_row(int row) {
    if (!load_choice_lists()) return false;
    if (row != spdSS3->maxRows()) return false;
    if (row >= kFreeRows) {
        warn(QStringLiteral("一日の仕訳の入力数は%1行までです。これ以上は追加できません。").arg(kFreeRows));
        return false;
    }
    const int added = row + 1;
    spdSS3->setMaxRows(added);
    spdSS3->setText(added, 0, QStringLiteral("D"));
    spdSS3->setForeground(added, 0, kDeleteMark);
    spdSS3->setComboCell(added, 1, mstrPatternList, true);
    spdSS3->setComboCurrentIndex(added, 1, 0);
    for (int col : {2, 3}) {
        spdSS3->setComboCell(added, col, mstrKamokuList, false);
        spdSS3->setComboCurrentIndex(added, col, 0);
    }
    for (int col : {4, 5}) {
        spdSS3->setComboCell(added, col, QString(), false);
        spdSS3->setText(added, col, QString());
    }
    spdSS3->setAmount(added, 6, Currency());
    spdSS3->setComboCell(added, 7, mstrTekiyoList, true);
    spdSS3->setComboCurrentIndex(added, 7, 0);
    spdSS3->setText(added, 8, QString());
    spdSS3->setText(added, 9, QString());

    if (int(mstrSpread3.size()) <= added) mstrSpread3.resize(size_t(added) + 1);
    for (int c = 0; c <= 7; ++c) {
        mstrSpread3[added][c] = c == 6 ? spdSS3->value(added, c) : spdSS3->text(added, c);
    }
    return true;
}

// A click on the row header "D" deletes that free line after asking; the
// grid keeps at least two lines.
void InpKantanSiwake::spdSS3_Click(int row, int col) {
    if (col != 0 || row < 1) return;
    if (DeleteSpreadRow(*spdSS3, row) != platform::vbYes) return;
    // The texts moved up; each moved line's sub-account cells get the lists
    // of the accounts they now belong to.
    resetSubAccountLists(row);
    mblnChange = true;
    mblnLineDeleted = true;
    spdSS3->setMaxRows(spdSS3->maxRows() - 1);
    if (spdSS3->maxRows() == 1) add_spread3_row(1);
    gokei_keisan();
}

void InpKantanSiwake::resetSubAccountLists(int fromRow) {
    for (int r = fromRow; r <= spdSS3->maxRows(); ++r) {
        for (int side = 0; side < 2; ++side) {
            const int col = 4 + side;
            const QString kocode = Trim(spdSS3->text(r, 8 + side));
            const QString shown = spdSS3->text(r, col);
            QString list;
            if (!kocode.isEmpty()) {
                const std::optional<bool> offers = AccountOffersSubAccounts(kocode);
                if (offers && *offers && !set_cmbHojokamoku(kocode, list)) list.clear();
            }
            spdSS3->setComboCell(r, col, list, false);
            spdSS3->setText(r, col, shown);
        }
    }
}
