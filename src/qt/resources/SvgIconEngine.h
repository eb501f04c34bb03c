#pragma once

#include <QIconEngine>
#include <memory>

class QSvgRenderer;

namespace ovira {

// Renders an icon from vector artwork at the exact size and scale asked
// for; disabled icons are drawn faded.
class SvgIconEngine : public QIconEngine {
public:
    explicit SvgIconEngine(std::shared_ptr<QSvgRenderer> renderer);

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override;
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override;
    QIconEngine* clone() const override;
    QString key() const override { return QStringLiteral("ovira-svg"); }

private:
    std::shared_ptr<QSvgRenderer> renderer_;
};

}  // namespace ovira
