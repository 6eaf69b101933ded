#include "platform/choicelists.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QEvent>

namespace platform {

namespace {

// The combo box whose open list view is, or nullptr. The list sits in a
// popup frame whose parent is the combo box.
QComboBox* comboOfList(QObject* view) {
    auto* list = qobject_cast<QAbstractItemView*>(view);
    if (!list || !list->parentWidget()) return nullptr;
    auto* combo = qobject_cast<QComboBox*>(list->parentWidget()->parentWidget());
    return combo && combo->view() == list ? combo : nullptr;
}

class ChoiceListWatch : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // Set before the view answers the input method's question, and when
        // the list takes the keyboard.
        if (event->type() != QEvent::InputMethodQuery && event->type() != QEvent::FocusIn) return false;
        QComboBox* combo = comboOfList(watched);
        // A plain combo box takes no input-method text; an editable one takes
        // it unless its screen switched it off (account boxes typed in digits).
        if (combo && !combo->testAttribute(Qt::WA_InputMethodEnabled))
            combo->view()->setAttribute(Qt::WA_InputMethodEnabled, false);
        return false;
    }
};

}  // namespace

void KeepChoiceListsOutOfInputMethod() {
    static ChoiceListWatch* watch = nullptr;
    if (watch || !qApp) return;
    watch = new ChoiceListWatch(qApp);
    qApp->installEventFilter(watch);
}

}  // namespace platform
