// The window of a small host application: a column with the host's own
// content (a title, a button that starts the verification, a status line that
// shows what the library reported) and, beside it, the panel the verification
// flow is embedded in.
#pragma once

#include <QMainWindow>
#include <QSize>
#include <QString>
#include <memory>

class QLabel;
class QPushButton;

class HostWindow : public QMainWindow {
public:
    /// The flow's panel has `panelSize` (a phone's column by default).
    explicit HostWindow(QSize panelSize = {390, 720}, QWidget* parent = nullptr);
    ~HostWindow() override;

    /// Embeds a new verification in the panel. False, with the reason in the
    /// status line, when the library refused to show it.
    bool startVerification();

    /// The session the library reported at the end of a verification; empty
    /// until one succeeded.
    QString sessionId() const { return sessionId_; }

    QWidget* verificationPanel() const { return panel_; }
    QPushButton* verifyButton() const { return verify_; }
    QLabel* statusLabel() const { return status_; }

private:
    class Delegate;

    void showStatus(const QString& text);
    void verificationEnded(const QString& status);

    QWidget* panel_;
    QPushButton* verify_;
    QLabel* status_;
    QString sessionId_;
    // The library holds the delegate weakly: the window keeps it alive.
    std::shared_ptr<Delegate> delegate_;
};
