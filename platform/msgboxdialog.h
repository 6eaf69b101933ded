#pragma once
// The real message dialog behind platform::MsgBox: a QMessageBox with the
// captions a Japanese desktop gives its buttons, modal over the active
// window. The program installs it once at start; tests use a responder
// instead (ScriptedMsgBox).

namespace platform {

void InstallMessageDialog();

}  // namespace platform
