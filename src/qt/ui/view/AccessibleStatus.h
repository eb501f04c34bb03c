#pragma once

#include <QString>
#include <QWidget>

namespace ovira {

// A status line for assistive technologies: what the flow says of a state
// that shows on screen only by colour or motion (the face circle turning
// blue or red, the spinner of a screen at work). It draws nothing; screen
// readers see an object of role Notification whose name is the status and
// whose description says what follows from it.
//
// Qt 6.4 has no announcement event. The event every platform bridge
// forwards is a changed name (AT-SPI's accessible-name property change,
// UI Automation's Name property change, macOS's title change), so a status
// announces by changing its name: announce() sends one NameChanged event
// (after a DescriptionChanged when the detail changes too), and nothing
// when the status is already the one given, so that a state reported again
// and again (the face check runs on every frame) is spoken once.
class AccessibleStatus : public QWidget {
    Q_OBJECT
public:
    explicit AccessibleStatus(QWidget* parent = nullptr);

    // The status read out now; empty when there is nothing to say.
    const QString& status() const { return status_; }
    const QString& detail() const { return detail_; }

    // Makes `status` (and `detail`) the status and tells assistive
    // technologies; false, sending nothing, when it already is.
    bool announce(const QString& status, const QString& detail = {});
    // Forgets the status without a word, so that the next announcement is
    // a change again (a state that ended needs no announcement of its own).
    void clear();

private:
    QString status_;
    QString detail_;
};

}  // namespace ovira
