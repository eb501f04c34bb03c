#pragma once

#include <QLabel>
#include <functional>

#include "ovira/EkycTypeDocument.h"
#include "screens/base/EKYCBaseViewController.h"
#include "screens/introduce/EKYCIntroduceViewModel.h"
#include "ui/lists/EKYCBaseTableView.h"
#include "ui_EKYCIntroduceViewController.h"

namespace ovira {

// The flow's first screen and the root of its navigation container: the
// steps of the verification and the three documents to choose from.
// Closing the flow from here ends it.
class EKYCIntroduceViewController : public EKYCBaseViewController<EKYCIntroduceViewModel>,
                                    public Ui::EKYCIntroduceViewController {
    Q_OBJECT
public:
    std::optional<OVIRAFlowStep> flowStep() const override { return OVIRAFlowStep::chooseDocument; }
    static constexpr double rowHeight = 80;

    // Opens the capture of the chosen document's front from `introduce`
    // (the capture screens install it). Until one is installed a tap only
    // logs that there is nowhere to go.
    using CaptureOpener = std::function<void(EKYCIntroduceViewController& introduce, EkycTypeDocument kind)>;
    static void setCaptureOpener(CaptureOpener opener);

    explicit EKYCIntroduceViewController(QWidget* parent = nullptr);

    // Leaves for the capture of `kind`; the kind travels with the capture only.
    virtual void openDocumentCapture(EkycTypeDocument kind);
    // The first screen has nothing to go back to: leaving closes the flow.
    void backToRoot() override;

protected:
    void setupUI() override;
    // Fills the list; the view model has nothing to load.
    void configure() override;
};

}  // namespace ovira
