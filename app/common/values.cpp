#include "app/common/values.h"

#include "platform/currency.h"

namespace {

int firstNonBlank(const QString& text) {
    int i = 0;
    while (i < text.size() && text[i] == u' ') ++i;
    return i;
}

int endOfNonBlank(const QString& text, int from) {
    int end = text.size();
    while (end > from && text[end - 1] == u' ') --end;
    return end;
}

}  // namespace

QString Trim(const QString& text) {
    const int begin = firstNonBlank(text);
    return text.mid(begin, endOfNonBlank(text, begin) - begin);
}

QString LTrim(const QString& text) { return text.mid(firstNonBlank(text)); }

QString RTrim(const QString& text) { return text.left(endOfNonBlank(text, 0)); }

bool IsEmptyValue(const QVariant& value) {
    if (!value.isValid() || value.isNull()) return true;
    return value.metaType() == QMetaType::fromType<QString>() && value.toString().isEmpty();
}

QVariant NullToZero(const QVariant& value) { return IsEmptyValue(value) ? QVariant(0) : value; }

QString NullToSpace(const QVariant& value) {
    if (IsEmptyValue(value)) return QStringLiteral(" ");
    if (value.metaType() == QMetaType::fromType<Currency>()) return value.value<Currency>().toText();
    return value.toString();
}

QString SplitAtBlank(const QString& text, QString& rest) {
    const QString trimmed = Trim(text);
    rest.clear();
    const qsizetype blank = trimmed.indexOf(u' ');
    if (blank < 0) return trimmed;
    rest = trimmed.mid(blank + 1);
    return trimmed.left(blank);
}
