#include "window/qt/qt_accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>
#include <vector>

#include "window/form1.h"
#include "window/layout.h"
#include "window/qt/option_widgets.h"
#include "window/qt/qt_strings.h"

namespace vantu {
namespace {

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

QAccessibleInterface* launcherAccessible(const QString& /*className*/, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget == nullptr)
        return nullptr;
    if (widget->isWindow() && widget->objectName() == toQString(layout::kForm.name))
        return new FormAccessible(widget);
    if (auto* label = qobject_cast<ClickLabel*>(widget))
        return new LabelAccessible(label);
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

}  // namespace vantu
