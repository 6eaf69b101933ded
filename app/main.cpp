#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <clocale>

#include "app/MainMenu.h"
#include "platform/msgboxdialog.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    platform::InstallMessageDialog();
    // Japanese text must reach every C library (iconv, the ODBC driver manager)
    // as UTF-8, whatever locale the session was started under.
    std::setlocale(LC_CTYPE, "C.UTF-8");
    // The program's windows come and go (a screen hides its opener); the run
    // ends when the main menu is unloaded, not when a last window closes.
    QApplication::setQuitOnLastWindowClosed(false);
    // Qt's own dialogs (print preview, print, file chooser) speak Japanese like
    // the rest of the program.
    QTranslator qtJapanese;
    if (qtJapanese.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&qtJapanese);
    }

    auto* menu = new MainMenu;
    if (menu->startUp() != MainMenu::StartOk) return 1;
    menu->show();
    return app.exec();
}
