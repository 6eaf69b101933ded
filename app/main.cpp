#include <QApplication>
#include <cstdio>

#include "app/MainMenu.h"
#include "app/common/edition.h"
#include "app/startup.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QString error;
    const std::optional<Edition> edition = EditionFromArguments(QCoreApplication::arguments(), &error);
    if (!edition) {
        std::fprintf(stderr, "ralvek: %s\n", qPrintable(error));
        return 2;
    }
    SetEdition(*edition);
    PrepareProgram();
    auto* menu = new MainMenu;
    if (menu->startUp() != MainMenu::StartOk) return 1;
    menu->show();
    return app.exec();
}
