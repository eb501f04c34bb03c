#pragma once

#include <QWidget>

namespace ovira {

// Covers a screen while it waits: transparent, but it takes every press and
// key so that nothing under it reacts.
class LoadingOverlayView : public QWidget {
    Q_OBJECT
public:
    explicit LoadingOverlayView(QWidget* parent = nullptr);

protected:
    bool event(QEvent* event) override;
};

}  // namespace ovira
