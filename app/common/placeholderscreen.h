#pragma once
// A screen that is not built yet: it shows its caption and a back button, and
// returns to the menu that opened it. The menus open the real screen names
// (each a small subclass), so replacing one later changes no menu.

#include "platform/form.h"

class QLabel;
class QPushButton;

class PlaceholderScreen : public platform::Form {
    Q_OBJECT
public:
    // `name` is the screen's form name (its object name), `caption` its own caption.
    PlaceholderScreen(const QString& name, const QString& caption, QWidget* parent = nullptr);

    QLabel* lblTitle;
    QPushButton* cmdBack;

protected:
    void Form_Load() override;

private:
    QString caption_;
};
