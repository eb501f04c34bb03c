#include "ui/view/ViewLayer.h"

#include <QEvent>
#include <QPainter>
#include <QRegion>
#include <algorithm>

namespace ovira {
namespace {

// Draws the layer's border above the widget's children.
class BorderView : public QWidget {
public:
    BorderView(QWidget* parent, const ViewLayer* layer) : QWidget(parent), layer_(layer) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        if (layer_->borderWidth() <= 0 || !layer_->borderColor()) return;
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const qreal inset = layer_->borderWidth() / 2;
        painter.setPen(QPen(*layer_->borderColor(), layer_->borderWidth()));
        painter.drawPath(layer_->shape(QRectF(rect()).adjusted(inset, inset, -inset, -inset)));
    }

private:
    const ViewLayer* layer_;
};

}  // namespace

ViewLayer::ViewLayer(QWidget* view) : QObject(view), view_(view) {
    setObjectName(QStringLiteral("ovira.layer"));
    view->installEventFilter(this);
}

ViewLayer* ViewLayer::of(QWidget* view) {
    if (auto* layer = view->findChild<ViewLayer*>(QStringLiteral("ovira.layer"), Qt::FindDirectChildrenOnly))
        return layer;
    return new ViewLayer(view);
}

const ViewLayer* ViewLayer::find(const QWidget* view) {
    return view->findChild<ViewLayer*>(QStringLiteral("ovira.layer"), Qt::FindDirectChildrenOnly);
}

void ViewLayer::setCornerRadius(qreal radius) {
    cornerRadius_ = std::max<qreal>(0, radius);
    update();
}

void ViewLayer::setMaskedCorners(CornerMask corners) {
    maskedCorners_ = corners & allCorners;
    update();
}

void ViewLayer::setBorderWidth(qreal width) {
    borderWidth_ = std::max<qreal>(0, width);
    update();
}

void ViewLayer::setBorderColor(std::optional<QColor> color) {
    borderColor_ = color;
    update();
}

void ViewLayer::setMasksToBounds(bool masks) {
    masksToBounds_ = masks;
    update();
}

QPainterPath ViewLayer::shape(const QRectF& rect) const {
    return roundedPath(rect, cornerRadius_, maskedCorners_);
}

QPainterPath ViewLayer::roundedPath(const QRectF& rect, qreal radius, CornerMask corners) {
    const qreal r = std::min({radius, rect.width() / 2, rect.height() / 2});
    QPainterPath path;
    if (r <= 0) {
        path.addRect(rect);
        return path;
    }
    auto radiusOf = [&](ViewCorner corner) { return (corners & static_cast<unsigned>(corner)) ? r : 0.0; };
    const qreal tl = radiusOf(ViewCorner::topLeft), tr = radiusOf(ViewCorner::topRight);
    const qreal bl = radiusOf(ViewCorner::bottomLeft), br = radiusOf(ViewCorner::bottomRight);
    path.moveTo(rect.left() + tl, rect.top());
    path.lineTo(rect.right() - tr, rect.top());
    if (tr > 0) path.arcTo(rect.right() - 2 * tr, rect.top(), 2 * tr, 2 * tr, 90, -90);
    path.lineTo(rect.right(), rect.bottom() - br);
    if (br > 0) path.arcTo(rect.right() - 2 * br, rect.bottom() - 2 * br, 2 * br, 2 * br, 0, -90);
    path.lineTo(rect.left() + bl, rect.bottom());
    if (bl > 0) path.arcTo(rect.left(), rect.bottom() - 2 * bl, 2 * bl, 2 * bl, 270, -90);
    path.lineTo(rect.left(), rect.top() + tl);
    if (tl > 0) path.arcTo(rect.left(), rect.top(), 2 * tl, 2 * tl, 180, -90);
    path.closeSubpath();
    return path;
}

void ViewLayer::update() {
    // Widgets that paint their own rounded shape (smoothly) need no mask.
    const bool roundsItself = view_->property("roundsItself").toBool();
    if (masksToBounds_ && cornerRadius_ > 0 && !view_->rect().isEmpty() && !roundsItself)
        view_->setMask(QRegion(shape(QRectF(view_->rect())).toFillPolygon().toPolygon()));
    else
        view_->clearMask();
    if (borderWidth_ > 0 && borderColor_) {
        if (!border_) border_ = new BorderView(view_, this);
        border_->setGeometry(view_->rect());
        border_->raise();
        border_->show();
    } else if (border_) {
        border_->hide();
    }
    view_->update();
}

bool ViewLayer::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view_ && (event->type() == QEvent::Resize || event->type() == QEvent::ChildAdded)) {
        if (event->type() == QEvent::Resize)
            update();
        else if (border_)
            border_->raise();
    }
    return false;
}

}  // namespace ovira
