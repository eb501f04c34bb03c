#include "support/QtTestSupport.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QImage>
#include <QPixmap>
#include <algorithm>
#include <stdexcept>

#include "ui/controller/PresentationController.h"

namespace ovira::test {

void settle() {
    for (int i = 0; i < 6; ++i) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

FatalErrorReport fatalReportOf(const std::function<void()>& call) {
    struct Raised : std::runtime_error {
        explicit Raised(const FatalErrorReport& r) : std::runtime_error(r.message), report(r) {}
        FatalErrorReport report;
    };
    struct Restore {
        FatalErrorHandler previous;
        ~Restore() { setFatalErrorHandler(std::move(previous)); }
    } restore{setFatalErrorHandler([](const FatalErrorReport& report) { throw Raised(report); })};
    try {
        call();
    } catch (const Raised& raised) {
        return raised.report;
    }
    ADD_FAILURE() << "expected a fatal error";
    return {};
}

QString saveScreenshot(QWidget* window, const QString& name) {
    QString folder = qEnvironmentVariable("OVIRA_SCREENSHOT_DIR");
    if (folder.isEmpty()) folder = QStringLiteral(OVIRA_SCREENSHOT_DIR);
    QDir().mkpath(folder);
    const QString path = QDir(folder).filePath(name + QStringLiteral(".png"));
    EXPECT_TRUE(window->grab().save(path)) << path.toStdString();
    return path;
}

std::unique_ptr<ViewController> makeHostWindow(QSize size) {
    auto window = std::make_unique<ViewController>();
    window->setObjectName(QStringLiteral("host"));
    window->setAutoFillBackground(true);
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, QColor(0xF4, 0xF6, 0xFA));
    window->setPalette(palette);
    window->resize(size);
    window->show();
    settle();
    return window;
}

QColor pixelAt(QWidget* window, QPoint point) {
    const QImage image = window->grab().toImage();
    const qreal ratio = image.devicePixelRatio();
    return image.pixelColor(static_cast<int>(point.x() * ratio), static_cast<int>(point.y() * ratio));
}

double dimmingOver(QWidget* host) {
    double alpha = 0;
    for (auto* layer : host->findChildren<PresentationController*>())
        alpha = std::max<double>(alpha, layer->dimming().alphaF());
    return alpha;
}

std::array<QColor, 4> cornerPixels(QWidget* window, QWidget* widget, int inset) {
    const QImage image = window->grab().toImage();
    const qreal ratio = image.devicePixelRatio();
    const int right = widget->width() - 1 - inset, bottom = widget->height() - 1 - inset;
    std::array<QColor, 4> colors;
    int i = 0;
    for (const QPoint corner : {QPoint(inset, inset), QPoint(right, inset), QPoint(inset, bottom), QPoint(right, bottom)}) {
        const QPoint point = widget->mapTo(window, corner);
        colors[i++] = image.pixelColor(static_cast<int>(point.x() * ratio), static_cast<int>(point.y() * ratio));
    }
    return colors;
}

}  // namespace ovira::test
