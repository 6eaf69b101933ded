#include "platform/msgbox.h"

#include <cstdio>

namespace platform {

namespace {

MsgBox::Responder& responder() {
    static MsgBox::Responder r;
    return r;
}

int firstButton(MsgButtons b) {
    switch (b) {
    case MsgButtons::Ok:
    case MsgButtons::OkCancel:
        return vbOK;
    case MsgButtons::YesNo:
    case MsgButtons::YesNoCancel:
        return vbYes;
    case MsgButtons::RetryCancel:
        return vbRetry;
    case MsgButtons::AbortRetryIgnore:
        return vbAbort;
    }
    return vbOK;
}

MsgBox::Responder& dialog() {
    static MsgBox::Responder d;
    return d;
}

// No dialog to show the message in: tell it on standard error and answer as
// a box closed without a choice.
int unshown(const MsgRequest& rq) {
    std::fprintf(stderr, "%s: %s\n", rq.title.toLocal8Bit().constData(), rq.text.toLocal8Bit().constData());
    switch (rq.buttons) {
    case MsgButtons::OkCancel:
    case MsgButtons::RetryCancel:
    case MsgButtons::YesNoCancel:
        return vbCancel;
    case MsgButtons::YesNo:
        return vbNo;
    default:
        return firstButton(rq.buttons);
    }
}

// Real dialogs waiting for their answer.
int& running() {
    static int count = 0;
    return count;
}

}  // namespace

int MsgBox::show(const MsgRequest& request) {
    if (responder()) return responder()(request);
    if (!dialog()) return unshown(request);
    ++running();
    const int answer = dialog()(request);
    --running();
    return answer;
}

bool MsgBox::isRunning() { return running() > 0; }

int MsgBox::show(const QString& title, const QString& text, MsgIcon icon, MsgButtons buttons, int defaultButton) {
    return show(MsgRequest{title, text, icon, buttons, defaultButton});
}

void MsgBox::setResponder(Responder r) { responder() = std::move(r); }

void MsgBox::setDialog(Responder d) { dialog() = std::move(d); }

ScriptedMsgBox::ScriptedMsgBox() {
    MsgBox::setResponder([this](const MsgRequest& rq) {
        shown_.push_back(rq);
        if (!script_.empty()) {
            const int a = script_.front();
            script_.pop_front();
            return a;
        }
        return firstButton(rq.buttons);
    });
}

ScriptedMsgBox::~ScriptedMsgBox() { MsgBox::setResponder({}); }

}  // namespace platform
