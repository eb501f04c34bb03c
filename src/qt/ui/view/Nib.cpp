#include "ui/view/Nib.h"

#include <QHash>

#include "ui/view/ViewProperties.h"
#include "ui_EKYCAccessoryCameraView.h"
#include "ui_QXAlertViewController.h"
#include "ui_QXDialogViewController.h"
// The flow's screens and cells.
#include "ui_EKYCConfirmViewController.h"
#include "ui_EKYCDatePickerViewController.h"
#include "ui_EKYCGuideCaptureDocumentViewController.h"
#include "ui_EKYCGuideFaceCollectionViewCell.h"
#include "ui_EKYCGuideFaceViewController.h"
#include "ui_EKYCGuideTableViewCell.h"
#include "ui_EKYCInfomationDocumentTableViewCell.h"
#include "ui_EKYCInfomationDocumentViewController.h"
#include "ui_EKYCIntroduceTableViewCell.h"
#include "ui_EKYCIntroduceViewController.h"
#include "ui_EKYCPreviewPhotoErrorViewController.h"
#include "ui_EKYCReviewCollectionViewCell.h"
#include "ui_EKYCReviewPhotographViewController.h"
#include "ui_EKYCSelectionTableViewCell.h"
#include "ui_EKYCSelectionViewController.h"
#include "ui_EKYCVerifyTableViewCell.h"

namespace ovira {
namespace {

template <class Form>
Nib::Setup setupOf() {
    return [](QWidget* owner) {
        Form form;
        form.setupUi(owner);
    };
}

QHash<QString, Nib::Setup>& registry() {
    static QHash<QString, Nib::Setup> nibs = {
        {QStringLiteral("EKYCAccessoryCameraView"), setupOf<Ui::EKYCAccessoryCameraView>()},
        {QStringLiteral("QXAlertViewController"), setupOf<Ui::QXAlertViewController>()},
        {QStringLiteral("QXDialogViewController"), setupOf<Ui::QXDialogViewController>()},
        {QStringLiteral("EKYCConfirmViewController"), setupOf<Ui::EKYCConfirmViewController>()},
        {QStringLiteral("EKYCDatePickerViewController"), setupOf<Ui::EKYCDatePickerViewController>()},
        {QStringLiteral("EKYCGuideCaptureDocumentViewController"), setupOf<Ui::EKYCGuideCaptureDocumentViewController>()},
        {QStringLiteral("EKYCGuideFaceCollectionViewCell"), setupOf<Ui::EKYCGuideFaceCollectionViewCell>()},
        {QStringLiteral("EKYCGuideFaceViewController"), setupOf<Ui::EKYCGuideFaceViewController>()},
        {QStringLiteral("EKYCGuideTableViewCell"), setupOf<Ui::EKYCGuideTableViewCell>()},
        {QStringLiteral("EKYCInfomationDocumentTableViewCell"), setupOf<Ui::EKYCInfomationDocumentTableViewCell>()},
        {QStringLiteral("EKYCInfomationDocumentViewController"), setupOf<Ui::EKYCInfomationDocumentViewController>()},
        {QStringLiteral("EKYCIntroduceTableViewCell"), setupOf<Ui::EKYCIntroduceTableViewCell>()},
        {QStringLiteral("EKYCIntroduceViewController"), setupOf<Ui::EKYCIntroduceViewController>()},
        {QStringLiteral("EKYCPreviewPhotoErrorViewController"), setupOf<Ui::EKYCPreviewPhotoErrorViewController>()},
        {QStringLiteral("EKYCReviewCollectionViewCell"), setupOf<Ui::EKYCReviewCollectionViewCell>()},
        {QStringLiteral("EKYCReviewPhotographViewController"), setupOf<Ui::EKYCReviewPhotographViewController>()},
        {QStringLiteral("EKYCSelectionTableViewCell"), setupOf<Ui::EKYCSelectionTableViewCell>()},
        {QStringLiteral("EKYCSelectionViewController"), setupOf<Ui::EKYCSelectionViewController>()},
        {QStringLiteral("EKYCVerifyTableViewCell"), setupOf<Ui::EKYCVerifyTableViewCell>()},
    };
    return nibs;
}

}  // namespace

bool Nib::exists(const QString& name) {
    return registry().contains(name);
}

bool Nib::instantiate(const QString& name, QWidget* owner) {
    const auto it = registry().constFind(name);
    if (it == registry().constEnd()) return false;
    (*it)(owner);
    applyViewProperties(owner);
    return true;
}

void Nib::registerNib(const QString& name, Setup setup) {
    registry().insert(name, std::move(setup));
}

QString unqualifiedClassName(const QMetaObject& metaObject) {
    const QString name = QString::fromLatin1(metaObject.className());
    return name.section(QStringLiteral("::"), -1);
}

}  // namespace ovira
