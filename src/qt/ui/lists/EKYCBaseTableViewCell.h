#pragma once

#include <QColor>
#include <QWidget>
#include <any>

namespace ovira {

// The library's rows. A row that highlights shows `selectedColor` (a light
// blue-grey, "E9ECF7") while it is pressed; rows built around a control of
// their own turn `isEnableHighlight` off and let the control show it.
class EKYCBaseTableViewCell : public QWidget {
    Q_OBJECT
public:
    explicit EKYCBaseTableViewCell(QWidget* parent = nullptr);

    bool isEnableHighlight = true;
    QColor selectedColor;

    // Shows an item; each row type overrides it.
    virtual void configure(const std::any& item) { (void)item; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool pressed_ = false;
};

}  // namespace ovira
