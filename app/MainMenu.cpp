#include "app/MainMenu.h"

#include "app/common/globals.h"

MainMenu::MainMenu(QWidget* parent) : QWidget(parent) {
    setWindowTitle(gstrSoftName);
    resize(640, 480);
}
