#pragma once
// The events a Japanese input method sends while the user types through it.
// Each goes to the widget that has the focus at that moment, as the input
// method sends it, so a widget that hands the focus on while the user is
// still composing is tested as it is used.
//
//     imtest::compose({"ｇ", "げ", "げｎ", "げんｋ", "げんき", "げんきｎ"}, "現金");
//
// sends the preedits of romaji typed in kana mode (the last romaji letter
// still pending), then the converted text as a preedit (Space), then its
// commit (Enter). Header only, so that any test program can use it.

#include <QApplication>
#include <QInputMethodEvent>
#include <QInputMethodQueryEvent>
#include <QString>
#include <QStringList>
#include <QTextCharFormat>
#include <QWidget>

namespace imtest {

// The widget the input method sends its events to.
inline QObject* focused() {
    return QApplication::focusWidget();
}

// A preedit, underlined, with the cursor at its end; "" ends a composition
// without text.
inline void preedit(const QString& text) {
    QTextCharFormat underline;
    underline.setFontUnderline(true);
    QList<QInputMethodEvent::Attribute> attributes;
    if (!text.isEmpty()) {
        attributes << QInputMethodEvent::Attribute(QInputMethodEvent::TextFormat, 0, int(text.size()), underline);
    }
    attributes << QInputMethodEvent::Attribute(QInputMethodEvent::Cursor, int(text.size()), 1);
    QInputMethodEvent e(text, attributes);
    if (QObject* target = focused()) QApplication::sendEvent(target, &e);
}

// Commits text and ends the composition.
inline void commit(const QString& text) {
    QInputMethodEvent e(QString(), {});
    e.setCommitString(text);
    if (QObject* target = focused()) QApplication::sendEvent(target, &e);
}

// The preedits, the conversion and the commit of one word.
inline void compose(const QStringList& preedits, const QString& converted) {
    for (const QString& p : preedits) preedit(p);
    preedit(converted);
    commit(converted);
}

// Whether the focused widget takes input-method text: the question Qt asks
// it (Qt::ImEnabled) before the input method may compose into it.
inline bool acceptsInputMethod() {
    QObject* target = focused();
    if (!target) return false;
    QInputMethodQueryEvent query(Qt::ImEnabled);
    QApplication::sendEvent(target, &query);
    return query.value(Qt::ImEnabled).toBool();
}

}  // namespace imtest
