#pragma once

#include <QColor>
#include <QFont>
#include <QPointer>
#include <QToolButton>
#include <QWidget>
#include <optional>

#include "resources/EKYCImage.h"

class QLabel;


namespace ovira {

class NavigationItem;

// How a navigation bar looks.
struct NavigationBarAppearance {
    EKYCImage backgroundImage;  // stretched over the bar; drawn over backgroundColor
    QColor backgroundColor = QColor(0xF8, 0xF8, 0xF8);
    QFont titleFont;
    QColor titleColor = Qt::black;
    EKYCImage backIndicatorImage;  // the back arrow
    bool hidesShadow = false;      // no hairline under the bar
};

// The bar over a navigation container: the top screen's title, its left
// button or a back button.
class NavigationBar : public QWidget {
    Q_OBJECT
public:
    // The bar's height with the design's text; a larger title makes it taller.
    static constexpr int defaultHeight = 44;

    explicit NavigationBar(QWidget* parent = nullptr);

    const NavigationBarAppearance& standardAppearance() const { return standard_; }
    void setStandardAppearance(const NavigationBarAppearance& appearance) { standard_ = appearance; refresh(); }

    // Shows `top`; `back` is the title of a back button, or absent for none.
    void show(NavigationItem* top, const std::optional<QString>& backTitle);
    // What a screen reader calls the back button, which shows an arrow.
    void setBackButtonAccessibleName(const QString& name) { backAccessibleName_ = name; refresh(); }

    QLabel* titleLabel() const { return title_; }
    // The left button on display (a left item or the back button), or null.
    QToolButton* leftButton() const { return left_->isVisibleTo(this) ? left_ : nullptr; }

    QSize sizeHint() const override { return {375, QWidget::height()}; }

Q_SIGNALS:
    // The back button was tapped.
    void backTapped();

protected:
    void paintEvent(QPaintEvent* event) override;
    // Lays the bar out: also after every change of what it shows.
    void resizeEvent(QResizeEvent* event) override;

private:
    void refresh();

    NavigationBarAppearance standard_;
    QPointer<NavigationItem> item_;
    std::optional<QString> backTitle_;
    QString backAccessibleName_;
    QLabel* title_;
    QToolButton* left_;
};

}  // namespace ovira
