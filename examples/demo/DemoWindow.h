#pragma once

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

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

public Q_SLOTS:
    // The library reported a finished verification.
    void showSession(const QString& sessionId);

private:
    void chooseLanguage(int index);
    void chooseCamera(int index);

    QComboBox* language_;
    QComboBox* camera_;
    QPushButton* start_;
    QLabel* session_;
    QString sessionId_;
};
