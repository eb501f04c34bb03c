#include "ui/alert/AlertAccessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <mutex>

#include "ui/alert/AlertController.h"

namespace ovira {
namespace {

class AlertControllerAccessible : public QAccessibleWidget {
public:
    explicit AlertControllerAccessible(AlertController* alert) : QAccessibleWidget(alert, QAccessible::AlertMessage) {}

    QString text(QAccessible::Text kind) const override {
        const auto* alert = static_cast<const AlertController*>(widget());
        const QWidget* content = alert->contentViewController();
        if (content && (kind == QAccessible::Name || kind == QAccessible::Description)) {
            const QString text = kind == QAccessible::Name ? content->accessibleName() : content->accessibleDescription();
            if (!text.isEmpty()) return text;
        }
        return QAccessibleWidget::text(kind);
    }
};

QAccessibleInterface* alertInterface(const QString& className, QObject* object) {
    if (className == QLatin1String("ovira::AlertController"))
        if (auto* alert = qobject_cast<AlertController*>(object)) return new AlertControllerAccessible(alert);
    return nullptr;
}

}  // namespace

void installAlertAccessibility() {
    static std::once_flag installed;
    std::call_once(installed, [] { QAccessible::installFactory(alertInterface); });
}

}  // namespace ovira
