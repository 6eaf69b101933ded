#include "platform/accessiblecombo.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QLineEdit>

namespace platform {

namespace {

// A combo box as assistive technology sees it: its list (and its text box
// when it is editable) as children, the item shown as value, the list opened
// by its actions.
class ComboAccessible : public QAccessibleWidget {
public:
    explicit ComboAccessible(QComboBox* combo) : QAccessibleWidget(combo, QAccessible::ComboBox) {}

    QComboBox* combo() const { return static_cast<QComboBox*>(object()); }

    int childCount() const override { return editor() ? 2 : 1; }
    QAccessibleInterface* child(int index) const override {
        if (index == 0) return QAccessible::queryAccessibleInterface(combo()->view());
        if (index == 1 && editor()) return QAccessible::queryAccessibleInterface(editor());
        return nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        if (!child) return -1;
        if (child->object() == combo()->view()) return 0;
        if (editor() && child->object() == editor()) return 1;
        return -1;
    }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) return editor() ? editor()->text() : combo()->currentText();
        // The name: the accessible name, else the buddy label's text.
        return QAccessibleWidget::text(t);
    }

    QStringList actionNames() const override {
        return QStringList{showMenuAction(), pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (action == showMenuAction() || action == pressAction()) {
            if (combo()->view()->isVisible())
                combo()->hidePopup();
            else
                combo()->showPopup();
            return;
        }
        QAccessibleWidget::doAction(action);
    }
    QStringList keyBindingsForAction(const QString& action) const override {
        if (action == showMenuAction()) return {QStringLiteral("Alt+Down")};
        return QAccessibleWidget::keyBindingsForAction(action);
    }

private:
    QLineEdit* editor() const { return combo()->isEditable() ? combo()->lineEdit() : nullptr; }
};

QAccessibleInterface* comboFactory(const QString& className, QObject* object) {
    if (className != QLatin1String("QComboBox")) return nullptr;
    auto* combo = qobject_cast<QComboBox*>(object);
    return combo ? new ComboAccessible(combo) : nullptr;
}

}  // namespace

void NameComboBoxesByTheirLabels() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    // Factories installed later are asked first: this one before Qt's own.
    QAccessible::installFactory(comboFactory);
}

}  // namespace platform
