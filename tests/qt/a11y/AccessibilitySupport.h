#pragma once

// What a screen reader finds on screen: the accessibility tree under a
// window as Qt's accessibility reports it, the announcements it is sent,
// and the flow's two languages.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QString>
#include <QWidget>
#include <functional>
#include <map>
#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>
#include <vector>

#include "ovira/OVIRALocalization.h"

namespace ovira::test {

inline QAccessibleInterface* accessibleOf(QObject* object) {
    return object ? QAccessible::queryAccessibleInterface(object) : nullptr;
}

// What a reader says of an object: its name and its description.
inline QString nameOf(QObject* object) {
    auto* accessible = accessibleOf(object);
    return accessible ? accessible->text(QAccessible::Name) : QString();
}
inline QString descriptionOf(QObject* object) {
    auto* accessible = accessibleOf(object);
    return accessible ? accessible->text(QAccessible::Description) : QString();
}
inline QAccessible::Role roleOf(QObject* object) {
    auto* accessible = accessibleOf(object);
    return accessible ? accessible->role() : QAccessible::NoRole;
}

// One object of the tree a reader can reach (not invisible).
struct ReachableObject {
    QString path;  // object names (or roles) from the root, for messages
    QAccessible::Role role;
    QString name;
    QString description;
    QObject* object;  // null for the cells of an item view
};

// The objects a reader can reach under `root`, in tree order. Objects that
// report themselves invisible are skipped with all they hold.
inline std::vector<ReachableObject> reachableObjects(QWidget* root) {
    std::vector<ReachableObject> found;
    std::function<void(QAccessibleInterface*, const QString&, int)> walk =
        [&](QAccessibleInterface* node, const QString& parentPath, int depth) {
            if (!node || !node->isValid() || node->state().invisible || depth > 64) return;
            QObject* object = node->object();
            const QString step = object && !object->objectName().isEmpty()
                                     ? object->objectName()
                                     : QStringLiteral("%1#%2").arg(int(node->role()), 0, 16).arg(found.size());
            const QString path = parentPath + QLatin1Char('/') + step;
            found.push_back({path, node->role(), node->text(QAccessible::Name),
                             node->text(QAccessible::Description), object});
            for (int i = 0; i < node->childCount(); ++i) walk(node->child(i), path, depth + 1);
        };
    walk(accessibleOf(root), QString(), 0);
    return found;
}

// Roles a user acts on, and pictures.
inline bool isControl(QAccessible::Role role) {
    switch (role) {
        case QAccessible::PushButton:
        case QAccessible::CheckBox:
        case QAccessible::RadioButton:
        case QAccessible::ComboBox:
        case QAccessible::EditableText:
        case QAccessible::SpinBox:
        case QAccessible::Slider:
        case QAccessible::List:
        case QAccessible::ListItem:
        case QAccessible::Table:
        case QAccessible::Tree:
        case QAccessible::ButtonMenu:
        case QAccessible::ButtonDropDown:
        case QAccessible::Link:
            return true;
        default:
            return false;
    }
}

// The paths of the controls and pictures under `root` that a reader would
// announce without a word: what a test expects to be empty.
inline QStringList unnamedControls(QWidget* root) {
    QStringList unnamed;
    for (const auto& reached : reachableObjects(root))
        if ((isControl(reached.role) || reached.role == QAccessible::Graphic) && reached.name.trimmed().isEmpty())
            unnamed.append(reached.path + QStringLiteral(" (role 0x%1)").arg(int(reached.role), 0, 16));
    return unnamed;
}

// The reachable objects of `role` under `root`.
inline std::vector<ReachableObject> reachableOfRole(QWidget* root, QAccessible::Role role) {
    std::vector<ReachableObject> matching;
    for (auto& reached : reachableObjects(root))
        if (reached.role == role) matching.push_back(reached);
    return matching;
}

// The accessibility events sent while it lives, as readers would receive
// them: for each, its kind and the name and description of its object at
// that moment. Qt sends events only while the platform's accessibility is
// active, as it is when a reader is running: this activates it (what Qt's
// own accessibility tests do) and puts it back as it was.
class AccessibilityEvents {
public:
    struct Event {
        QAccessible::Event type;
        QObject* object;
        QString name;
        QString description;
    };

    AccessibilityEvents() {
        platform_ = QGuiApplicationPrivate::platformIntegration()->accessibility();
        if (!platform_) {
            ADD_FAILURE() << "the platform has no accessibility to activate";
            return;
        }
        wasActive_ = platform_->isActive();
        outer_ = current();
        current() = this;
        previous_ = QAccessible::installUpdateHandler(&AccessibilityEvents::record);
        platform_->setActive(true);
    }
    ~AccessibilityEvents() {
        if (!platform_) return;
        platform_->setActive(wasActive_);
        QAccessible::installUpdateHandler(previous_);
        current() = outer_;
    }
    AccessibilityEvents(const AccessibilityEvents&) = delete;
    AccessibilityEvents& operator=(const AccessibilityEvents&) = delete;

    // The events of `type` sent for `object` so far.
    std::vector<Event> of(QObject* object, QAccessible::Event type) const {
        std::vector<Event> matching;
        for (const auto& event : events_)
            if (event.object == object && event.type == type) matching.push_back(event);
        return matching;
    }
    // The names `object` announced (NameChanged) so far, in order.
    QStringList announcements(QObject* object) const {
        QStringList names;
        for (const auto& event : of(object, QAccessible::NameChanged)) names.append(event.name);
        return names;
    }
    void clear() { events_.clear(); }

private:
    static AccessibilityEvents*& current() {
        static AccessibilityEvents* recorder = nullptr;
        return recorder;
    }
    static void record(QAccessibleEvent* event) {
        auto* self = current();
        if (!self) return;
        auto* accessible = event->accessibleInterface();
        self->events_.push_back({event->type(), event->object(),
                                 accessible ? accessible->text(QAccessible::Name) : QString(),
                                 accessible ? accessible->text(QAccessible::Description) : QString()});
    }

    QPlatformAccessibility* platform_ = nullptr;
    AccessibilityEvents* outer_ = nullptr;  // the recorder this one stands in for while it lives
    bool wasActive_ = false;
    QAccessible::UpdateHandler previous_ = nullptr;
    std::vector<Event> events_;
};

// The flow's two languages, Vietnamese first.
inline const std::vector<OVIRALanguage>& bothLanguages() {
    static const std::vector<OVIRALanguage> languages{OVIRALanguage::vietnamese(), OVIRALanguage::english()};
    return languages;
}

// What one language's walk read out, by a label the test chooses.
using ReadOut = std::map<std::string, QString>;

// Every label read in both languages differs between them: the text is
// translated, not left in one language. `translated` lists the labels.
inline void expectTranslated(const std::map<std::string, ReadOut>& byLanguage,
                             const std::vector<std::string>& translated) {
    const auto vi = byLanguage.find("vi");
    const auto en = byLanguage.find("en");
    ASSERT_TRUE(vi != byLanguage.end() && en != byLanguage.end());
    for (const auto& label : translated) {
        const auto inVi = vi->second.find(label);
        const auto inEn = en->second.find(label);
        ASSERT_TRUE(inVi != vi->second.end() && inEn != en->second.end()) << label << " was not read";
        EXPECT_FALSE(inVi->second.isEmpty()) << label;
        EXPECT_NE(inVi->second, inEn->second) << label << " reads the same in both languages";
    }
}

}  // namespace ovira::test
