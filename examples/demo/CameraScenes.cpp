#include "CameraScenes.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>

#include "capture/EKYCFileCameraSource.h"
#include "resources/FontConvertible.h"

namespace ovira::scenes {

QImage documentOnADesk(const QImage& portrait, QSize frameSize, const QRectF& placed) {
    QImage frame(frameSize, QImage::Format_RGB32);
    QPainter painter(&frame);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient desk(0, 0, frameSize.width(), frameSize.height());
    desk.setColorAt(0, QColor(122, 94, 70));
    desk.setColorAt(1, QColor(84, 62, 46));
    painter.fillRect(frame.rect(), desk);
    // The card is drawn at 880 x 555 and scaled to its place.
    painter.translate(placed.topLeft());
    painter.scale(placed.width() / 880, placed.height() / 555);
    const QRectF card(0, 0, 880, 555);
    QLinearGradient face(card.topLeft(), card.bottomRight());
    face.setColorAt(0, QColor(232, 240, 250));
    face.setColorAt(1, QColor(196, 216, 238));
    QPainterPath outline;
    outline.addRoundedRect(card, 32, 32);
    painter.fillPath(outline, face);
    const QRectF band(card.left(), card.top() + 40, card.width(), 70);
    painter.fillRect(band, QColor(15, 128, 236));
    painter.setPen(Qt::white);
    painter.setFont(FontConvertible::robotoBold().font(40));
    painter.drawText(band, Qt::AlignCenter, QStringLiteral("IDENTITY CARD"));
    if (!portrait.isNull())
        painter.drawImage(QRectF(card.left() + 50, card.top() + 150, 260, 320),
                          portrait.copy(120, 20, 230, 283));
    painter.setPen(QColor(40, 52, 70));
    painter.setFont(FontConvertible::robotoRegular().font(34));
    const char* lines[] = {"No. 001234567890", "Full name: E. COLLINS", "Date of birth: 19/03/1956",
                           "Nationality: Earth"};
    for (int i = 0; i < 4; ++i)
        painter.drawText(QPointF(card.left() + 350, card.top() + 200 + i * 70),
                         QString::fromLatin1(lines[i]));
    painter.end();
    return frame;
}

QImage documentOnADesk(const QImage& portrait) {
    const double width = 1440 * 0.9 * 0.905;
    const double height = width * 555 / 880;
    return documentOnADesk(portrait, {1440, 2560},
                           QRectF((1440 - width) / 2, (2560 - height) / 2, width, height));
}

QImage frontCameraFrame(const QImage& picture, double scale, QPointF centre, QSize frame) {
    const QImage large =
        picture.scaled(picture.size() * scale, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return EKYCFileCameraSource::composedFrames(large, frame, {centre}, QColor(70, 78, 92))[0];
}

QImage blurred(const QImage& frame, double radius) {
    if (radius <= 1) return frame;
    // Down and up again, smoothly: the detail finer than `radius` is gone.
    const QSize small(std::max(1, int(frame.width() / radius)), std::max(1, int(frame.height() / radius)));
    return frame.scaled(small, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .scaled(frame.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_RGB32);
}

QImage darkened(const QImage& frame, double factor) {
    QImage dark = frame.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < dark.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(dark.scanLine(y));
        for (int x = 0; x < dark.width(); ++x)
            line[x] = qRgb(int(qRed(line[x]) * factor), int(qGreen(line[x]) * factor), int(qBlue(line[x]) * factor));
    }
    return dark;
}

QImage withGlare(const QImage& frame, QPointF centre, double radius) {
    QImage glared = frame.convertToFormat(QImage::Format_RGB32);
    QPainter painter(&glared);
    painter.setRenderHint(QPainter::Antialiasing);
    QRadialGradient light(centre, radius * 1.4);
    light.setColorAt(0, Qt::white);
    light.setColorAt(0.7, Qt::white);
    light.setColorAt(1, QColor(255, 255, 255, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(light);
    painter.drawEllipse(centre, radius * 1.4, radius * 1.4);
    return glared;
}

QImage turnedFace(const QImage& picture, QPointF nose, double degrees, double faceWidth) {
    // The head as a cylinder with the nose standing out of it, turned about
    // its vertical axis and seen from the front: every pixel of the head
    // moves sideways by its depth, the nearest one showing where several land.
    const QImage source = picture.convertToFormat(QImage::Format_RGB32);
    QImage turned = source.copy();
    const double angle = degrees * M_PI / 180, radius = 0.65 * faceWidth, noseDepth = 0.3 * radius;
    const double noseSpread = 0.12 * faceWidth, top = nose.y() - 0.9 * faceWidth, bottom = nose.y() + 0.7 * faceWidth;
    const int left = std::max(0, int(nose.x() - radius)), right = std::min(source.width() - 1, int(nose.x() + radius));
    std::vector<double> nearest(source.width());
    for (int y = std::max(0, int(top)); y <= std::min(source.height() - 1, int(bottom)); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        auto* out = reinterpret_cast<QRgb*>(turned.scanLine(y));
        std::fill(nearest.begin(), nearest.end(), -1e9);
        for (int x = left; x <= right; ++x) {
            const double u = x - nose.x(), dy = y - nose.y();
            const double depth = std::sqrt(std::max(0.0, radius * radius - u * u)) +
                                 noseDepth * std::exp(-(u * u + dy * dy) / (2 * noseSpread * noseSpread));
            const double shown = u * std::cos(angle) + depth * std::sin(angle);
            const double front = -u * std::sin(angle) + depth * std::cos(angle);
            for (int spread = 0; spread <= 1; ++spread) {
                const int to = int(std::lround(nose.x() + shown)) + spread;
                if (to < left || to > right || front <= nearest[to]) continue;
                nearest[to] = front;
                out[to] = in[x];
            }
        }
        // What the turn uncovered shows its nearest neighbour.
        for (int x = left + 1; x <= right; ++x)
            if (nearest[x] == -1e9 && nearest[x - 1] != -1e9) {
                out[x] = out[x - 1];
                nearest[x] = nearest[x - 1];
            }
    }
    return turned;
}

}  // namespace ovira::scenes
