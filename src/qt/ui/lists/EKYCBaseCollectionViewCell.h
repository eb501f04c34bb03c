#pragma once

#include <QWidget>
#include <any>

namespace ovira {

// The library's collection items; each item type overrides configure.
class EKYCBaseCollectionViewCell : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    virtual void configure(const std::any& item) { (void)item; }
};

}  // namespace ovira
