#pragma once
// Assistive technology names a combo box by its label: its accessible name,
// else the text of the label that has it as buddy. Qt's own accessible combo
// box on Linux reports the item shown as its name instead, so that after a
// choice a screen reader announced "2003年 4月" where the box is
// "処理日付（開始）". The shown item stays the box's value.
//
// Installed once for the whole program by its start-up; combo boxes made
// before or after are covered alike.

namespace platform {

void NameComboBoxesByTheirLabels();

}  // namespace platform
