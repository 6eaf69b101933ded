#pragma once
// The data-entry manual (caption "データ入力マニュアル"): a picture of the daily
// entry screen with numbered marks, the explanations that go with them, and
// the button "ﾏﾆｭｱﾙを閉じる" over the picture's lower right corner.
//
// The daily entry's help button shows it (ShowEntryManual) and is hidden
// meanwhile; the button or the window's close box closes the manual and makes
// the daily entry visible again.

#include <QStringList>

#include "platform/form.h"

class QLabel;
class QPushButton;

class Manyual : public platform::Form {
    Q_OBJECT
public:
    explicit Manyual(QWidget* parent = nullptr);

    // The explanations, in the order of their marks ①, ☆, ☆, ②, ③.
    static QStringList Explanations();
    // The resource that holds the picture.
    static QString PicturePath();

    QLabel* Image1;
    QList<QLabel*> lblSetumei;  // one box per explanation
    QLabel* lblHomePage;
    QPushButton* cmdBack;

public slots:
    void cmdBack_Click();

protected:
    void Form_Load() override;
};

// Shows the manual over the daily entry from, which is hidden until the
// manual closes.
void ShowEntryManual(QWidget* from);
