#include "HostWindow.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>
#include <ovira/OVIRA.h>
#include <ovira/OVIRADelegate.h>
#include <ovira/qt/OVIRAFlow.h>

// What the library reports, shown in the window. The library calls every
// method on the GUI thread, once the flow has left the screen (the outcomes)
// or while it is on screen (the steps).
class HostWindow::Delegate : public ovira::OVIRADelegate {
public:
    explicit Delegate(HostWindow* window) : window_(window) {}

    void didEKYCSuccessWithSessionId(const std::string& sessionId) override {
        if (!window_) return;
        window_->sessionId_ = QString::fromStdString(sessionId);
        window_->verificationEnded(QStringLiteral("Verified. Session %1").arg(window_->sessionId_));
    }
    void didEKYCCancel() override {
        if (window_) window_->verificationEnded(QStringLiteral("Cancelled."));
    }
    void didEKYCEndSession(const std::string& message) override {
        if (window_)
            window_->verificationEnded(
                QStringLiteral("The service ended the session: %1").arg(QString::fromStdString(message)));
    }
    void didEKYCFail(const ovira::EKYCAPIError& error) override {
        if (!window_) return;
        const std::string reason = error.message().value_or(error.localizedDescription());
        window_->verificationEnded(QStringLiteral("Failed: %1").arg(QString::fromStdString(reason)));
    }
    void didEKYCReachStep(ovira::OVIRAFlowStep step) override {
        if (window_) window_->showStatus(QStringLiteral("Step: %1").arg(QLatin1String(ovira::toString(step))));
    }

private:
    QPointer<HostWindow> window_;
};

HostWindow::HostWindow(QSize panelSize, QWidget* parent)
    : QMainWindow(parent), delegate_(std::make_shared<Delegate>(this)) {
    setWindowTitle(QStringLiteral("OVIRA host"));

    auto* central = new QWidget(this);
    auto* layout = new QHBoxLayout(central);

    // The host's own column.
    auto* side = new QWidget(central);
    side->setMinimumWidth(280);
    auto* column = new QVBoxLayout(side);
    auto* title = new QLabel(QStringLiteral("<h2>Open an account</h2>"
                                            "<p>Verify your identity with a document and a photograph "
                                            "of your face.</p>"),
                             side);
    title->setWordWrap(true);
    verify_ = new QPushButton(QStringLiteral("Verify my identity"), side);
    verify_->setObjectName(QStringLiteral("verifyButton"));
    verify_->setAccessibleName(QStringLiteral("Verify my identity"));
    status_ = new QLabel(QStringLiteral("Not verified yet."), side);
    status_->setObjectName(QStringLiteral("statusLabel"));
    status_->setAccessibleName(QStringLiteral("Verification status"));
    status_->setWordWrap(true);
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    column->addWidget(title);
    column->addWidget(verify_);
    column->addWidget(status_);
    column->addStretch();

    // The flow fills this panel and follows its size; the column stays usable.
    panel_ = new QWidget(central);
    panel_->setObjectName(QStringLiteral("verificationPanel"));
    panel_->setFixedSize(panelSize);
    panel_->setAutoFillBackground(true);

    layout->addWidget(side, 1);
    layout->addWidget(panel_);
    setCentralWidget(central);

    ovira::OVIRA::instance().setDelegate(delegate_);
    connect(verify_, &QPushButton::clicked, this, [this] { startVerification(); });
}

HostWindow::~HostWindow() {
    ovira::OVIRAFlow::close();
}

bool HostWindow::startVerification() {
    const ovira::OVIRAPresentation shown = ovira::OVIRAFlow::embedIn(panel_);
    if (!shown) {
        showStatus(QStringLiteral("Could not start: %1").arg(shown.error));
        return false;
    }
    verify_->setEnabled(false);
    showStatus(QStringLiteral("Verification in progress."));
    return true;
}

void HostWindow::showStatus(const QString& text) {
    status_->setText(text);
}

void HostWindow::verificationEnded(const QString& status) {
    verify_->setEnabled(true);
    showStatus(status);
}
