#pragma once

#include <QColor>
#include <QWidget>

namespace ovira {

// A plain colour over its whole area at an adjustable opacity, without
// taking input: dims what lies under a presentation. It follows its
// parent's size.
class BackdropView : public QWidget {
    Q_OBJECT
public:
    BackdropView(QColor color, QWidget* parent);

    qreal alpha() const { return alpha_; }
    void setAlpha(qreal alpha);
    QColor color() const { return color_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QColor color_;
    qreal alpha_ = 0;
};

}  // namespace ovira
