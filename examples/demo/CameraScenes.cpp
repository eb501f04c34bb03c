#include "CameraScenes.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "capture/EKYCFileCameraSource.h"
#include "resources/FontConvertible.h"

namespace ovira::scenes {

QImage documentOnADesk(const QImage& portrait) {
    QImage frame(1080, 1920, QImage::Format_RGB32);
    QPainter painter(&frame);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient desk(0, 0, 1080, 1920);
    desk.setColorAt(0, QColor(122, 94, 70));
    desk.setColorAt(1, QColor(84, 62, 46));
    painter.fillRect(frame.rect(), desk);
    const QRectF card(100, 690, 880, 555);
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
        painter.drawImage(QRectF(card.left() + 50, card.top() + 150, 260, 320), portrait.copy(120, 20, 230, 283));
    painter.setPen(QColor(40, 52, 70));
    painter.setFont(FontConvertible::robotoRegular().font(34));
    const char* lines[] = {"No. 001234567890", "Full name: E. COLLINS", "Date of birth: 19/03/1956",
                           "Nationality: Earth"};
    for (int i = 0; i < 4; ++i)
        painter.drawText(QPointF(card.left() + 350, card.top() + 200 + i * 70), QString::fromLatin1(lines[i]));
    painter.end();
    return frame;
}

QImage frontCameraFrame(const QImage& picture, double scale, QPointF centre) {
    const QImage large = picture.scaled(picture.size() * scale, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return EKYCFileCameraSource::composedFrames(large, {720, 1280}, {centre}, QColor(70, 78, 92))[0];
}

}  // namespace ovira::scenes
