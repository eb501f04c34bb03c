#pragma once

#include <QObject>
#include <QPointF>
#include <QPointer>
#include <QWidget>
#include <functional>

namespace ovira {

// Recognises a tap (press and release close together) that reaches a view,
// directly or passed up from a child. It never consumes the input, so the
// views under it still receive their presses.
class TapGestureRecognizer : public QObject {
    Q_OBJECT
public:
    explicit TapGestureRecognizer(std::function<void(TapGestureRecognizer&)> action,
                                  QObject* parent = nullptr);

    void addToView(QWidget* view);
    void removeFromView();
    QWidget* view() const { return view_; }

    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled) { enabled_ = enabled; }

    QPointF locationIn(const QWidget* view) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void(TapGestureRecognizer&)> action_;
    QPointer<QWidget> view_;
    bool enabled_ = true;
    bool pressed_ = false;
    QPointF pressAt_;
    QPointF location_;
};

}  // namespace ovira
