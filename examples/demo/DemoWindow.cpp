#include "DemoWindow.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QVBoxLayout>

#include "ovira/OVIRA.h"
#include "ovira/OVIRACameraSettings.h"
#include "ovira/UserDefaults.h"

namespace {
constexpr const char* kLanguageKey = "_localization_currentLanguage";
}

DemoWindow::DemoWindow(QWidget* parent)
    : QWidget(parent),
      language_(new QComboBox(this)),
      camera_(new QComboBox(this)),
      start_(new QPushButton(QStringLiteral("Start verification"), this)),
      session_(new QLabel(this)) {
    setWindowTitle(QStringLiteral("OVIRA demo bank"));
    setObjectName(QStringLiteral("demoWindow"));
    setStyleSheet(QStringLiteral(
        "#demoWindow { background: #F4F6FA; }"
        "QLabel#headline { font-size: 24px; font-weight: bold; color: #0B1F44; }"
        "QLabel#body { font-size: 15px; color: #4A5568; }"
        "QPushButton#start { background: #1380EE; color: white; font-size: 17px; border-radius: 24px;"
        " min-height: 48px; }"
        "QLabel#session { font-size: 14px; color: #0B1F44; background: white; border-radius: 12px;"
        " padding: 12px; }"));

    auto* headline = new QLabel(QStringLiteral("Open an account in minutes"), this);
    headline->setObjectName(QStringLiteral("headline"));
    headline->setWordWrap(true);
    auto* body =
        new QLabel(QStringLiteral("Verify your identity with your ID card, driving licence or passport "
                                  "and a photo of your face."),
                   this);
    body->setObjectName(QStringLiteral("body"));
    body->setWordWrap(true);

    language_->addItem(QStringLiteral("Tiếng Việt"), QStringLiteral("vi"));
    language_->addItem(QStringLiteral("English"), QStringLiteral("en"));
    const auto stored = ovira::UserDefaults::standard().string(kLanguageKey).value_or("vi");
    language_->setCurrentIndex(stored == "en" ? 1 : 0);
    connect(language_, &QComboBox::currentIndexChanged, this, &DemoWindow::chooseLanguage);

    camera_->addItem(QStringLiteral("Device camera"));
    camera_->addItem(QStringLiteral("Pictures from a file…"));
    if (!ovira::OVIRACameraSettings::simulatedCameraMedia().empty()) {
        camera_->addItem(QString::fromStdString(ovira::OVIRACameraSettings::simulatedCameraMedia()));
        camera_->setCurrentIndex(2);
    }
    connect(camera_, &QComboBox::currentIndexChanged, this, &DemoWindow::chooseCamera);

    start_->setObjectName(QStringLiteral("start"));
    connect(start_, &QPushButton::clicked, this, [] { ovira::OVIRA::instance().start(); });

    session_->setObjectName(QStringLiteral("session"));
    session_->setWordWrap(true);
    session_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    session_->hide();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 48, 24, 32);
    layout->setSpacing(16);
    layout->addWidget(headline);
    layout->addWidget(body);
    layout->addSpacing(8);
    layout->addWidget(new QLabel(QStringLiteral("Language"), this));
    layout->addWidget(language_);
    layout->addWidget(new QLabel(QStringLiteral("Camera"), this));
    layout->addWidget(camera_);
    layout->addStretch(1);
    layout->addWidget(session_);
    layout->addWidget(start_);
}

void DemoWindow::showSession(const QString& sessionId) {
    sessionId_ = sessionId;
    session_->setText(QStringLiteral("Verified. Session: %1").arg(sessionId));
    session_->show();
}

void DemoWindow::countAttempt(const QString& outcome) {
    ++outcomes_[outcome];
}

void DemoWindow::chooseLanguage(int index) {
    ovira::UserDefaults::standard().setString(kLanguageKey,
                                              language_->itemData(index).toString().toStdString());
    // The library picks its texts once per process.
    QMessageBox::information(this, windowTitle(),
                             QStringLiteral("The new language applies from the next start of the app."));
}

void DemoWindow::chooseCamera(int index) {
    if (index == 0) {
        ovira::OVIRACameraSettings::setSimulatedCameraMedia({});
    } else if (index == 1) {
        const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Pictures or video"));
        ovira::OVIRACameraSettings::setSimulatedCameraMedia(path.toStdString());
    }
}
