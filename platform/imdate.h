#pragma once
// platform::ImDate: the date box. Dates are "yyyy/mm/dd" text.
//
//   auto* txtKisyubi = new platform::ImDate(this);
//   txtKisyubi->setText("2003/04/01");                   // or setDate(QDate)
//   txtKisyubi->setHolidays("1/1,1/15,2/11,...");         // marked in the calendar
//   connect(txtKisyubi, &platform::ImDate::lostFocus, ...);
//
// - The box is typed through the mask "____/__/__" (digits only, the input
//   method is off). An empty box has no date: text() is "" and date() nullopt.
// - When the user leaves the box, a complete date is normalised: "2003/4/1"
//   (typed as "2003/4_/1_") becomes "2003/04/01". A text that is no valid date
//   ("2003/02/30") stays as typed, so the screen's own check can name it:
//   text() returns it, date() is nullopt, hasValidDate() false.
// - A click into an empty box puts the cursor before the year, wherever the
//   click lands, so that the digits typed next fill the year first.
// - setText() from code takes "yyyy/mm/dd", "yyyy/m/d", "yyyymmdd" or "".
// - The calendar opens with the button at the right of the box, F4 or
//   Alt+Down; choosing a day sets the box (a user edit).
// - change(): raised by the user's edits only (typing, the calendar), never by
//   setText()/setDate() from code. lostFocus(): the box lost the focus (not to
//   its calendar); lostFocusReason() tells how (Qt::MouseFocusReason: the user
//   clicked another control, which should keep the focus).
// Give every box a buddy label (QLabel::setBuddy) or an accessible name.

#include <QDate>
#include <QLineEdit>
#include <QList>
#include <QPair>
#include <QPointer>
#include <optional>

class QCalendarWidget;
class QFrame;

namespace platform {

class ImDate : public QLineEdit {
    Q_OBJECT
public:
    explicit ImDate(QWidget* parent = nullptr);
    ~ImDate() override;

    // "yyyy/mm/dd", "" for an empty box, or the text as typed when it is no date.
    QString text() const;
    void setText(const QString& text);
    std::optional<QDate> date() const;
    void setDate(const QDate& date);  // an invalid QDate empties the box
    void clear();
    bool isEmpty() const { return text().isEmpty(); }
    bool hasValidDate() const { return date().has_value(); }

    // Days marked in the calendar, as "m/d" items separated by commas.
    void setHolidays(const QString& monthDays);

    // Opens the calendar popup below the box.
    void showCalendar();
    bool isCalendarVisible() const;
    // How the box lost the focus last (valid while lostFocus() is handled).
    Qt::FocusReason lostFocusReason() const { return lostFocusReason_; }
    QCalendarWidget* calendar() const { return calendar_; }

    // "yyyy/mm/dd" of a text holding year, month and day ("2003/4/1",
    // "2003-04-01", "20030401"); nullopt when it is no valid date.
    static std::optional<QDate> parseDate(const QString& text);

    using QLineEdit::inputMethodQuery;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

signals:
    void change();
    void lostFocus();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void setMaskedText(const QString& yyyymmdd);
    void normalise();
    void chooseDate(const QDate& date);
    void markHolidays(int year, int month);

    QFrame* popup_ = nullptr;
    QCalendarWidget* calendar_ = nullptr;
    QList<QPair<int, int>> holidays_;  // (month, day)
    Qt::FocusReason lostFocusReason_ = Qt::OtherFocusReason;
};

}  // namespace platform
