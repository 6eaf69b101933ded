#include "ledger/companyrules.h"

#include <QDate>
#include <optional>

#include "app/common/values.h"

namespace {

const QString kDateFormat = QStringLiteral("yyyy/MM/dd");

// A box's text as a date: exactly "yyyy/mm/dd" of a real day.
std::optional<QDate> toDate(const QString& text) {
    const QDate d = QDate::fromString(text, kDateFormat);
    if (!d.isValid()) return std::nullopt;
    return d;
}

QString toText(const QDate& d) {
    return d.toString(kDateFormat);
}

bool isDate(const QString& text) {
    return toDate(text).has_value();
}

}  // namespace

QString OneYearLater(const QString& start) {
    const auto s = toDate(start);
    // addYears keeps month and day and takes 28 February for 29 February.
    return s ? toText(s->addYears(1)) : QString();
}

QString PeriodEnd(const QString& start) {
    const auto s = toDate(start);
    return s ? toText(s->addYears(1).addDays(-1)) : QString();
}

QString InputLimitDay(const QString& closing) {
    const auto d = toDate(closing);
    // addMonths takes the month's last day when the day does not exist there.
    return d ? toText(d->addMonths(3)) : QString();
}

QString KanjiDate(const QString& date) {
    const auto d = toDate(date);
    return d ? d->toString(QStringLiteral("yyyy年MM月dd日")) : QString();
}

QString PeriodStartMonth(const QString& date) {
    return date.left(7);
}

int PeriodCalendarMonths(const QString& start, const QString& closing) {
    const auto s = toDate(start);
    const auto e = toDate(closing);
    if (!s || !e) return 0;
    return (e->year() * 12 + e->month()) - (s->year() * 12 + s->month()) + 1;
}

ClosingDateLink LinkClosingDate(bool fullYear, const QString& start, const QString& closing) {
    ClosingDateLink link;
    link.closing = closing;
    if (start.isEmpty()) {
        link.message = CompanyMessages::StartRequired;
        return link;
    }
    // A half-typed start is named by the input check at saving.
    if (!isDate(start)) return link;

    const QString end = PeriodEnd(start);
    if (fullYear) {
        link.message = CompanyMessages::Linked;
        link.closing = end;
    } else if (isDate(closing)) {
        if (closing < start) {
            link.message = CompanyMessages::ClosingBeforeStart;
            link.closing = start;
        } else if (closing >= OneYearLater(start)) {
            link.message = CompanyMessages::ClosingYearOrMore;
            link.closing = end;
        }
    }
    link.enableSave = true;
    return link;
}

CompanyCheckResult check_input_data(const CompanyCheckInput& in) {
    CompanyCheckResult r;
    r.closing = in.closing;
    auto fail = [&r](const QString& message, CompanyField focus) {
        r.messages << message;
        r.focus = focus;
        r.passed = false;
        return r;
    };

    if (Trim(in.name).isEmpty()) {
        return fail(
            in.corporation ? CompanyMessages::CorporationNameMissing : CompanyMessages::IndividualNameMissing,
            CompanyField::Name);
    }
    if (Trim(in.nendo).isEmpty()) return fail(CompanyMessages::NendoMissing, CompanyField::Nendo);
    if (in.start.isEmpty()) return fail(CompanyMessages::StartMissing, CompanyField::Start);
    if (!isDate(in.start)) return fail(CompanyMessages::StartInvalid, CompanyField::Start);
    if (in.closing.isEmpty()) return fail(CompanyMessages::ClosingMissing, CompanyField::Closing);
    if (!isDate(in.closing)) return fail(CompanyMessages::ClosingInvalid, CompanyField::Closing);

    const QString end = PeriodEnd(in.start);
    if (in.fullYear) {
        // Not a failure: the corrected date is what the save writes.
        if (r.closing != end) {
            r.messages << CompanyMessages::FullYearLinked;
            r.closing = end;
        }
    } else if (r.closing < in.start) {
        r.closing = in.start;
        return fail(CompanyMessages::ClosingBeforeStart, CompanyField::Start);
    } else if (r.closing >= OneYearLater(in.start)) {
        r.closing = end;
        return fail(CompanyMessages::ClosingYearOrMore, CompanyField::Closing);
    }

    // The month list, the month status and every book hold twelve months:
    // postings in a 13th month would reach no total.
    if (PeriodCalendarMonths(in.start, r.closing) > 12) {
        return in.fullYear ? fail(CompanyMessages::FullYearMidMonth, CompanyField::Start)
                           : fail(CompanyMessages::ShortPeriodThirteenMonths, CompanyField::Closing);
    }

    if (in.rateOn && in.rate.isZero()) return fail(CompanyMessages::RateMissing, CompanyField::Rate);

    r.passed = true;
    return r;
}
