#pragma once
// platform::MsgBox: every message the program shows goes through here.
// The program shows a QMessageBox (installed at start-up, see
// platform/msgboxdialog.h, so that this service itself needs no widgets);
// tests install a responder that records each message (title, text, icon,
// buttons) and answers it, so no test ever blocks on a dialog.

#include <QString>

#include <deque>
#include <functional>
#include <vector>

namespace platform {

enum class MsgIcon { None, Information, Warning, Critical, Question };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel, AbortRetryIgnore };

// Answers, numbered as the original message box numbered them.
enum MsgResult : int {
    vbOK = 1,
    vbCancel = 2,
    vbAbort = 3,
    vbRetry = 4,
    vbIgnore = 5,
    vbYes = 6,
    vbNo = 7,
};

struct MsgRequest {
    QString title;
    QString text;
    MsgIcon icon = MsgIcon::None;
    MsgButtons buttons = MsgButtons::Ok;
    int defaultButton = 1;  // 1 = first button, 2 = second, 3 = third
};

class MsgBox {
public:
    using Responder = std::function<int(const MsgRequest&)>;

    // Shows the message and returns the answer (MsgResult).
    static int show(const MsgRequest& request);
    static int show(const QString& title, const QString& text, MsgIcon icon = MsgIcon::None,
                    MsgButtons buttons = MsgButtons::Ok, int defaultButton = 1);

    // Replaces the real dialog (tests). An empty responder restores the dialog.
    static void setResponder(Responder responder);

    // The dialog that shows a message while no responder is installed. Until
    // one is set, a message is written to standard error and answered as a
    // box closed with its close box: its cancelling answer (Cancel, No) if it
    // has one, else its first button.
    static void setDialog(Responder dialog);

    // True while the dialog waits for an answer. The code that showed it is
    // still running inside the dialog's event loop, so no screen may go away
    // meanwhile (platform::Form refuses to close until it is answered).
    static bool isRunning();
};

// A test responder: records every message and answers from a script; with the
// script used up it answers the box's first button (OK, Yes, Retry, Abort).
class ScriptedMsgBox {
public:
    ScriptedMsgBox();   // installs itself
    ~ScriptedMsgBox();  // restores the real dialog

    void answer(int result) { script_.push_back(result); }
    const std::vector<MsgRequest>& shown() const { return shown_; }
    const MsgRequest& last() const { return shown_.back(); }
    int count() const { return int(shown_.size()); }
    void clear() {
        shown_.clear();
        script_.clear();
    }

private:
    std::vector<MsgRequest> shown_;
    std::deque<int> script_;
};

}  // namespace platform
