#pragma once

// Scenes for the file camera: what a rear camera sees of a document and a
// front camera of a face.
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "QtTestSupport.h"
#include "capture/EKYCFileCameraSource.h"
#include "resources/FontConvertible.h"

namespace ovira::test {

// An identity card lying on a desk, seen from above by the rear camera.
inline QImage documentOnADesk() {
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
    painter.fillRect(QRectF(card.left(), card.top() + 40, card.width(), 70), QColor(15, 128, 236));
    painter.setPen(Qt::white);
    painter.setFont(FontConvertible::robotoBold().font(40));
    painter.drawText(QRectF(card.left(), card.top() + 40, card.width(), 70), Qt::AlignCenter,
                     QStringLiteral("IDENTITY CARD"));
    const QImage portrait(QString::fromStdString(testData("astronaut.png")));
    painter.drawImage(QRectF(card.left() + 50, card.top() + 150, 260, 320), portrait.copy(120, 20, 230, 283));
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

// The astronaut seen by a front camera, her face centred at `faceAt` of a
// 720 x 1280 frame.
inline QImage selfie(QPointF faceAt) {
    const QImage astronaut(QString::fromStdString(testData("astronaut.png")));
    const QImage large =
        astronaut.scaled(astronaut.size() * 3, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return EKYCFileCameraSource::composedFrames(large, {720, 1280}, {faceAt + QPointF(88, 378)},
                                                QColor(70, 78, 92))[0];
}

}  // namespace ovira::test
