#pragma once

#include <QColor>
#include <QObject>

namespace ovira {

class EKYCBottomSheetPresentationController;
class ViewController;

// A sheet's options, and the maker of the controller of each presentation
// of the sheet; the controller reads the options as it needs them, so that
// later changes reach the sheet on screen.
class EKYCBottomSheetTransitioningDelegate : public QObject {
    Q_OBJECT
public:
    EKYCBottomSheetTransitioningDelegate(double topInset, double sizingFactor, QColor backdropColor,
                                         QObject* parent = nullptr);

    double preferredSheetTopInset;
    double preferredSheetSizingFactor;
    QColor preferredSheetBackdropColor;
    bool tapToDismissEnabled = true;
    bool panToDismissEnabled = true;

    EKYCBottomSheetPresentationController* presentationController(ViewController* presented,
                                                                  ViewController* presenting);
};

}  // namespace ovira
