#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

namespace ovira {

// A font of the library: its name, family and the file in the resource
// bundle that carries it.
class FontConvertible {
public:
    FontConvertible(QString name, QString family, QString fileName);

    static const FontConvertible& robotoRegular();  // "Roboto-Regular", "Roboto", "Roboto-Regular.ttf"
    static const FontConvertible& robotoBold();     // "Roboto-Bold", "Roboto", "Roboto-Bold.ttf"

    const QString& name() const { return name_; }
    const QString& family() const { return family_; }
    const QString& fileName() const { return fileName_; }

    // The font at `size` points. Registers the bundle's file on first use;
    // stops the library with "Unable to initialize font '<name>' (<family>)"
    // when no such font can be had. GUI thread.
    QFont font(qreal size) const;

    // The font files registered so far in this process, in order.
    static QStringList registeredFiles();

private:
    void registerIfNeeded() const;

    QString name_;
    QString family_;
    QString fileName_;
};

// How much larger than its design the flow draws its text: the application
// font's size over the platform's own general font size, so that a host (or
// its user) that enlarges the application's font enlarges the flow's text by
// as much. Never below 1 (the design's sizes are the smallest the flow
// shows) nor above 3. Read when a screen is built, like the theme. GUI thread.
qreal textScale();
// A design size of text in points, in the current text scale.
qreal scaledTextSize(qreal size);

// The library's interface font at a size in points (of the design, before
// the text scale) and a weight: the theme's typeface when the system has it,
// else Roboto, the library's own. GUI thread.
QFont systemFont(qreal size, QFont::Weight weight = QFont::Normal);
QFont boldSystemFont(qreal size);

}  // namespace ovira
