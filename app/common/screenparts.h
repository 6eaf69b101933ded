#pragma once
// Small pieces that the book, statement and processing screens build alike:
// the large centred title, a named button with its tooltip, the progress
// label, and a read-only choice list for one end of a range.

#include <QComboBox>
#include <QFont>
#include <QLabel>
#include <QPushButton>

// Keeps a widget's room in its layout while it is hidden.
inline void KeepRoomWhenHidden(QWidget* w) {
    QSizePolicy policy = w->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    w->setSizePolicy(policy);
}

// The screen's caption as its large bold title across the top.
inline QLabel* TitleLabel(const QString& caption, QWidget* parent) {
    auto* label = new QLabel(caption, parent);
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() * 1.6);
    font.setBold(true);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

// A button named as its control, so tests and key handling find it by name.
inline QPushButton* NamedButton(QWidget* parent, const char* name, const QString& caption, const QString& tip) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(tip);
    return b;
}

// The progress label ("…処理中！！") named lblMessage, centred and hidden. Its
// room is kept while it is hidden, so that showing it during a run pushes
// nothing over the texts around it.
inline QLabel* ProgressLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QStringLiteral("lblMessage"));
    label->setAlignment(Qt::AlignCenter);
    KeepRoomWhenHidden(label);
    label->hide();
    return label;
}

// A read-only list of one end of a range (months or vouchers).
inline QComboBox* RangeEndList(QWidget* parent, const char* name, const QString& accessibleName) {
    auto* c = new QComboBox(parent);
    c->setObjectName(QString::fromLatin1(name));
    c->setEditable(false);
    c->setMinimumContentsLength(10);
    c->setAccessibleName(accessibleName);
    return c;
}
