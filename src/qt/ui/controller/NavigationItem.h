#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

#include "resources/EKYCImage.h"

namespace ovira {

// A button of the navigation bar, described; the bar makes the widget.
struct BarButtonItem {
    EKYCImage image;
    QString title;
    std::function<void()> action;
    // What a screen reader calls the button; empty: its title.
    QString accessibleName;
};

// What the navigation bar shows while its screen is on top: the title, a
// left button (which replaces the back button), and the title of the back
// button that leads back to this screen.
class NavigationItem : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    const QString& title() const { return title_; }
    void setTitle(const QString& title) { title_ = title; Q_EMIT changed(); }

    const std::optional<BarButtonItem>& leftBarButtonItem() const { return left_; }
    void setLeftBarButtonItem(std::optional<BarButtonItem> item) { left_ = std::move(item); Q_EMIT changed(); }

    // The title of the back button shown on the next screen; absent: the
    // title of this screen.
    const std::optional<QString>& backButtonTitle() const { return backTitle_; }
    void setBackButtonTitle(std::optional<QString> title) { backTitle_ = std::move(title); Q_EMIT changed(); }

Q_SIGNALS:
    void changed();

private:
    QString title_;
    std::optional<BarButtonItem> left_;
    std::optional<QString> backTitle_;
};

}  // namespace ovira
