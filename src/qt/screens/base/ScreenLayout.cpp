#include "screens/base/ScreenLayout.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPushButton>
#include <QStringList>

namespace ovira {
namespace {

// What a button's style leaves of its width for the title: the flow's
// buttons have 16 points of padding on either side, and an icon beside the
// title takes its width and a gap.
int titleWidth(const QPushButton* button) {
    int width = button->width() - 2 * 16;
    if (!button->icon().isNull()) width -= button->iconSize().width() + 8;
    return std::max(1, width);
}

QString wrapped(const QString& text, const QFontMetrics& metrics, int width) {
    QStringList lines;
    QString line;
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString longer = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
        if (!line.isEmpty() && metrics.horizontalAdvance(longer) > width) {
            lines.append(line);
            line = word;
        } else {
            line = longer;
        }
    }
    if (!line.isEmpty()) lines.append(line);
    return lines.join(QLatin1Char('\n'));
}

// Keeps a button's title wrapped to its width as the width or the font changes.
class TitleWrapper : public QObject {
public:
    TitleWrapper(QPushButton* button, QString text) : QObject(button), button_(button), text_(std::move(text)) {
        setObjectName(QString::fromLatin1(name));
        button->installEventFilter(this);
    }
    static constexpr const char* name = "oviraTitleWrapper";
    void setText(const QString& text) {
        text_ = text;
        apply();
    }
    void apply() {
        const QString shown = button_->width() > 0 ? wrapped(text_, QFontMetrics(button_->font()), titleWidth(button_))
                                                   : text_;
        if (button_->text() != shown) button_->setText(shown);
        button_->setAccessibleName(text_);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == button_ && (event->type() == QEvent::Resize || event->type() == QEvent::FontChange))
            apply();
        return QObject::eventFilter(watched, event);
    }

private:
    QPushButton* button_;
    QString text_;
};

}  // namespace

void setWrappingText(QPushButton* button, const QString& text) {
    auto* wrapper = static_cast<TitleWrapper*>(
        button->findChild<QObject*>(QString::fromLatin1(TitleWrapper::name), Qt::FindDirectChildrenOnly));
    if (!wrapper) {
        wrapper = new TitleWrapper(button, text);
        QSizePolicy policy = button->sizePolicy();
        policy.setHorizontalPolicy(QSizePolicy::Ignored);
        button->setSizePolicy(policy);
    }
    wrapper->setText(text);
}

}  // namespace ovira
