#pragma once
// The hostile values that every reader of files (restore, conversion import,
// journal CSV import, bank statements, payroll figures) must refuse: each
// case names the kind of field it goes into and the value's bytes as the file
// holds them (CP932). A reader's table test adds these rows with addRows() and
// puts the value into one field of that kind.

#include <QByteArray>
#include <QString>
#include <QtTest>

namespace hostile {

enum Field {
    Text,     // a text column (a description)
    Date,     // a date column
    Amount,   // an amount column
    Company,  // the company id of a record
};

struct Case {
    const char* name;
    Field field;
    QByteArray value;
};

// The value of 1 MB: longer than any record of any file.
inline QByteArray megabyte() { return QByteArray(1 << 20, 'x'); }

inline std::vector<Case> cases() {
    return {
        {"CR LF in text", Text, QByteArray("a\r\nb")},
        {"TAB in text", Text, QByteArray("a\tb")},
        {"NUL in text", Text, QByteArray("a\0b", 3)},
        {"invalid CP932", Text, QByteArray("a\x81\x20")},
        {"1 MB value", Text, megabyte()},
        {"30 February", Date, QByteArray("2000/02/30")},
        {"era year that never existed", Date, QByteArray("H38.1.11")},
        {"20-digit amount", Amount, QByteArray("12345678901234567890")},
        {"17-digit amount", Amount, QByteArray("99999999999999999")},
        {"wrong company id", Company, QByteArray("99")},
    };
}

// Adds the columns "field" (int) and "value" (QByteArray) and one row per case.
inline void addRows() {
    QTest::addColumn<int>("field");
    QTest::addColumn<QByteArray>("value");
    for (const Case& c : cases()) QTest::newRow(c.name) << int(c.field) << c.value;
}

}  // namespace hostile
