#include "ui/sheet/EKYCBottomSheetInteractiveDismissalTransition.h"

#include <QVariantAnimation>
#include <algorithm>
#include <cmath>

#include "ui/animation/ViewAnimation.h"

namespace ovira {

EKYCBottomSheetInteractiveDismissalTransition::EKYCBottomSheetInteractiveDismissalTransition(
    std::function<void()> layout, QObject* parent)
    : QObject(parent), layout_(std::move(layout)) {}

double EKYCBottomSheetInteractiveDismissalTransition::stretch(double t) {
    const double reach = t > 0 ? std::pow(t, stretchExponent) : -std::pow(-t, stretchExponent);
    return reach / stretchOffset;
}

void EKYCBottomSheetInteractiveDismissalTransition::beginPan(bool interactive) {
    interactiveDismissal = interactive;
    if (spring_) spring_->stop();
}

double EKYCBottomSheetInteractiveDismissalTransition::updatePan(double translation, double height) {
    const double reach = stretch(translation);
    extra_ = stretchOffset * std::clamp(-reach, 0.0, 1.0);
    offset_ = interactiveDismissal ? 0 : stretchOffset * std::clamp(reach, 0.0, 1.0);
    if (layout_) layout_();
    return interactiveDismissal ? std::clamp(translation / std::max(1.0, height), 0.0, 1.0) : 0;
}

bool EKYCBottomSheetInteractiveDismissalTransition::endPan(double translation, double height,
                                                           double velocity) {
    updatePan(translation, height);
    const bool finishes = interactiveDismissal && velocity >= dismissalVelocity;
    interactiveDismissal = false;
    springBack();
    return finishes;
}

void EKYCBottomSheetInteractiveDismissalTransition::springBack() {
    const double offset = offset_, extra = extra_;
    auto apply = [this, offset, extra](double remaining) {
        offset_ = offset * remaining;
        extra_ = extra * remaining;
        if (layout_) layout_();
    };
    if (!ViewAnimation::areAnimationsEnabled() || (offset == 0 && extra == 0)) {
        apply(0);
        return;
    }
    auto* spring = new QVariantAnimation(this);
    spring->setDuration(extra > 0 ? minTransitionDurationMs : maxTransitionDurationMs);
    spring->setStartValue(1.0);
    spring->setEndValue(0.0);
    spring->setEasingCurve(QEasingCurve::InQuad);
    connect(spring, &QVariantAnimation::valueChanged, this, [apply](const QVariant& v) { apply(v.toDouble()); });
    spring_ = spring;
    spring->start(QAbstractAnimation::DeleteWhenStopped);
}

}  // namespace ovira
