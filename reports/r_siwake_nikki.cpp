#include "reports/r_siwake_nikki.h"

#include <QHash>
#include <algorithm>
#include <array>
#include <condition_variable>
#include <deque>
#include <iterator>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/common/values.h"
#include "platform/connection.h"
#include "reports/reportcommon.h"

namespace reports {

using namespace platform::report;

namespace {

std::vector<Column> columns() {
    Column line{QStringLiteral("行"), 0.8, Align::Center};
    Column debitCode{QStringLiteral("借方"), 0.8, Align::Center};
    Column debitName{QStringLiteral("借方科目"), 3.4};
    Column debit{QStringLiteral("借方金額"), 1.8, Align::Right};
    debit.summed = true;
    Column creditCode{QStringLiteral("貸方"), 0.8, Align::Center};
    Column creditName{QStringLiteral("貸方科目"), 3.4};
    Column credit{QStringLiteral("貸方金額"), 1.8, Align::Right};
    credit.summed = true;
    Column text{QStringLiteral("摘要"), 4.2};
    return {line, debitCode, debitName, debit, creditCode, creditName, credit, text};
}

// The columns of the journal's work table as read here.
enum Col {
    SIDAY,
    DENNO,
    DENMENO,
    KRKMCODE,
    KRHOCODE,
    KRKMNAME,
    KRHONAME,
    KRKIN,
    KSKMCODE,
    KSHOCODE,
    KSKMNAME,
    KSHONAME,
    KSKIN,
    TEKIYO
};
// The columns of one side, debit (KR) or credit (KS).
struct Side {
    Col code, subCode, name, subName, amount;
};
constexpr Side kDebit{KRKMCODE, KRHOCODE, KRKMNAME, KRHONAME, KRKIN};
constexpr Side kCredit{KSKMCODE, KSHOCODE, KSKMNAME, KSHONAME, KSKIN};

// Texts that many rows share, each kept once for the whole document: the
// cells refer to them without counting their users (QString::fromRawData).
// Counted texts would have the thread that makes the rows and the thread
// that lays them out and drops them write to the same counters all the
// time. Written by one thread; the document keeps it (Document::storage)
// as long as any of its rows may exist.
class TextStore {
public:
    QString keep(const QString& text) {
        const qsizetype n = text.size();
        if (n == 0) return QString();
        if (chunks_.empty() || used_ + n > chunkSize_) {
            chunkSize_ = std::max(kChunk, n);
            chunks_.push_back(std::make_unique<char16_t[]>(size_t(chunkSize_)));
            used_ = 0;
        }
        char16_t* at = chunks_.back().get() + used_;
        std::copy_n(text.utf16(), n, at);
        used_ += n;
        return QString::fromRawData(reinterpret_cast<const QChar*>(at), n);
    }

private:
    static constexpr qsizetype kChunk = 32 * 1024;  // characters
    std::vector<std::unique_ptr<char16_t[]>> chunks_;
    qsizetype used_ = 0, chunkSize_ = 0;
};

// The texts of one column, each decoded once while it recurs: account and
// sub-account numbers and names, line numbers and descriptions repeat across
// a year's lines, and a text shared between rows costs neither decoding nor
// memory. A direct-mapped table of the values last seen keeps the lookup
// small; the texts themselves are kept in the store.
class TextMemo {
public:
    explicit TextMemo(TextStore& store) : store_(&store) {}

    // The text of these UTF-8 bytes; `wrap` puts it in parentheses (a
    // sub-account's name as printed). Empty bytes: an empty text, as
    // QString::fromUtf8 gives it.
    QString text(QByteArrayView bytes, bool wrap = false) {
        if (bytes.isEmpty()) return QString::fromUtf8(bytes);
        Slot& slot = slots_[qHash(bytes) & (kSlots - 1)];
        if (!slot.used || QByteArrayView(slot.key) != bytes) {
            slot.key = bytes.toByteArray();
            QString text = QString::fromUtf8(bytes);
            if (wrap) text = QStringLiteral("(") + text + QStringLiteral(")");
            slot.text = store_->keep(text);
            slot.used = true;
        }
        return slot.text;
    }

private:
    static constexpr size_t kSlots = 256;
    struct Slot {
        bool used = false;
        QByteArray key;
        QString text;
    };
    TextStore* store_;
    std::vector<Slot> slots_ = std::vector<Slot>(kSlots);
};

constexpr int kColumns = TEKIYO + 1;

// Rows of the work table copied out of the statement, a batch at a time:
// per row and column the value's kind and its integer, real, or the place of
// its bytes in the batch's buffer. A value takes 16 bytes: a batch is
// written once and read once, and its size is most of what that costs.
struct StoredRows {
    using Kind = platform::Statement::Kind;
    struct Value {
        Kind kind = Kind::Null;
        quint32 size = 0;  // of a text or blob
        union {
            qint64 integer = 0;
            double real;
            quint64 offset;  // of a text or blob in the buffer
        };
    };
    std::string bytes;
    std::vector<Value> values;  // kColumns per row

    size_t rows() const { return values.size() / kColumns; }
    // Emptied, keeping its room.
    void clear() {
        bytes.clear();
        values.clear();
    }
    // Appends the statement's current row.
    void add(const platform::Statement& st) {
        for (int c = 0; c < kColumns; ++c) {
            const platform::Statement::Cell cell = st.cell(c);
            Value& v = values.emplace_back();
            v.kind = cell.kind;
            switch (cell.kind) {
            case Kind::Integer:
                v.integer = cell.integer;
                break;
            case Kind::Real:
                v.real = cell.real;
                break;
            case Kind::Text:
            case Kind::Blob:
                v.offset = bytes.size();
                v.size = quint32(cell.bytes.size());
                bytes.append(cell.bytes.data(), size_t(cell.bytes.size()));
                break;
            case Kind::Null:
                break;
            }
        }
    }
};

// One stored row, read as a statement's row is.
class StoredRow {
public:
    StoredRow(const StoredRows& rows, size_t row) : rows_(rows), first_(row * kColumns) {}

    platform::Statement::Cell cell(int c) const {
        const StoredRows::Value& v = rows_.values[first_ + size_t(c)];
        platform::Statement::Cell out;
        out.kind = v.kind;
        switch (v.kind) {
        case StoredRows::Kind::Integer:
            out.integer = v.integer;
            break;
        case StoredRows::Kind::Real:
            out.real = v.real;
            break;
        case StoredRows::Kind::Text:
        case StoredRows::Kind::Blob:
            out.bytes = QByteArrayView(rows_.bytes.data() + v.offset, qsizetype(v.size));
            break;
        case StoredRows::Kind::Null:
            break;
        }
        return out;
    }

private:
    const StoredRows& rows_;
    size_t first_;
};

// The texts and amounts of the work table's rows as the report prints
// them, read from the stored rows without QVariant: a year's journal runs to
// hundreds of thousands of lines.
class JournalRows {
public:
    explicit JournalRows(TextStore& store) : memos_(kColumns, TextMemo(store)) {}

    void setRow(const StoredRow* row) { row_ = row; }

    // The value as stored (null: empty).
    QString raw(Col c) const { return CellText(row_->cell(c)); }
    // The value without blanks around it, as TrimmedCellText reads it.
    QString text(Col c) { return memoText(c, false); }
    Currency amount(Col c) const { return CellAmount(row_->cell(c)); }

    // The stored bytes of the voucher's date and number, when both are texts
    // (or null): equal bytes are an equal voucher.
    std::optional<std::pair<QByteArrayView, QByteArrayView>> voucherBytes() const {
        const auto day = row_->cell(SIDAY), number = row_->cell(DENNO);
        if (!plain(day) || !plain(number)) return std::nullopt;
        return std::make_pair(day.bytes, number.bytes);
    }

    // One side as printed. A side without an account (its number and name
    // empty) prints nothing, not even its amount.
    struct SideText {
        QString code, name, subName;
        Cell amount;
    };
    SideText side(const Side& side) {
        SideText out{text(side.code), text(side.name), memoText(side.subName, true), Cell()};
        if (!out.code.isEmpty() || !out.name.isEmpty()) out.amount = amount(side.amount);
        return out;
    }
    // The sub-account code, read only for a line that prints its sub-accounts.
    QString subCode(const Side& side) { return text(side.subCode); }

private:
    static bool plain(const platform::Statement::Cell& cell) {
        return cell.kind == platform::Statement::Kind::Text || cell.kind == platform::Statement::Kind::Null;
    }
    QString memoText(Col c, bool wrap) {
        const platform::Statement::Cell cell = row_->cell(c);
        if (const auto bytes = TrimmedCellBytes(cell)) return memos_[c].text(*bytes, wrap);
        const QString text = TrimmedCellText(cell);
        return wrap && !text.isEmpty() ? QStringLiteral("(") + text + QStringLiteral(")") : text;
    }

    const StoredRow* row_ = nullptr;
    std::vector<TextMemo> memos_;
};

// The cells of a row, moved into place (a vector built from a braced list
// copies each cell once more).
std::vector<Cell> cells(std::array<Cell, 8>&& row) {
    return {std::make_move_iterator(row.begin()), std::make_move_iterator(row.end())};
}

// One line of the work table as printed: the heading of its voucher when it
// starts one, its row, and the row of its sub-accounts when it has them.
struct Line {
    bool startsVoucher = false;
    bool subAccounts = false;
    QString heading;
    std::array<Cell, 8> row, sub;
};

// Batches passed from one thread to the next, a few batches ahead at most.
template <typename Batch>
class Handover {
public:
    // Hands a batch over, waiting while the queue is full. false: the
    // taking side has stopped.
    bool put(Batch&& batch) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return stopped_ || batches_.size() < kAhead; });
        if (stopped_) return false;
        batches_.push_back(std::move(batch));
        changed_.notify_all();
        return true;
    }
    // No more batches come.
    void close() {
        std::lock_guard lock(mutex_);
        closed_ = true;
        changed_.notify_all();
    }
    // The next batch; false when the reading has ended and every batch was taken.
    bool take(Batch& batch) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return closed_ || !batches_.empty(); });
        if (batches_.empty()) return false;
        batch = std::move(batches_.front());
        batches_.pop_front();
        changed_.notify_all();
        return true;
    }
    // A batch taken and used, its room kept for the putting side's next one.
    void giveBack(Batch&& batch) {
        std::lock_guard lock(mutex_);
        if (spare_.size() < kAhead + 1) spare_.push_back(std::move(batch));
    }
    // A batch given back, if any (else an empty one).
    Batch spare() {
        std::lock_guard lock(mutex_);
        if (spare_.empty()) return Batch();
        Batch batch = std::move(spare_.back());
        spare_.pop_back();
        return batch;
    }
    // The taking side gives up: the reading stops at its next batch.
    void stop() {
        std::lock_guard lock(mutex_);
        stopped_ = true;
        changed_.notify_all();
    }

private:
    static constexpr size_t kAhead = 4;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Batch> batches_;
    std::vector<Batch> spare_;
    bool closed_ = false, stopped_ = false;
};

constexpr size_t kBatch = 512;  // rows handed from one thread to the next at a time

// Steps through the work table, handing its rows over in batches.
void readRows(platform::Statement& st, Handover<StoredRows>& out) {
    const auto next = [&out] {
        StoredRows batch = out.spare();
        batch.clear();
        batch.values.reserve(kBatch * kColumns);
        return batch;
    };
    StoredRows batch = next();
    while (st.next()) {
        batch.add(st);
        if (batch.rows() == kBatch) {
            if (!out.put(std::move(batch))) return;
            batch = next();
        }
    }
    if (batch.rows() > 0) out.put(std::move(batch));
}

// Turns the stored rows into lines as printed, handing them over in batches;
// their texts are kept in store.
void makeLines(Handover<StoredRows>& in, Handover<std::vector<Line>>& out, TextStore& store) {
    JournalRows r(store);
    StoredRows stored;
    QString voucher;
    QByteArray voucherBytes;  // the stored date, then the number, of the last row
    qsizetype dayLength = -1;
    bool first = true;
    while (in.take(stored)) {
        std::vector<Line> batch(stored.rows());
        for (size_t i = 0; i < stored.rows(); ++i) {
            const StoredRow row(stored, i);
            r.setRow(&row);
            Line& line = batch[i];
            // A new voucher is seen by its stored bytes; its texts are read only then.
            const auto bytes = r.voucherBytes();
            const bool same = !first && bytes && dayLength == bytes->first.size() &&
                              voucherBytes.size() == bytes->first.size() + bytes->second.size() &&
                              voucherBytes.startsWith(bytes->first) && voucherBytes.endsWith(bytes->second);
            if (!same) {
                const QString day = r.raw(SIDAY), number = r.raw(DENNO);
                const QString key = day + QLatin1Char('/') + number;
                if (first || key != voucher) {
                    line.startsVoucher = true;
                    line.heading = store.keep(QStringLiteral("%1　伝票番号 %2").arg(day, number));
                    voucher = key;
                    first = false;
                }
                if (bytes) {
                    voucherBytes.resize(0);  // keeps its room
                    voucherBytes.append(bytes->first).append(bytes->second);
                    dayLength = bytes->first.size();
                } else {
                    dayLength = -1;
                }
            }
            JournalRows::SideText debit = r.side(kDebit), credit = r.side(kCredit);
            line.subAccounts = !debit.subName.isEmpty() || !credit.subName.isEmpty();
            line.row = {r.text(DENMENO),          std::move(debit.code),  std::move(debit.name),
                        std::move(debit.amount),  std::move(credit.code), std::move(credit.name),
                        std::move(credit.amount), r.text(TEKIYO)};
            if (line.subAccounts) {
                line.sub = {Cell(), r.subCode(kDebit), std::move(debit.subName), Cell(),
                            r.subCode(kCredit), std::move(credit.subName), Cell(), Cell()};
            }
        }
        r.setRow(nullptr);
        in.giveBack(std::move(stored));
        if (!out.put(std::move(batch))) {
            in.stop();
            return;
        }
    }
}

QString rangeText(const QString& from, const QString& to) {
    if (from.isEmpty() && to.isEmpty()) return QString();
    return from + QStringLiteral(" ～ ") + to;
}

}  // namespace

bool BuildSiwakeNikkiReport(platform::Connection& cn, Document& doc) {
    const auto company = ReadCompanyHeader(cn);
    if (!company) return false;
    const auto items = ReadPrintKomoku(cn);
    if (!items) return false;
    platform::Statement st(cn, QStringLiteral("SELECT SIDAY, DENNO, DENMENO, KRKMCODE, KRHOCODE, KRKMNAME,"
                                              " KRHONAME, KRKIN, KSKMCODE, KSHOCODE, KSKMNAME, KSHONAME, KSKIN,"
                                              " TEKIYO FROM T_SIALL_OUT ORDER BY rowid"));
    if (!st.isValid()) return false;

    doc.title = QStringLiteral("仕訳日記帳");
    doc.orientation = Orientation::Portrait;
    doc.companyName = company->name;
    doc.period = rangeText(Trim(items->komoku6), Trim(items->komoku7));
    const QString numbers = rangeText(Trim(items->komoku8), Trim(items->komoku9));
    if (!numbers.isEmpty()) doc.headerItems.push_back({QStringLiteral("伝票番号"), numbers});
    doc.table.columns = columns();
    doc.table.captionColumn = 2;
    doc.table.subtotalCaption = QStringLiteral("伝票計");
    doc.table.totalCaption = QStringLiteral("合計");

    // The work table is read on a thread of its own (the connection is used
    // by that thread alone until it ends), its rows made into lines on
    // another, while the lines are laid out here.
    Handover<StoredRows> stored;
    Handover<std::vector<Line>> lines;
    auto store = std::make_shared<TextStore>();
    doc.storage.push_back(store);
    {
        std::thread reader([&st, &stored] {
            readRows(st, stored);
            stored.close();
        });
        std::thread maker([&stored, &lines, &store = *store] {
            makeLines(stored, lines, store);
            lines.close();
        });
        // Ends both threads however this scope is left.
        struct Join {
            Handover<StoredRows>& stored;
            Handover<std::vector<Line>>& lines;
            std::thread &reader, &maker;
            ~Join() {
                lines.stop();
                maker.join();
                stored.stop();
                reader.join();
            }
        } join{stored, lines, reader, maker};
        std::vector<Line> batch;
        while (lines.take(batch)) {
            for (Line& line : batch) {
                if (line.startsVoucher) doc.table.addGroup(line.heading);
                doc.table.addRow(Row::detail(cells(std::move(line.row))));
                if (line.subAccounts) doc.table.addRow(Row::detail(cells(std::move(line.sub))));
            }
        }
    }
    // Read to its end.
    return st.error().ok();
}

}  // namespace reports
