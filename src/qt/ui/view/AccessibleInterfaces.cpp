#include "ui/view/AccessibleInterfaces.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <mutex>

#include "ui/view/AccessibleStatus.h"
#include "ui/view/ImageView.h"

namespace ovira {
namespace {

class ImageViewAccessible : public QAccessibleWidget {
public:
    explicit ImageViewAccessible(QWidget* image) : QAccessibleWidget(image, QAccessible::Graphic) {}

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        // Unnamed pictures are decoration: the text beside them says it all.
        if (widget()->accessibleName().isEmpty()) state.invisible = true;
        return state;
    }
};

class StatusAccessible : public QAccessibleWidget {
public:
    explicit StatusAccessible(AccessibleStatus* status) : QAccessibleWidget(status, QAccessible::Notification) {}

    QString text(QAccessible::Text kind) const override {
        const auto* status = static_cast<const AccessibleStatus*>(widget());
        switch (kind) {
            case QAccessible::Name:
                return status->status().isEmpty() ? status->accessibleName() : status->status();
            case QAccessible::Description:
                return status->status().isEmpty() ? status->accessibleDescription() : status->detail();
            default:
                return QAccessibleWidget::text(kind);
        }
    }
};

QAccessibleInterface* libraryInterface(const QString& className, QObject* object) {
    if (className == QLatin1String("ovira::ImageView"))
        if (auto* image = qobject_cast<ImageView*>(object)) return new ImageViewAccessible(image);
    if (className == QLatin1String("ovira::AccessibleStatus"))
        if (auto* status = qobject_cast<AccessibleStatus*>(object)) return new StatusAccessible(status);
    // Named by its title and described by its message, as the alert names itself.
    if (className == QLatin1String("ovira::AlertController") && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::AlertMessage);
    return nullptr;
}

}  // namespace

void installAccessibleInterfaces() {
    static std::once_flag installed;
    std::call_once(installed, [] { QAccessible::installFactory(libraryInterface); });
}

}  // namespace ovira
