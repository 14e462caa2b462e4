#include "frontend/qt/qt_accessibility.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QKeySequence>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <utility>
#include <vector>

#include "frontend/qt/option_widgets.h"
#include "frontend/qt/qt_strings.h"
#include "window/form1.h"
#include "window/layout.h"

namespace vantu {
namespace {

AccessibilityReports reports = QAccessible::updateAccessibility;

const layout::ControlDesign* designOf(const QObject* object) {
    const QByteArray name = object->objectName().toUtf8();
    return layout::findControl(std::string_view(name.constData(), name.size()));
}

// The window: a frame (not a filler) named by its title, with the controls a player can see.
class FormAccessible : public QAccessibleWidget {
  public:
    explicit FormAccessible(QWidget* form) : QAccessibleWidget(form, QAccessible::Window) {}

    int childCount() const override { return static_cast<int>(exposed().size()); }
    QAccessibleInterface* child(int index) const override {
        const std::vector<QWidget*> children = exposed();
        if (index < 0 || index >= static_cast<int>(children.size()))
            return nullptr;
        return QAccessible::queryAccessibleInterface(children[static_cast<std::size_t>(index)]);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const std::vector<QWidget*> children = exposed();
        for (std::size_t i = 0; i < children.size(); ++i) {
            if (child != nullptr && child->object() == children[i])
                return static_cast<int>(i);
        }
        return -1;
    }

  private:
    // The controls that are on the window by design, in stacking order; never a hidden one or
    // the shape, which is decoration like the picture.
    std::vector<QWidget*> exposed() const {
        std::vector<QWidget*> children;
        for (QObject* object : widget()->children()) {
            auto* child = qobject_cast<QWidget*>(object);
            const layout::ControlDesign* design = child != nullptr ? designOf(child) : nullptr;
            if (design != nullptr && design->visible && design->kind != layout::Kind::Shape)
                children.push_back(child);
        }
        return children;
    }
};

// The launcher's labels. A pressable one ("<<") is spoken as a button with its own name, and a
// screen reader presses it with its Press action; the others are plain text. The interface is
// made when the label is, before it has its name, so it looks at its design when asked.
class LabelAccessible : public QAccessibleWidget {
  public:
    explicit LabelAccessible(ClickLabel* label)
        : QAccessibleWidget(label, QAccessible::StaticText) {}

    QAccessible::Role role() const override {
        return pressable() ? QAccessible::Button : QAccessible::StaticText;
    }
    QString text(QAccessible::Text t) const override {
        const layout::ControlDesign* design = designOf(widget());
        if (t == QAccessible::Name && design != nullptr)
            return toQString(layout::accessibleName(*design));
        return QAccessibleWidget::text(t);
    }
    QStringList actionNames() const override {
        return pressable() ? QStringList{pressAction()} : QStringList{};
    }
    void doAction(const QString& action) override {
        if (action == pressAction() && pressable())
            static_cast<ClickLabel*>(widget())->click();
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }
    // A label names the control it is the buddy of (the list).
    QList<QPair<QAccessibleInterface*, QAccessible::Relation>> relations(
        QAccessible::Relation match) const override {
        auto found = QAccessibleWidget::relations(match);
        const QWidget* buddy = static_cast<const QLabel*>(widget())->buddy();
        if ((match & QAccessible::Labelled) && buddy != nullptr) {
            if (QAccessibleInterface* named =
                    QAccessible::queryAccessibleInterface(const_cast<QWidget*>(buddy)))
                found.append({named, QAccessible::Labelled});
        }
        return found;
    }

  private:
    // A label that can be clicked.
    bool pressable() const {
        const layout::ControlDesign* design = designOf(widget());
        return design != nullptr && hasClickRoute(design->name);
    }
};

// The display-mode list. It offers all that Qt's own interface for a list that cannot be edited
// offers: the popup list as its one child, the ShowMenu and Press actions that open and close it,
// Down as its shortcut, expandable and (while open) expanded states. Its current entry is its
// value, and it is named only by its label (labelled-by): a screen reader then says each once,
// "Resolution combo box 1400x1050". A name of its own would be said again: Qt names a list by
// its entry, which Orca 48 says twice, and Qt reports each new entry as a name change, on which
// Orca 48 says the whole list again when it has not seen that name lately. Orca reads a list's
// value from its selected child (AT-SPI Selection, which Qt 6.4's bridge does not offer) or else
// from its text, so the list also offers its current entry as read-only text, selected whole
// (see EntryReports). It offers no numeric value: with one, Qt's bridge reports a new entry
// as a value change instead of a name change, and Orca answers Down and Up with "collapsed".
class ListAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
  public:
    explicit ListAccessible(QComboBox* list) : QAccessibleWidget(list, QAccessible::ComboBox) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    int childCount() const override { return 1; }
    QAccessibleInterface* child(int index) const override {
        return index == 0 ? QAccessible::queryAccessibleInterface(list()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child != nullptr && child->object() == list()->view() ? 0 : -1;
    }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name)
            return {};
        if (t == QAccessible::Value)
            return entry();
        if (t == QAccessible::Accelerator)
            return QKeySequence(Qt::Key_Down).toString(QKeySequence::NativeText);
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.expandable = true;
        state.expanded = list()->view()->isVisible();
        return state;
    }

    QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }
    QString localizedActionDescription(const QString& action) const override {
        if (action == showMenuAction() || action == pressAction())
            return QComboBox::tr("Open the combo box selection popup");
        return QAccessibleWidget::localizedActionDescription(action);
    }
    void doAction(const QString& action) override {
        if (action != showMenuAction() && action != pressAction())
            return;
        if (list()->view()->isVisible())
            list()->hidePopup();
        else
            list()->showPopup();
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

    // The text: the current entry, selected whole, which no one edits; the caret stays at its
    // start.
    QString text(int start, int end) const override {
        const QString shown = entry();
        start = std::clamp(start, 0, static_cast<int>(shown.size()));
        end = std::clamp(end < 0 ? static_cast<int>(shown.size()) : end, start,
                         static_cast<int>(shown.size()));
        return shown.mid(start, end - start);
    }
    int characterCount() const override { return static_cast<int>(entry().size()); }
    void selection(int index, int* start, int* end) const override {
        *start = 0;
        *end = index == 0 ? characterCount() : 0;
    }
    int selectionCount() const override { return entry().isEmpty() ? 0 : 1; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int* start, int* end) const override {
        *start = 0;
        *end = characterCount();
        return {};
    }

  private:
    QComboBox* list() const { return static_cast<QComboBox*>(widget()); }
    QString entry() const { return list()->currentText(); }
};

// Reports each new entry that the player picks on the closed list (Down, Up, the wheel) so that a
// screen reader says it once:
// - as the list's text changed: the new entry inserted before the old one, then the old one
//   removed. Orca 43 speaks an insertion that is also the selected text, and stays silent on a
//   removal that is not (a removal of selected text would be "selection deleted"). Orca 48
//   speaks neither for a list that cannot be edited.
// - on Qt 6.8 and later, also as an announcement, which Orca 48 speaks.
// An entry chosen from the open list is not reported: the list closes first, takes the focus
// back and is said whole, with the new entry. Nor is one set while the list has no focus.
class EntryReports : public QObject {
  public:
    static constexpr const char* kName = "entryReports";

    explicit EntryReports(QComboBox* list)
        : QObject(list), list_(list), shown_(list->currentText()) {
        setObjectName(kName);
        connect(list, &QComboBox::currentTextChanged, this, &EntryReports::report);
        list->view()->window()->installEventFilter(this);
    }

  protected:
    // The open list closes before the chosen entry is set, in the same turn of the event loop.
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Hide) {
            popupClosing_ = true;
            QTimer::singleShot(0, this, [this] { popupClosing_ = false; });
        }
        return false;
    }

  private:
    void report(const QString& entry) {
        const QString old = std::exchange(shown_, entry);
        if (!list_->hasFocus() || list_->view()->isVisible() || popupClosing_)
            return;
        if (!entry.isEmpty()) {
            QAccessibleTextInsertEvent inserted(list_, 0, entry);
            reports(&inserted);
        }
        if (!old.isEmpty()) {
            QAccessibleTextRemoveEvent removed(list_, static_cast<int>(entry.size()), old);
            reports(&removed);
        }
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
        QAccessibleAnnouncementEvent said(list_, entry);
        reports(&said);
#endif
    }

    QComboBox* list_;
    QString shown_;
    bool popupClosing_ = false;
};

QAccessibleInterface* launcherAccessible(const QString& /*className*/, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget == nullptr)
        return nullptr;
    if (widget->isWindow() && widget->objectName() == toQString(layout::kForm.name))
        return new FormAccessible(widget);
    if (auto* label = qobject_cast<ClickLabel*>(widget))
        return new LabelAccessible(label);
    if (auto* list = qobject_cast<QComboBox*>(widget); list != nullptr && !list->isEditable()) {
        // Qt asks once for each widget; a list that was asked before keeps its reports.
        if (list->findChild<QObject*>(EntryReports::kName, Qt::FindDirectChildrenOnly) == nullptr)
            new EntryReports(list);
        return new ListAccessible(list);
    }
    return nullptr;
}

}  // namespace

void installAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(launcherAccessible);
        return true;
    }();
    static_cast<void>(installed);
}

void setAccessibilityReports(AccessibilityReports receiver) {
    reports = receiver != nullptr ? receiver : QAccessible::updateAccessibility;
}

}  // namespace vantu
