#include "ui/view/Nib.h"

#include <QHash>

#include "ui/view/ViewProperties.h"
#include "ui_EKYCAccessoryCameraView.h"
#include "ui_QXAlertViewController.h"
#include "ui_QXDialogViewController.h"

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
