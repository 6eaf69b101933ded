#pragma once
// The open list of a combo box that takes no input-method text (every
// non-editable combo box of the program: months, accounts, companies; and an
// editable one whose screen switched the input method off) keeps
// the input method off, so that keys typed into it in kana mode search its
// items as typed. Qt's item view switches the input method on whenever its
// current item changes, and an account number typed there would otherwise
// become a composition that selects nothing.
//
// Installed once for the whole program by its start-up; combo boxes made
// before or after are covered alike.

namespace platform {

void KeepChoiceListsOutOfInputMethod();

}  // namespace platform
