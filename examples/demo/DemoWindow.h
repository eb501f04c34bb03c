#pragma once

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <map>

// The demo host's own screen: what a bank's app would show before and after
// the verification.
class DemoWindow : public QWidget {
    Q_OBJECT
public:
    explicit DemoWindow(QWidget* parent = nullptr);

    QPushButton* startButton() const { return start_; }
    QLabel* sessionLabel() const { return session_; }
    // The last session the library reported; empty before.
    QString sessionId() const { return sessionId_; }
    // How many photographs ended each way ("refusedOnDevice", ...), as the
    // library reported them.
    const std::map<QString, int>& attemptOutcomes() const { return outcomes_; }

public Q_SLOTS:
    // The library reported a finished verification.
    void showSession(const QString& sessionId);
    // The library reported a photograph's outcome.
    void countAttempt(const QString& outcome);

private:
    void chooseLanguage(int index);
    void chooseCamera(int index);

    QComboBox* language_;
    QComboBox* camera_;
    QPushButton* start_;
    QLabel* session_;
    QString sessionId_;
    std::map<QString, int> outcomes_;
};
