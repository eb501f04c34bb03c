#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

#include <QVariantAnimation>

namespace ovira {

// What a drag does to a sheet. A sheet that may be dragged away follows the
// finger downwards and goes on a release at 500 points per second or more;
// otherwise, and upwards, it gives like a rubber band: it moves down, or
// grows taller, by at most stretchOffset points, with growing resistance,
// and springs back on release.
class EKYCBottomSheetInteractiveDismissalTransition : public QObject {
    Q_OBJECT
public:
    static constexpr double dismissalVelocity = 500;  // points per second, downwards
    static constexpr double stretchExponent = 0.33;
    static constexpr double stretchOffset = 16;
    static constexpr int maxTransitionDurationMs = 250;  // the sheet springing back down
    static constexpr int minTransitionDurationMs = 150;  // the sheet shrinking back

    // `layout` lays the sheet out again after the rubber band changed.
    explicit EKYCBottomSheetInteractiveDismissalTransition(std::function<void()> layout,
                                                           QObject* parent = nullptr);

    // Set from the start of a drag on a sheet that may be dragged away
    // until the drag ends.
    bool interactiveDismissal = false;
    // The rubber band: how far the sheet is moved down, and how much taller it is.
    double bottomOffset() const { return offset_; }
    double extraHeight() const { return extra_; }

    void beginPan(bool interactive);
    // `translation` downwards in points. Returns the sheet's progress out of
    // the screen for an interactive dismissal (0 to 1), else 0.
    double updatePan(double translation, double height);
    // Whether the sheet is to go; otherwise it springs back.
    bool endPan(double translation, double height, double velocity);

    // The rubber band's share of its reach for a drag of `translation`
    // points: ±|t|^0.33 ÷ stretchOffset.
    static double stretch(double translation);

private:
    void springBack();

    std::function<void()> layout_;
    double offset_ = 0;
    double extra_ = 0;
    QPointer<QVariantAnimation> spring_;
};

}  // namespace ovira
