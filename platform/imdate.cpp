#include "platform/imdate.h"

#include <QAction>
#include <QCalendarWidget>
#include <QFocusEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpression>
#include <QTextCharFormat>
#include <QVBoxLayout>

#include "platform/clock.h"

namespace platform {

namespace {

const QString kDateFormat = QStringLiteral("yyyy/MM/dd");

bool hasDigit(const QString& text) {
    for (QChar c : text) {
        if (c.isDigit()) return true;
    }
    return false;
}

// A small drop-down arrow for the calendar button, drawn once for every box
// of the program: a new icon per box would leave a new set of cached pixmaps
// behind each time a screen opens.
QIcon paintCalendarIcon() {
    QPixmap pm(12, 12);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x40, 0x40, 0x40));
    const QPointF tri[3] = {QPointF(1.5, 4), QPointF(10.5, 4), QPointF(6, 9)};
    p.drawPolygon(tri, 3);
    return QIcon(pm);
}

const QIcon& calendarIcon() {
    // Kept to the end of the process: a pixmap must not outlive the
    // application object, which a static's destructor would make it do.
    static const QIcon* icon = new QIcon(paintCalendarIcon());
    return *icon;
}

}  // namespace

ImDate::ImDate(QWidget* parent) : QLineEdit(parent) {
    setInputMask(QStringLiteral("0000/00/00;_"));
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setInputMethodHints(Qt::ImhDate | Qt::ImhDigitsOnly);
    auto* open = new QAction(calendarIcon(), QStringLiteral("カレンダー"), this);
    open->setToolTip(QStringLiteral("カレンダーを表示します。"));
    addAction(open, QLineEdit::TrailingPosition);
    connect(open, &QAction::triggered, this, &ImDate::showCalendar);
    connect(this, &QLineEdit::textEdited, this, [this] { emit change(); });
}

ImDate::~ImDate() {
    delete popup_;
}

std::optional<QDate> ImDate::parseDate(const QString& text) {
    static const QRegularExpression separated(
        QStringLiteral("^\\s*(\\d{4})[/.-](\\d{1,2})[/.-](\\d{1,2})\\s*$"));
    static const QRegularExpression compact(QStringLiteral("^\\s*(\\d{4})(\\d{2})(\\d{2})\\s*$"));
    // Full-width digits and separators read as their half-width forms.
    const QString half = text.normalized(QString::NormalizationForm_KC);
    QRegularExpressionMatch m = separated.match(half);
    if (!m.hasMatch()) m = compact.match(half);
    if (!m.hasMatch()) return std::nullopt;
    const QDate d(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    if (!d.isValid() || d.year() < 1) return std::nullopt;
    return d;
}

QString ImDate::text() const {
    const QString raw = QLineEdit::text();
    if (!hasDigit(raw)) return QString();
    if (const std::optional<QDate> d = parseDate(raw)) return d->toString(kDateFormat);
    return raw;
}

std::optional<QDate> ImDate::date() const {
    return parseDate(QLineEdit::text());
}

void ImDate::setMaskedText(const QString& text) {
    QLineEdit::setText(text);
}

void ImDate::setText(const QString& text) {
    if (!hasDigit(text)) {
        setMaskedText(QString());
    } else if (const std::optional<QDate> d = parseDate(text)) {
        setMaskedText(d->toString(kDateFormat));
    } else {
        setMaskedText(text);
    }
}

void ImDate::setDate(const QDate& date) {
    setMaskedText(date.isValid() ? date.toString(kDateFormat) : QString());
}

void ImDate::clear() {
    setMaskedText(QString());
}

void ImDate::normalise() {
    const QString raw = QLineEdit::text();
    if (!hasDigit(raw)) return;
    if (const std::optional<QDate> d = parseDate(raw)) {
        const QString tidy = d->toString(kDateFormat);
        if (tidy != raw) setMaskedText(tidy);
    }
}

QVariant ImDate::inputMethodQuery(Qt::InputMethodQuery query) const {
    // Dates are typed in half-width digits: the box tells the input method
    // that it takes no input-method text, so digits reach it as typed even
    // when the input method is in kana mode. QLineEdit would say yes.
    if (query == Qt::ImEnabled) return false;
    return QLineEdit::inputMethodQuery(query);
}

void ImDate::setHolidays(const QString& monthDays) {
    holidays_.clear();
    for (const QString& item : monthDays.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QStringList md = item.trimmed().split(QLatin1Char('/'));
        if (md.size() != 2) continue;
        bool okMonth = false;
        bool okDay = false;
        const int month = md[0].toInt(&okMonth);
        const int day = md[1].toInt(&okDay);
        if (okMonth && okDay) holidays_.append({month, day});
    }
    if (calendar_) markHolidays(calendar_->yearShown(), calendar_->monthShown());
}

void ImDate::markHolidays(int year, int month) {
    Q_UNUSED(month);
    calendar_->setDateTextFormat(QDate(), QTextCharFormat());
    QTextCharFormat red;
    red.setForeground(Qt::red);
    for (int y = year - 1; y <= year + 1; ++y) {
        for (const auto& [m, d] : holidays_) {
            const QDate day(y, m, d);
            if (day.isValid()) calendar_->setDateTextFormat(day, red);
        }
    }
}

void ImDate::showCalendar() {
    if (isReadOnly() || !isEnabled()) return;
    if (!popup_) {
        popup_ = new QFrame(nullptr, Qt::Popup);
        popup_->setFrameShape(QFrame::StyledPanel);
        auto* layout = new QVBoxLayout(popup_);
        layout->setContentsMargins(1, 1, 1, 1);
        calendar_ = new QCalendarWidget(popup_);
        calendar_->setAccessibleName(accessibleName().isEmpty() ? QStringLiteral("カレンダー")
                                                                : accessibleName());
        calendar_->setGridVisible(true);
        layout->addWidget(calendar_);
        connect(calendar_, &QCalendarWidget::clicked, this, &ImDate::chooseDate);
        connect(calendar_, &QCalendarWidget::activated, this, &ImDate::chooseDate);
        connect(calendar_, &QCalendarWidget::currentPageChanged, this, &ImDate::markHolidays);
    }
    const QDate shown = date().value_or(Clock::today());
    calendar_->setSelectedDate(shown);
    markHolidays(shown.year(), shown.month());
    popup_->adjustSize();
    popup_->move(mapToGlobal(QPoint(0, height())));
    popup_->show();
    calendar_->setFocus(Qt::PopupFocusReason);
}

bool ImDate::isCalendarVisible() const {
    return popup_ && popup_->isVisible();
}

void ImDate::chooseDate(const QDate& date) {
    if (popup_) popup_->hide();
    setFocus(Qt::PopupFocusReason);
    const QString before = text();
    setDate(date);
    if (text() != before) emit change();
}

void ImDate::keyPressEvent(QKeyEvent* event) {
    const bool altDown = event->key() == Qt::Key_Down && (event->modifiers() & Qt::AltModifier);
    if (event->key() == Qt::Key_F4 || altDown) {
        showCalendar();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void ImDate::mousePressEvent(QMouseEvent* event) {
    QLineEdit::mousePressEvent(event);
    // In an empty mask a click would leave the cursor where it landed (in the
    // month, say), and the mask would drop the digits typed before it.
    if (event->button() == Qt::LeftButton && isEmpty()) setCursorPosition(0);
}

void ImDate::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (event->reason() == Qt::PopupFocusReason || isCalendarVisible()) return;
    normalise();
    lostFocusReason_ = event->reason();
    emit lostFocus();
}

}  // namespace platform
