#pragma once
// What the three sub-menus below the main menu share: the product title, the
// menu's name, the guidance text, a column of numbered buttons and the button
// back to the main menu "メインメニュー（X）" (also the key X without Shift,
// Ctrl or Alt).
//
// A sub-menu is opened by the main menu with showFrom(mainMenu); closing it
// (its back button, the key X, the window's close box) makes the main menu
// visible again. A button opens its screen with showFrom(menu), which hides
// the menu until that screen closes.
//
// Caption: the design caption, " - ", the current company's name, " - " and
// the fiscal label gstrNendo.

#include <QString>

#include "platform/form.h"

class QLabel;
class QPushButton;
class QVBoxLayout;

class SubMenu : public platform::Form {
    Q_OBJECT
public:
    // The product title shown in lblDspTital in the accounting edition.
    static QString ProductTitle();
    // The title lblDspTital shows in the automatic-accounting edition.
    const QString& autoEditionTitle() const { return mAutoEditionTitle; }

    const QString& designCaption() const { return mDesignCaption; }

    QLabel* lblDspTital;
    QLabel* lblMenuName;
    QLabel* lblReadMe;
    QPushButton* cmdBack;

public slots:
    void cmdBack_Click();

protected:
    SubMenu(const QString& formName, const QString& designCaption, const QString& menuName,
            QWidget* parent = nullptr);

    // Adds a numbered button to the column (in the order of the calls).
    QPushButton* addMenuButton(const QString& name, const QString& caption, const QString& tooltip);
    // Moves a numbered button to a place of the column (0 = first).
    void placeMenuButton(QPushButton* button, int position);
    // The automatic-accounting edition's title of this menu.
    void setAutoEditionTitle(const QString& title) { mAutoEditionTitle = title; }
    // Centres the menu, sets its caption and title: the first steps of every load.
    void loadCommon();
    // Sets the guidance text; lines separated by CR LF.
    void setReadMe(const QString& text);

    // Opens a screen of this menu: shows it and hides the menu until it closes.
    template <class Screen>
    Screen* openScreen() {
        auto* screen = new Screen;
        screen->showFrom(this);
        return screen;
    }

private:
    QString mDesignCaption;
    QString mAutoEditionTitle = QStringLiteral("自動会計ソフト「Pennox」　会計");
    QVBoxLayout* mButtons;
    QPushButton* mFirstButton = nullptr;
};
