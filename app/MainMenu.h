#pragma once
// The main menu: the start-up form and the root of navigation.

#include <QWidget>

class MainMenu : public QWidget {
    Q_OBJECT
public:
    explicit MainMenu(QWidget* parent = nullptr);
};
