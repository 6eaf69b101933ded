#include "app/MainMenu.h"
#include "reports/allreports.h"

#include <QApplication>

#include <clocale>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // Japanese text must reach every C library (iconv, the ODBC driver manager)
    // as UTF-8, whatever locale the session was started under.
    std::setlocale(LC_CTYPE, "C.UTF-8");
    // Every report layout makes itself known to the report printer.
    reports::RegisterAllReports();
    MainMenu menu;
    menu.show();
    return app.exec();
}
