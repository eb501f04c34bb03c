#pragma once

#include <QColor>
#include <QWidget>

class QVariantAnimation;

namespace ovira {

// A spinning activity indicator: twelve spokes that fade round the circle,
// on a rounded square of the background colour.
class ActivityIndicatorView : public QWidget {
    Q_OBJECT
public:
    enum class Style { medium = 100, large = 101 };

    explicit ActivityIndicatorView(Style style = Style::large, QWidget* parent = nullptr);

    QColor color() const { return color_; }
    void setColor(const QColor& color);
    QColor backgroundColor() const { return background_; }
    void setBackgroundColor(const QColor& color);
    qreal cornerRadius() const { return cornerRadius_; }
    void setCornerRadius(qreal radius);
    bool hidesWhenStopped() const { return hidesWhenStopped_; }
    void setHidesWhenStopped(bool hides);

    void startAnimating();
    void stopAnimating();
    bool isAnimating() const { return animating_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Style style_;
    QColor color_ = Qt::gray;
    QColor background_ = Qt::transparent;
    qreal cornerRadius_ = 0;
    bool hidesWhenStopped_ = true;
    bool animating_ = false;
    int phase_ = 0;
    QVariantAnimation* spinner_;
};

}  // namespace ovira
