#include "CameraScenes.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

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

}  // namespace ovira::scenes
