#pragma once

#include <QColor>
#include <QObject>
#include <QPointer>

namespace ovira {

class EKYCBottomSheetPresentationController;
class ViewController;

// Makes the controller of each presentation of a sheet from the sheet's
// options, and keeps the one it made last so that later changes of the
// options reach the sheet on screen.
class EKYCBottomSheetTransitioningDelegate : public QObject {
    Q_OBJECT
public:
    EKYCBottomSheetTransitioningDelegate(double topInset, double sizingFactor, QColor backdropColor,
                                         QObject* parent = nullptr);

    // The controller it created last, while it lives.
    QPointer<EKYCBottomSheetPresentationController> bottomSheetPresentationController;
    double preferredSheetTopInset;
    double preferredSheetSizingFactor;
    QColor preferredSheetBackdropColor;
    bool tapToDismissEnabled = true;
    bool panToDismissEnabled = true;

    EKYCBottomSheetPresentationController* presentationController(ViewController* presented,
                                                                  ViewController* presenting);
};

}  // namespace ovira
