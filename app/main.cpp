#include <QApplication>

#include "app/MainMenu.h"
#include "app/startup.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    PrepareProgram();
    auto* menu = new MainMenu;
    if (menu->startUp() != MainMenu::StartOk) return 1;
    menu->show();
    return app.exec();
}
