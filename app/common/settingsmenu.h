#pragma once
// The settings menu ("初期設定") as the set-up screens reach it.
//
// The set-up screens sit in a layer below the shell, yet each returns to the
// settings menu when it closes, also when another screen opened it (the
// company screen opened by the main menu's company switch), and the company
// screen rewrites the menu's caption after a rename or a deletion. The shell
// may install a provider that gives the menu, creating it when it does not
// exist yet; without one, the settings menu that exists (open or hidden) is
// found by its object name "SyokiSetMenu".

#include <functional>

class QWidget;

using SettingsMenuProvider = std::function<QWidget*()>;

// Installs the provider (an empty one removes it).
void SetSettingsMenuProvider(SettingsMenuProvider provider);

// The settings menu: from the installed provider, else the existing top-level
// widget named "SyokiSetMenu", else null.
QWidget* TheSettingsMenu();
