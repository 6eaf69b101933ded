#include "ledger/patternbook.h"

#include <set>

#include "app/common/globals.h"
#include "ledger/chartcodes.h"
#include "ledger/rowwriters.h"
#include "platform/connection.h"
#include "platform/msgbox.h"

namespace {

void warn(const QString& text) {
    platform::MsgBox::show(gstrSoftName, text, platform::MsgIcon::Warning);
}

void plain(const QString& text) {
    platform::MsgBox::show(QString(), text, platform::MsgIcon::None);
}

QString tekiyoFailure(const char* where) {
    return QStringLiteral("WK_TEKIYOマスタのアクセス中にエラーが発生しました(%1)。").arg(QLatin1String(where));
}

QString patternFailure(const char* where) {
    return QStringLiteral("WK_SI_PATTERNマスタのアクセス中にエラーが発生しました(%1)。").arg(QLatin1String(where));
}

// Runs the statements in one transaction; false (rolled back) at the first failure.
bool runTogether(const std::vector<std::pair<QString, platform::Params>>& statements) {
    if (!gcnKaikei) return false;
    platform::Transaction tx(*gcnKaikei);
    if (!tx.started()) return false;
    for (const auto& [sql, params] : statements)
        if (!gcnKaikei->exec(sql, params)) return false;
    return tx.commit();
}

std::optional<bool> hasRows(const QString& sql, const QString& failure) {
    std::optional<QVariant> v;
    if (gcnKaikei) v = gcnKaikei->scalar(sql);
    if (!v) {
        warn(failure);
        return std::nullopt;
    }
    return !v->isNull();
}

}  // namespace

// ---- Descriptions

QString FormatTekiNo(int number) {
    return QStringLiteral("%1").arg(number, 3, 10, QLatin1Char('0'));
}

bool TekiyoList::load() {
    entries_.clear();
    bool ok = runTogether({{QStringLiteral("DELETE FROM WK_TEKIYO"), {}},
                           {QStringLiteral("INSERT INTO WK_TEKIYO (CID, TEKINO, TENAME)"
                                           " SELECT CID, TEKINO, TENAME FROM T_TEKIYO WHERE CID = ?"),
                            {gstrCID}}});
    if (ok) {
        const auto rows = gcnKaikei->query(QStringLiteral("SELECT TEKINO, TENAME FROM WK_TEKIYO ORDER BY TEKINO"));
        ok = rows.has_value();
        if (ok)
            for (const auto& row : *rows) entries_.push_back({row.text("TENAME"), int(row.text("TEKINO").toInt())});
    }
    if (!ok) {
        entries_.clear();
        warn(tekiyoFailure("msFormInit"));
    }
    return ok;
}

QStringList TekiyoList::texts() const {
    QStringList out;
    for (const auto& e : entries_) out << e.text;
    return out;
}

int TekiyoList::find(const QString& text) const {
    const QString wanted = text.trimmed();
    for (size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].text == wanted) return int(i);
    return -1;
}

QString TekiyoList::nextNumber() const {
    std::set<int> used;
    for (const auto& e : entries_) used.insert(e.number);
    int n = 1;
    while (used.count(n)) ++n;
    return FormatTekiNo(n);
}

std::optional<QString> TekiyoList::inputError(EditMode mode, const QString& typed, const QString& chosen) const {
    const QString refusal = QStringLiteral("摘要名称を入力して下さい。");
    if (typed.trimmed().isEmpty()) return refusal;
    if (mode != EditMode::Register) {
        if (chosen.trimmed().isEmpty() || find(chosen) < 0) return refusal;
        if (mode == EditMode::Delete && chosen != typed) return refusal;
    }
    // A text already in the list, the unchanged text of the one corrected included.
    if (mode != EditMode::Delete && find(typed) >= 0) return refusal;
    return std::nullopt;
}

bool TekiyoList::apply(EditMode mode, const QString& typed, const QString& chosen) {
    if (!gcnKaikei) {
        warn(tekiyoFailure("cmdTouroku_Click"));
        return false;
    }
    const QString text = typed.trimmed();
    if (mode == EditMode::Register) {
        const QString number = nextNumber();
        platform::Transaction tx(*gcnKaikei);
        if (!WriteTekiyoTable({QString(), gstrCID, number, text}, QStringLiteral("WK_TEKIYO")) || !tx.commit()) {
            warn(tekiyoFailure("cmdTouroku_Click"));
            return false;
        }
        entries_.push_back({text, number.toInt()});
        return true;
    }
    const int i = find(chosen);
    if (i < 0) {
        warn(tekiyoFailure("cmdTouroku_Click"));
        return false;
    }
    const QString number = FormatTekiNo(entries_[size_t(i)].number);
    const bool ok =
        mode == EditMode::Delete
            ? gcnKaikei->exec(QStringLiteral("DELETE FROM WK_TEKIYO WHERE CID = ? AND TEKINO = ?"), {gstrCID, number})
            : gcnKaikei->exec(QStringLiteral("UPDATE WK_TEKIYO SET TENAME = ? WHERE CID = ? AND TEKINO = ?"),
                              {text, gstrCID, number});
    if (!ok) {
        warn(tekiyoFailure("cmdTouroku_Click"));
        return false;
    }
    if (mode == EditMode::Delete)
        entries_.erase(entries_.begin() + i);
    else
        entries_[size_t(i)].text = text;
    return true;
}

bool TekiyoList::writeBack() {
    if (runTogether({{QStringLiteral("DELETE FROM T_TEKIYO WHERE CID = ?"), {gstrCID}},
                     {QStringLiteral("INSERT INTO T_TEKIYO (CID, TEKINO, TENAME)"
                                     " SELECT CID, TEKINO, TENAME FROM WK_TEKIYO WHERE CID = ? ORDER BY TEKINO"),
                      {gstrCID}}}))
        return true;
    warn(tekiyoFailure("msLeaveForm"));
    return false;
}

std::optional<bool> TekiyoCopyHasRows() {
    return hasRows(QStringLiteral("SELECT CID FROM WK_TEKIYO LIMIT 1"), tekiyoFailure("cmdHyouji_Click"));
}

// ---- Batch-journal patterns

namespace {
const QString kPatternColumns = QStringLiteral("CID, KRCODE, KSCODE, SINAME, TENAME, SETID, SETPT");
}

bool LoadPatternCopy() {
    if (runTogether({{QStringLiteral("DELETE FROM WK_SI_PATTERN"), {}},
                     {QStringLiteral("INSERT INTO WK_SI_PATTERN (%1) SELECT %1 FROM T_SI_PATTERN WHERE CID = ?")
                          .arg(kPatternColumns),
                      {gstrCID}}}))
        return true;
    warn(patternFailure("msFormInit"));
    return false;
}

std::optional<QStringList> PatternAccountEntries() {
    if (!gcnKaikei) return std::nullopt;
    const auto rows = gcnKaikei->query(
        QStringLiteral("SELECT KMCODE, KANNAME FROM T_KANJO"
                       " WHERE KMCODE <> '' AND KOCODE NOT IN (?, ?, ?)"
                       " AND SYORIKBN = '0' AND SIYOU = 'Y' ORDER BY KMCODE"),
        {QString::fromLatin1(chart::kMaterialsSubtotal), QString::fromLatin1(chart::kCostOfSalesSubtotal),
         QString::fromLatin1(chart::kRetiredCode362)});
    if (!rows) return std::nullopt;
    QStringList out;
    for (const auto& row : *rows) out << row.text(0) + QLatin1Char(' ') + row.text(1);
    return out;
}

std::optional<QStringList> PatternDescriptionEntries() {
    if (!gcnKaikei) return std::nullopt;
    const auto rows =
        gcnKaikei->query(QStringLiteral("SELECT TENAME FROM T_TEKIYO WHERE CID = ? ORDER BY TEKINO"), {gstrCID});
    if (!rows) return std::nullopt;
    QStringList out;
    for (const auto& row : *rows) out << row.text(0);
    return out;
}

QString AccountNumberOf(const QString& entry) {
    const int blank = entry.indexOf(QLatin1Char(' '));
    return blank < 0 ? entry : entry.left(blank);
}

std::optional<std::optional<PatternText>> FindPattern(const QString& debit, const QString& credit) {
    if (gcnKaikei) {
        const auto row = gcnKaikei->queryOne(
            QStringLiteral("SELECT SINAME, TENAME FROM WK_SI_PATTERN WHERE CID = ? AND KRCODE = ? AND KSCODE = ?"),
            {gstrCID, debit, credit});
        if (row && row->size() > 0) return std::optional<PatternText>(PatternText{row->text(0), row->text(1)});
        if (row) return std::optional<PatternText>();
    }
    warn(patternFailure("msShowSub"));
    return std::nullopt;
}

bool PatternPairCheck(EditMode mode, const QString& debit, const QString& credit) {
    std::optional<QVariant> found;
    if (gcnKaikei)
        found = gcnKaikei->scalar(
            QStringLiteral("SELECT KRCODE FROM WK_SI_PATTERN WHERE CID = ? AND KRCODE = ? AND KSCODE = ?"),
            {gstrCID, debit, credit});
    if (!found) {
        warn(patternFailure("mfCreSubChk"));
        return false;
    }
    const bool stored = !found->isNull();
    if (mode == EditMode::Register && stored) {
        plain(QStringLiteral("仕訳パターンマスタ登録済み。"));
        return false;
    }
    if (mode != EditMode::Register && !stored) {
        plain(QStringLiteral("仕訳パターンマスタ未登録"));
        return false;
    }
    return true;
}

bool ApplyPattern(EditMode mode, const QString& debit, const QString& credit, const QString& name,
                  const QString& description) {
    if (mode == EditMode::Register) {
        if (!gcnKaikei)
            return WriteSiPatternTable(
                {QString(), gstrCID, debit, credit, name, description, QStringLiteral("1"), QString()},
                QStringLiteral("WK_SI_PATTERN"));
        platform::Transaction tx(*gcnKaikei);
        return WriteSiPatternTable({QString(), gstrCID, debit, credit, name, description, QStringLiteral("1"), QString()},
                                   QStringLiteral("WK_SI_PATTERN")) &&
               tx.commit();
    }
    const bool ok =
        gcnKaikei &&
        (mode == EditMode::Delete
             ? gcnKaikei->exec(
                   QStringLiteral("DELETE FROM WK_SI_PATTERN WHERE CID = ? AND KRCODE = ? AND KSCODE = ?"),
                   {gstrCID, debit, credit})
             : gcnKaikei->exec(QStringLiteral("UPDATE WK_SI_PATTERN SET SINAME = ?, TENAME = ?"
                                              " WHERE CID = ? AND KRCODE = ? AND KSCODE = ?"),
                               {name.trimmed(), description.trimmed(), gstrCID, debit, credit}));
    if (!ok) warn(patternFailure("cmdTouroku_Click"));
    return ok;
}

std::optional<bool> PatternCopyHasRows() {
    return hasRows(QStringLiteral("SELECT CID FROM WK_SI_PATTERN LIMIT 1"), patternFailure("cmdHyouji_Click"));
}

bool WriteBackPatterns() {
    if (runTogether({{QStringLiteral("DELETE FROM T_SI_PATTERN WHERE CID = ?"), {gstrCID}},
                     {QStringLiteral("INSERT INTO T_SI_PATTERN (%1) SELECT %1 FROM WK_SI_PATTERN WHERE CID = ?")
                          .arg(kPatternColumns),
                      {gstrCID}}}))
        return true;
    warn(QStringLiteral("T_SI_PATTERNマスタのアクセス中にエラーが発生しました(msUnForm)。"));
    return false;
}

// ---- Type-ahead

TypeAheadStep TypeAhead::change(const QString& text, const QStringList& entries) {
    TypeAheadStep step;
    if (text.isEmpty()) {
        clear();
        return step;
    }
    if (text == prefix_) return step;
    step.scanned = true;
    std::optional<QString> hit;
    for (const QString& entry : entries) {
        if (!entry.startsWith(text, Qt::CaseSensitive)) continue;
        if (!hit) {
            hit = entry;
            prefix_ = text;
            completion_ = entry;
        }
        if (entry.size() == text.size()) {  // typed whole: left as typed
            step.chosen = entry;
            return step;
        }
    }
    if (hit) {
        step.chosen = *hit;
        step.setText = true;
        step.text = *hit;
        step.selStart = int(text.size());
        step.selLength = int(hit->size() - text.size());
        return step;
    }
    step.refused = true;
    step.setText = true;
    if (text.size() == 1 || completion_.isEmpty()) {
        clear();
        return step;  // the box emptied
    }
    step.text = completion_;
    step.selStart = int(prefix_.size());
    step.selLength = int(completion_.size() - prefix_.size());
    return step;
}
