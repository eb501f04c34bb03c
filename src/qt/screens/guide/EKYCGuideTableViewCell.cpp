#include "screens/guide/EKYCGuideTableViewCell.h"

#include <QFontMetrics>
#include <string>

#include "resources/ColorAsset.h"
#include "resources/FontConvertible.h"
#include "ui/view/ViewStyle.h"

namespace ovira {
namespace {

constexpr int kBulletWidth = 20 + 12;  // the tick and the gap after it
constexpr int kVerticalPadding = 8 + 8;

}  // namespace

EKYCGuideTableViewCell::EKYCGuideTableViewCell(QWidget* parent) : EKYCBaseTableViewCell(parent) {
    setupUi(this);
    lbGuide->setFont(systemFont(14));
    setTextColor(lbGuide, ColorAsset::blackAAA().color());
    imgBullet->setImage(ImageAsset::image(QStringLiteral("ic_check")));
}

void EKYCGuideTableViewCell::configure(const std::any& item) {
    const auto* text = std::any_cast<std::string>(&item);
    lbGuide->setText(text ? QString::fromStdString(*text) : QString());
}

int EKYCGuideTableViewCell::heightFor(const QString& text, int width) {
    const QFontMetrics metrics(systemFont(14));
    const QRect bounds = metrics.boundingRect(QRect(0, 0, std::max(1, width - kBulletWidth), 10000),
                                              Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, text);
    return std::max(20, bounds.height()) + kVerticalPadding + 1;
}

}  // namespace ovira
