#include "ledger/bankstatement.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>
#include <array>
#include <optional>

#include "app/common/dates.h"
#include "app/common/values.h"
#include "platform/cp932.h"
#include "ledger/valuecheck.h"
#include "platform/currency.h"

namespace {

const QString kShinsei = QStringLiteral("新生銀行");
const QString kCashBook = QStringLiteral("金銭出納帳");
const QString kJapanNet = QStringLiteral("ジャパンネット銀行");
const QString kEBank = QStringLiteral("イーバンク");
const QString kSmbc = QStringLiteral("三井住友銀行");
const QString kTokyoStar = QStringLiteral("東京スター銀行");
const QString kResona = QStringLiteral("りそな銀行");
const QString kMufj = QStringLiteral("三菱東京UFJ銀行");

constexpr int kMaxFields = 20;

struct Header {
    const QString* layout;
    const char16_t* key;  // the first seven characters of the header line
};

// The CP932 layouts in the order their headers are tested.
const std::array<Header, 8> kHeaders{{
    {&kCashBook, u"年月日（西暦y"},
    {&kJapanNet, u"\"操作日(年)"},
    {&kJapanNet, u"操作日(年),"},
    {&kEBank, u"取引日,入出金"},
    {&kSmbc, u"年月日（和暦）"},
    {&kTokyoStar, u"\"日付\",\"お"},
    {&kResona, u"\"日付\",\"摘"},
    {&kMufj, u"日付,引出金額"},
}};

const char16_t* const kShinseiHeader = u"取引日\t照会番";

// Where each layout takes its values from (field numbers from 1).
struct Columns {
    int description, withdrawal, deposit;
};

Columns columnsOf(const QString& layout) {
    if (layout == kShinsei) return {3, 4, 5};
    if (layout == kCashBook) return {5, 3, 2};
    if (layout == kJapanNet) return {8, 9, 10};
    if (layout == kResona) return {2, 3, 4};
    // イーバンク takes both amounts from field 2.
    if (layout == kEBank) return {4, 2, 2};
    // 三井住友銀行, 東京スター銀行, 三菱東京UFJ銀行.
    return {4, 2, 3};
}

QString field(const QStringList& fields, int number) {
    return number >= 1 && number <= fields.size() ? fields[number - 1] : QString();
}

// Full-width digits and date separators as their half-width forms.
QString narrowDigits(const QString& text) {
    QString out = text;
    for (QChar& c : out) {
        const char16_t u = c.unicode();
        if (u >= 0xFF10 && u <= 0xFF19) c = QChar(u - 0xFF10 + u'0');
        else if (u == 0xFF0F) c = u'/';
        else if (u == 0xFF0D) c = u'-';
        else if (u == 0xFF0E) c = u'.';
    }
    return out;
}

std::optional<QString> realDay(int year, int month, int day) {
    const QDate d(year, month, day);
    if (!d.isValid() || year < 1000 || year > 9999) return std::nullopt;
    return d.toString(QStringLiteral("yyyy/MM/dd"));
}

// Reads from one to most ASCII digits of t at pos (moving pos past them) as
// a number; -1 when there is no digit at pos.
int readDigits(QStringView t, qsizetype& pos, int most) {
    int value = 0;
    int count = 0;
    while (count < most && pos < t.size() && t[pos] >= u'0' && t[pos] <= u'9') {
        value = value * 10 + (t[pos].unicode() - u'0');
        ++pos;
        ++count;
    }
    return count > 0 ? value : -1;
}

// A Western date written "yyyy/m/d" (also with "-", "." or 年月日 between the
// parts) or "yyyymmdd"; nullopt unless it names a real day.
std::optional<QString> westernDate(const QString& text) {
    const QString trimmed = Trim(narrowDigits(text));
    const QStringView t(trimmed);
    const auto separator = [&](qsizetype pos, char16_t unit) {
        return pos < t.size() && (t[pos] == u'/' || t[pos] == u'.' || t[pos] == u'-' || t[pos] == unit);
    };
    qsizetype pos = 0;
    const int year = readDigits(t, pos, 4);
    if (pos != 4) return std::nullopt;
    if (separator(pos, u'年')) {
        ++pos;
        const int month = readDigits(t, pos, 2);
        if (month < 0 || !separator(pos, u'月')) return std::nullopt;
        ++pos;
        const int day = readDigits(t, pos, 2);
        if (day < 0) return std::nullopt;
        if (pos < t.size() && t[pos] == u'日') ++pos;
        if (pos != t.size()) return std::nullopt;
        return realDay(year, month, day);
    }
    const int month = readDigits(t, pos, 2);
    const int day = readDigits(t, pos, 2);
    if (pos != 8 || pos != t.size()) return std::nullopt;
    return realDay(year, month, day);
}

// The date of イーバンク lines goes through the program's date normaliser,
// which also reads "yymmdd"; it clamps months and days, so a date it had to
// change is refused here rather than posted to another day.
std::optional<QString> eBankDate(const QString& text) {
    if (std::optional<QString> d = westernDate(text)) return d;
    const QString t = Trim(narrowDigits(text));
    static const QRegularExpression sixDigits(QStringLiteral("^\\d{6}$"));
    if (!sixDigits.match(t).hasMatch()) return std::nullopt;
    const QString normalised = FormatDateString(t);
    if (normalised.size() != 10 || normalised.mid(2).remove(u'/') != t) return std::nullopt;
    return westernDate(normalised);
}

// An era date: the era letter (M 明治, T 大正, S 昭和, H 平成, R 令和) and
// "y.m.d" of that era. A year the era never reached (H38) or a day outside
// the era (H31.5.1) is no date: reason then says so.
std::optional<QString> eraDate(const QString& text, QString* reason) {
    static const QRegularExpression form(QStringLiteral("^([MTSHRmtshr])(\\d{1,2})\\.(\\d{1,2})\\.(\\d{1,2})$"));
    const QRegularExpressionMatch m = form.match(Trim(narrowDigits(text)));
    if (!m.hasMatch()) return std::nullopt;
    static const QString eraNames[] = {QStringLiteral("明治"), QStringLiteral("大正"), QStringLiteral("昭和"),
                                       QStringLiteral("平成"), QStringLiteral("令和")};
    const int era = QStringLiteral("MTSHR").indexOf(m.captured(1).toUpper());
    const QString western = valuecheck::EraDay(eraNames[era], m.captured(2).toInt(), m.captured(3).toInt(),
                                               m.captured(4).toInt(), reason);
    if (western.isEmpty()) return std::nullopt;
    return western;
}
// Reads an amount; nullopt when it is no number.
std::optional<Currency> number(const QString& text) { return Currency::parse(text); }

QString absText(Currency c) { return (c.raw() < 0 ? -c : c).toText(); }

class Reader {
public:
    Reader(const QString& fileName, BankStatement& out, QString* message)
        : fileName_(fileName), out_(out), message_(message) {}

    StatementRead refuse(int lineNo, const QString& what, const QString& operation) {
        say(operation + QStringLiteral("\r\n%1 %2行目: %3").arg(fileName_).arg(lineNo).arg(what));
        return StatementRead::Refused;
    }
    StatementRead refuseLine(int lineNo, const QString& what) {
        return refuse(lineNo, what, QStringLiteral("銀行データの取込処理中にエラーが発生しました(cmdStr_Click)。"));
    }
    void say(const QString& text) {
        if (message_) *message_ = text;
    }

    // Converts one split line into a statement line; Refused after a message.
    StatementRead convert(int lineNo, const QStringList& fields) {
        const QString& layout = out_.layout;
        const Columns c = columnsOf(layout);
        StatementLine s;
        s.fileLine = lineNo;
        s.description = field(fields, c.description);

        const QString f1 = field(fields, 1);
        std::optional<QString> date;
        QString dateReason;
        if (layout == kJapanNet) {
            bool y = false, m = false, d = false;
            const int year = Trim(narrowDigits(f1)).toInt(&y);
            const int month = Trim(narrowDigits(field(fields, 2))).toInt(&m);
            const int day = Trim(narrowDigits(field(fields, 3))).toInt(&d);
            if (y && m && d) date = realDay(year, month, day);
        } else if (layout == kEBank) {
            date = eBankDate(f1);
        } else if (layout == kSmbc) {
            date = eraDate(f1, &dateReason);
        } else {
            date = westernDate(f1);
        }
        if (!date) {
            const QString shown = layout == kJapanNet
                                      ? f1 + u'/' + field(fields, 2) + u'/' + field(fields, 3)
                                      : f1;
            if (!dateReason.isEmpty()) return refuseLine(lineNo, dateReason);
            return refuseLine(lineNo, QStringLiteral("日付「%1」は日付として読めません。").arg(valuecheck::Quote(shown)));
        }
        // The description is stored as the journal line's: held to the rules
        // of typed text.
        if (const QString reason = valuecheck::CheckText(s.description); !reason.isEmpty())
            return refuseLine(lineNo, QStringLiteral("摘要") + reason);
        s.date = *date;

        if (layout == kEBank) {
            const QString signedAmount = field(fields, 2);
            const std::optional<Currency> value = number(signedAmount);
            if (!value)
                return refuseLine(lineNo, QStringLiteral("金額「%1」は数値ではありません。").arg(valuecheck::Quote(signedAmount)));
            s.amount = signedAmount;
            (value->raw() < 0 ? s.withdrawal : s.deposit) = signedAmount;
        } else {
            s.withdrawal = field(fields, c.withdrawal);
            s.deposit = field(fields, c.deposit);
            const bool out = !Trim(s.withdrawal).isEmpty();
            const QString& text = out ? s.withdrawal : s.deposit;
            if (!out && Trim(text).isEmpty())
                return refuseLine(lineNo, QStringLiteral("出金額も入金額もありません。"));
            const std::optional<Currency> value = number(text);
            if (!value)
                return refuseLine(lineNo, QStringLiteral("金額「%1」は数値ではありません。").arg(valuecheck::Quote(text)));
            s.amount = (out ? QStringLiteral("-") : QString()) + absText(*value);
        }
        if (const QString reason = valuecheck::CheckAmountValue(number(s.amount).value_or(Currency()), s.amount);
            !reason.isEmpty())
            return refuseLine(lineNo, reason);
        out_.lines.push_back(std::move(s));
        return StatementRead::Read;
    }

    StatementRead readUtf16(const QByteArray& bytes, bool bigEndian) {
        QStringDecoder decoder(bigEndian ? QStringConverter::Utf16BE : QStringConverter::Utf16LE,
                               QStringConverter::Flag::Stateless);
        const QString text = decoder.decode(bytes.mid(2));
        // An odd byte count means a character was cut off.
        if (decoder.hasError() || bytes.size() % 2 != 0) {
            say(QStringLiteral("ファイルのアクセス中にエラーが発生しました(check_cvs_data)。\r\n%1: UTF-16の文字として読めません。")
                    .arg(fileName_));
            return StatementRead::NotRecognised;
        }
        const QStringList lines = text.split(u'\n');
        int lineNo = 0;
        bool header = false;
        for (QString line : lines) {
            ++lineNo;
            if (line.endsWith(u'\r')) line.chop(1);
            if (!header) {
                if (line.left(7) == QStringView(kShinseiHeader)) {
                    header = true;
                    out_.layout = kShinsei;
                }
                continue;
            }
            if (Trim(line).isEmpty()) continue;
            const QStringList fields = line.split(u'\t').mid(0, kMaxFields);
            if (convert(lineNo, fields) != StatementRead::Read) return StatementRead::Refused;
        }
        return header ? StatementRead::Read : StatementRead::NotRecognised;
    }

    StatementRead readCp932(const QByteArray& bytes) {
        platform::cp932::Decoder decoder;
        QString text;  // the line's text, its storage kept from line to line
        QStringList fields;
        int lineNo = 0;
        bool header = false;
        for (qsizetype start = 0; start <= bytes.size();) {
            ++lineNo;
            const qsizetype newline = bytes.indexOf('\n', start);
            const qsizetype end = newline < 0 ? bytes.size() : newline;
            QByteArrayView raw(bytes.constData() + start, end - start);
            start = end + 1;
            if (raw.endsWith('\r')) raw.chop(1);
            const bool readable = decoder.decode(raw, text);
            if (!header) {
                if (!readable) continue;
                const QString key = Trim(text).left(7);
                for (const Header& h : kHeaders) {
                    if (key == QStringView(h.key)) {
                        out_.layout = *h.layout;
                        header = true;
                        break;
                    }
                }
                continue;
            }
            if (!readable)
                return refuse(lineNo, QStringLiteral("Shift-JISの文字として読めないバイトがあります。"),
                              QStringLiteral("CSVデータの読み込み中にエラーが発生しました(read_file)。"));
            if (Trim(text).isEmpty()) continue;
            if (!SplitStatementCsvLine(text, fields))
                return refuse(lineNo, QStringLiteral("引用符で始まる値が閉じられていません。"),
                              QStringLiteral("CSVデータの読み込み中にエラーが発生しました(get_Chr34_data)。"));
            // The end line of this layout: what follows it is not read.
            if (out_.layout == kResona && field(fields, 1).isEmpty()) break;
            if (convert(lineNo, fields) != StatementRead::Read) return StatementRead::Refused;
        }
        return header ? StatementRead::Read : StatementRead::NotRecognised;
    }

private:
    QString fileName_;
    BankStatement& out_;
    QString* message_;
};

}  // namespace

QString UnrecognisedLayoutName() { return QStringLiteral("未確認"); }

QString BankFileCharset(const QByteArray& head) {
    if (head.startsWith("\xFF\xFE")) return QStringLiteral("Unicode");
    if (head.startsWith("\xFE\xFF")) return QStringLiteral("Unicode Big Endian");
    if (head.startsWith("\xEF\xBB\xBF")) return QStringLiteral("UTF-8");
    return QStringLiteral("ANSI");
}

bool SplitStatementCsvLine(const QString& line, QStringList& fields) {
    fields.clear();
    const QStringView text(line);
    const qsizetype n = text.size();
    // Where the field from `from` ends: at the next comma or the line's end.
    const auto fieldEnd = [&](qsizetype from) {
        const qsizetype comma = text.indexOf(u',', from);
        return comma < 0 ? n : comma;
    };
    qsizetype i = 0;
    while (true) {
        QString value;
        if (i < n && text[i] == u'"') {
            // A quoted field: to its closing quote; "" is one quote.
            ++i;
            bool closed = false;
            while (i < n) {
                const qsizetype quote = text.indexOf(u'"', i);
                if (quote < 0) break;
                value += text.sliced(i, quote - i);
                if (quote + 1 < n && text[quote + 1] == u'"') {
                    value += u'"';
                    i = quote + 2;
                    continue;
                }
                closed = true;
                i = quote + 1;
                break;
            }
            if (!closed) return false;
            // Text between the closing quote and the next comma stays with the value.
            const qsizetype end = fieldEnd(i);
            value += text.sliced(i, end - i);
            i = end;
        } else {
            const qsizetype end = fieldEnd(i);
            if (end > i) value = text.sliced(i, end - i).toString();
            i = end;
        }
        if (fields.size() < kMaxFields) fields << value;
        if (i >= n) break;
        ++i;  // the comma
    }
    return true;
}

StatementRead ReadBankStatementBytes(const QByteArray& bytes, const QString& fileName, BankStatement& out,
                                     QString* message) {
    out = BankStatement();
    out.layout = UnrecognisedLayoutName();
    if (message) message->clear();
    Reader reader(fileName, out, message);
    const QString charset = BankFileCharset(bytes.left(3));
    StatementRead result;
    if (charset == u"UTF-8")
        result = StatementRead::NotRecognised;
    else if (charset.startsWith(u"Unicode"))
        result = reader.readUtf16(bytes, charset == u"Unicode Big Endian");
    else
        result = reader.readCp932(bytes);
    if (result != StatementRead::Read) {
        if (result == StatementRead::NotRecognised) out.layout = UnrecognisedLayoutName();
        out.lines.clear();
    }
    return result;
}

StatementRead ReadBankStatementFile(const QString& path, BankStatement& out, QString* message) {
    // A line longer than any statement line (20 fields, in UTF-16 at most)
    // is refused as soon as it is seen, without reading it whole.
    constexpr qint64 kMaxLine = 2 * valuecheck::MaxRecordBytes(kMaxFields);
    QByteArray bytes;
    qint64 longLine = 0;
    const valuecheck::BoundedRead read = valuecheck::ReadFileBounded(path, kMaxLine, bytes, &longLine);
    if (read != valuecheck::BoundedRead::Read) {
        out = BankStatement();
        out.layout = UnrecognisedLayoutName();
        if (read == valuecheck::BoundedRead::LineTooLong) {
            if (message)
                *message = valuecheck::RefusalText(QStringLiteral("CSVデータの読み込み中にエラーが発生しました(read_file)。"),
                                                   QFileInfo(path).fileName(), longLine, QString(),
                                                   valuecheck::LineTooLongReason(kMaxLine));
            return StatementRead::Refused;
        }
        if (message)
            *message = QStringLiteral("ファイルのアクセス中にエラーが発生しました(check_cvs_data)。\r\n%1").arg(path);
        return StatementRead::NotRecognised;
    }
    return ReadBankStatementBytes(bytes, QFileInfo(path).fileName(), out, message);
}
