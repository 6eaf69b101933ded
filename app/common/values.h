#pragma once
// Value helpers shared by every screen: database field values that may be
// null turned into plain values, the "code name" split of list entries, and
// the program's trim, which removes half-width blanks (U+0020) only. A
// full-width blank (U+3000), a tab or a line break is text and stays.

#include <QString>
#include <QVariant>

// Removes leading and trailing half-width blanks.
QString Trim(const QString& text);
// Removes leading half-width blanks.
QString LTrim(const QString& text);
// Removes trailing half-width blanks.
QString RTrim(const QString& text);

// True for a null or invalid value and for the empty text: what a database
// field yields when nothing was stored.
bool IsEmptyValue(const QVariant& value);

// An empty value gives the integer 0; any other value is returned unchanged,
// type and all (a text stays a text, 0 stays 0).
QVariant NullToZero(const QVariant& value);

// An empty value gives one half-width blank; any other value its text
// (amounts held as Currency give their decimal text).
QString NullToSpace(const QVariant& value);

// Splits a "code name" entry at its first half-width blank, after trimming
// the text: returns the code and writes the name into rest. The rest is not
// trimmed again, so further blanks stay at its start. Without a blank the
// whole trimmed text is the code and rest is empty.
QString SplitAtBlank(const QString& text, QString& rest);
