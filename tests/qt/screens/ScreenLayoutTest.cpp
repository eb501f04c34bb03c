// The flow fits every window and every text size: on a desktop, a kiosk or
// a tablet the screens of text, rows and buttons keep a readable column of
// 600 points, centred, over a background that fills the window; with the
// application's font at twice its size the flow's text doubles, and no
// text of any screen (the capture screens included) is cut off, runs off
// the window or lies over another. Every screen is photographed at each
// size (layout_<size>_<screen>.png in the screenshot folder).
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QCalendarWidget>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <algorithm>
#include <functional>

#include "CaptureScreenSupport.h"
#include "DevServerTestSupport.h"
#include "FlowScreenSupport.h"
#include "ovira/OVIRALocalization.h"
#include "resources/FontConvertible.h"
#include "resources/Localized.h"
#include "screens/base/ScreenLayout.h"
#include "screens/confirm/EKYCConfirmViewController.h"
#include "screens/confirm/EKYCVerifyTableViewCell.h"
#include "screens/datepicker/EKYCDatePickerViewController.h"
#include "screens/guide/EKYCGuideCaptureDocumentViewController.h"
#include "screens/guide/EKYCGuideFaceCollectionViewCell.h"
#include "screens/guide/EKYCGuideFaceViewController.h"
#include "screens/information/EKYCInfomationDocumentTableViewCell.h"
#include "screens/introduce/EKYCIntroduceTableViewCell.h"
#include "screens/photoerror/EKYCPreviewPhotoErrorViewController.h"
#include "screens/review/EKYCReviewPhotographViewController.h"
#include "screens/selection/EKYCSelectionViewController.h"
#include "sdk/EKYCUserDefault.h"
#include "ui/controller/NavigationBar.h"
#include "ui/controller/PresentationController.h"

namespace ovira {
namespace {

using FieldType = EKYCInfomationDocument::FieldType;
using Row = EKYCInfomationDocumentTableViewCell;
using Type = EkycTypeDocument;

const QSize phone(390, 844);
const QSize desktop(1280, 800);
const QSize tablet(800, 1280);

QString sizeName(QSize size) {
    return QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
}

// The application's font at `percent` of its size while it lives, as a
// host or its user sets it.
class ApplicationTextSize {
public:
    explicit ApplicationTextSize(int percent) : saved_(QApplication::font()) {
        QFont font = saved_;
        if (font.pointSizeF() > 0)
            font.setPointSizeF(font.pointSizeF() * percent / 100);
        else
            font.setPixelSize(font.pixelSize() * percent / 100);
        QApplication::setFont(font);
    }
    ~ApplicationTextSize() { QApplication::setFont(saved_); }

private:
    QFont saved_;
};

// Text a widget shows, and whether it is one of the widgets this file checks.
QString shownText(const QWidget* widget) {
    if (const auto* label = qobject_cast<const QLabel*>(widget))
        return label->textFormat() == Qt::RichText ? QString() : label->text();
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) return button->text().trimmed();
    if (const auto* field = qobject_cast<const QLineEdit*>(widget))
        return field->text().isEmpty() ? field->placeholderText() : field->text();
    return {};
}

bool showsText(const QWidget* widget) {
    return widget->isVisible() && !shownText(widget).isEmpty();
}

// Whether `widget` lies in a scrolling list, whose viewport shows part of it.
bool scrolls(const QWidget* widget) {
    for (const QWidget* up = widget->parentWidget(); up; up = up->parentWidget())
        if (qobject_cast<const QAbstractScrollArea*>(up)) return true;
    return false;
}

// Every text of the window that does not fit where it is drawn, lies over
// another text or runs off the window, described.
QStringList textFaults(QWidget* window) {
    QStringList faults;
    const auto describe = [](const QWidget* widget) {
        return QStringLiteral("%1 \"%2\"").arg(widget->objectName().isEmpty() ? widget->metaObject()->className()
                                                                               : widget->objectName(),
                                                 shownText(widget).left(40));
    };
    const auto widgets = window->findChildren<QWidget*>();
    for (QWidget* widget : widgets) {
        // A calendar draws its days and weekdays itself, in columns at least
        // as wide as its least size: narrower, it cuts columns off.
        if (auto* calendar = qobject_cast<QCalendarWidget*>(widget); calendar && calendar->isVisible()) {
            const QSize least = calendar->minimumSizeHint();
            if (least.width() > calendar->width() || least.height() > calendar->height())
                faults << QStringLiteral("the calendar needs %1 x %2 points, has %3 x %4")
                              .arg(least.width())
                              .arg(least.height())
                              .arg(calendar->width())
                              .arg(calendar->height());
        }
        if (!showsText(widget)) continue;
        const QString text = shownText(widget);
        const QFontMetrics metrics(widget->font());
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            const QRect room = label->contentsRect().marginsRemoved(QMargins(label->margin(), label->margin(),
                                                                             label->margin(), label->margin()));
            const int flags = static_cast<int>(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0);
            const QRect needed = metrics.boundingRect(room, flags, text);
            if (needed.height() > room.height())
                faults << QStringLiteral("%1 needs %2 points of height, has %3")
                              .arg(describe(label))
                              .arg(needed.height())
                              .arg(room.height());
            if (!label->wordWrap() && metrics.horizontalAdvance(text) > room.width())
                faults << QStringLiteral("%1 needs %2 points of width, has %3")
                              .arg(describe(label))
                              .arg(metrics.horizontalAdvance(text))
                              .arg(room.width());
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            const QRect needed = metrics.boundingRect(QRect(0, 0, 100000, 100000), Qt::AlignLeft | Qt::AlignTop, text);
            const int icon = button->icon().isNull() ? 0 : button->iconSize().width() + 4;
            if (needed.height() > button->height() || needed.width() + icon > button->width())
                faults << QStringLiteral("%1 needs %2 x %3 points, has %4 x %5")
                              .arg(describe(button))
                              .arg(needed.width() + icon)
                              .arg(needed.height())
                              .arg(button->width())
                              .arg(button->height());
        } else if (auto* field = qobject_cast<QLineEdit*>(widget)) {
            if (metrics.height() > field->contentsRect().height())
                faults << QStringLiteral("%1 needs %2 points of height, has %3")
                              .arg(describe(field))
                              .arg(metrics.height())
                              .arg(field->contentsRect().height());
        }
        // On the window, unless a list shows part of it as it scrolls.
        const QRect onWindow(widget->mapTo(window, QPoint(0, 0)), widget->size());
        if (!scrolls(widget) && !window->rect().contains(onWindow))
            faults << QStringLiteral("%1 lies at %2,%3 %4x%5, off the window")
                          .arg(describe(widget))
                          .arg(onWindow.x())
                          .arg(onWindow.y())
                          .arg(onWindow.width())
                          .arg(onWindow.height());
    }
    // No two parts of a screen side by side that show text (themselves or
    // inside them: a list, a bar, a card) overlap; screens and the layers
    // that present them lie over one another by design.
    const auto carriesText = [](QWidget* widget) {
        if (!widget->isVisible() || qobject_cast<ViewController*>(widget) ||
            qobject_cast<PresentationController*>(widget))
            return false;
        if (showsText(widget)) return true;
        const auto inside = widget->findChildren<QWidget*>();
        return std::any_of(inside.begin(), inside.end(), [](QWidget* child) { return showsText(child); });
    };
    for (QWidget* parent : QList<QWidget*>{window} + widgets) {
        QList<QWidget*> texts;
        for (QObject* child : parent->children())
            if (auto* widget = qobject_cast<QWidget*>(child); widget && carriesText(widget)) texts.append(widget);
        for (qsizetype a = 0; a < texts.size(); ++a)
            for (qsizetype b = a + 1; b < texts.size(); ++b)
                if (texts[a]->geometry().intersects(texts[b]->geometry()))
                    faults << QStringLiteral("%1 overlaps %2").arg(describe(texts[a]), describe(texts[b]));
    }
    return faults;
}

// The widgets that carry a screen's content: its rows, buttons, texts and
// text boxes, as they lie on the window (lists: their rows; sheets: their panel).
QList<QWidget*> contentOf(ViewController* screen) {
    QList<QWidget*> content;
    for (QWidget* widget : screen->findChildren<QWidget*>()) {
        if (!widget->isVisible() || widget->width() == 0) continue;
        if (qobject_cast<QPushButton*>(widget) || qobject_cast<QLineEdit*>(widget) ||
            (qobject_cast<QLabel*>(widget) && !shownText(widget).isEmpty()) ||
            qobject_cast<QAbstractScrollArea*>(widget))
            content.append(widget);
    }
    return content;
}

class ScreenLayout : public test::CaptureFlowTest {
protected:

    // A new host window of `size`; what the flow showed in the last one is gone.
    void useWindow(QSize size) {
        window.reset();
        test::settle();
        window = test::makeHostWindow(size);
        size_ = size;
    }
    void closeFlow() {
        window->dismiss(false);
        test::settle();
    }
    // Photographs the window and checks its texts.
    void look(const QString& screen) {
        test::settle();
        const QString name = QStringLiteral("layout_%1%2_%3").arg(sizeName(size_), suffix_, screen);
        test::saveScreenshot(window->window(), name);
        if (checksText_) {
            const QStringList faults = textFaults(window->window());
            EXPECT_TRUE(faults.isEmpty()) << name.toStdString() << ":\n" << faults.join(QLatin1Char('\n')).toStdString();
        }
    }

    // A sheet's panel is as tall as what it shows needs at its width: nothing
    // of it cut off, no gap stretched into it.
    static void expectPanelFits(const QWidget* panel, const QString& name) {
        EXPECT_EQ(panel->height(), heightAtWidth(panel, panel->width())) << name.toStdString();
    }

    // Each of the flow's screens in turn; `visit` sees each shown, with its name.
    void walkTextScreens(const std::function<void(const QString&, ViewController*)>& visit) {
        // The first screen, and the question whether to leave.
        openFlow();
        visit(QStringLiteral("document_choice"), introduce);
        introduce->didTapClose();
        test::settle();
        look(QStringLiteral("close_dialog"));
        closeFlow();

        // The rejected photograph and its guides.
        auto* rejected = test::makeScreen<EKYCPreviewPhotoErrorViewController>(
            front, std::string("Ảnh bị mờ, vui lòng chụp lại ở nơi đủ ánh sáng và giữ máy thật chắc."),
            EKYCStep::back, Type::idCard);
        openFlow()->pushViewController(rejected, false);
        test::settle();
        visit(QStringLiteral("photo_rejected"), rejected);
        auto* documentGuide = EKYCGuideCaptureDocumentViewController::show(*rejected);
        test::settle();
        visit(QStringLiteral("document_guide"), documentGuide);
        expectPanelFits(documentGuide->sheetPanel(), QStringLiteral("document_guide"));
        documentGuide->dismiss(false);
        test::settle();
        auto* faceGuide = EKYCGuideFaceViewController::show(*rejected);
        test::settle();
        visit(QStringLiteral("face_guide"), faceGuide);
        expectPanelFits(faceGuide->sheetPanel(), QStringLiteral("face_guide"));
        faceGuide->dismiss(false);
        closeFlow();

        // The accepted photographs and the review of one.
        auto* confirm =
            test::makeScreen<EKYCConfirmViewController>(Type::idCard, EKYCImages{front, back, face});
        openFlow()->pushViewController(confirm, false);
        test::settle();
        visit(QStringLiteral("confirm"), confirm);
        const auto photographs = test::rowsOf<EKYCVerifyTableViewCell>(confirm->tableView);
        ASSERT_FALSE(photographs.isEmpty());
        test::tap(photographs.front()->btnPreviewPhoto);
        auto* review = qobject_cast<EKYCReviewPhotographViewController*>(navigation->topViewController());
        ASSERT_NE(review, nullptr);
        visit(QStringLiteral("review"), review);
        closeFlow();

        // The form from the service, its lists and its date picker.
        devserver::test::acceptIdentityCard(*server, EKYCUserDefault::transactionId().value());
        auto* form = test::makeScreen<EKYCInfomationDocumentViewController>();
        openFlow()->pushViewController(form, false);
        ASSERT_TRUE(test::formFetched(form));
        visit(QStringLiteral("form"), form);
        const auto sheetOf = [&](FieldType type) -> ViewController* {
            const int index = test::editableRow(form, type);
            if (index < 0) return nullptr;
            test::tap(test::cellInView<Row>(form->tableView, index)->btnSelected);
            return test::topPresented(form);
        };
        auto* genders = qobject_cast<EKYCSelectionViewController*>(sheetOf(FieldType::gender));
        ASSERT_NE(genders, nullptr);
        visit(QStringLiteral("gender_list"), genders);
        expectPanelFits(genders->sheetPanel(), QStringLiteral("gender_list"));
        genders->clickedClose();
        test::settle();
        auto* countries = qobject_cast<EKYCSelectionViewController*>(sheetOf(FieldType::country));
        ASSERT_NE(countries, nullptr);
        ASSERT_TRUE(test::waitUntil([&] { return !countries->isLoading(); }));
        visit(QStringLiteral("country_list"), countries);
        expectPanelFits(countries->sheetPanel(), QStringLiteral("country_list"));
        countries->clickedClose();
        test::settle();
        auto* picker = qobject_cast<EKYCDatePickerViewController*>(sheetOf(FieldType::date));
        ASSERT_NE(picker, nullptr);
        visit(QStringLiteral("date_picker"), picker);
        expectPanelFits(picker->sheetPanel(), QStringLiteral("date_picker"));
        picker->clickedClose();
        closeFlow();
    }

    // Every screen of text at `size`: its content lies in a column of at
    // most 600 points in the middle of the window, and uses it; beside the
    // column, the screen's own background fills the window.
    void expectCentredColumn(QSize size) {
        SCOPED_TRACE(sizeName(size).toStdString());
        useWindow(size);
        walkTextScreens([&](const QString& name, ViewController* screen) {
            look(name);
            SCOPED_TRACE(name.toStdString());
            const int column = std::min(readableContentWidth, size.width());
            const int left = (size.width() - column) / 2;
            int widest = 0;
            QStringList outside;
            for (QWidget* widget : contentOf(screen)) {
                const QRect onWindow(widget->mapTo(window->window(), QPoint(0, 0)), widget->size());
                if (onWindow.left() < left || onWindow.right() > left + column - 1)
                    outside << QStringLiteral("%1 from %2 to %3")
                                   .arg(widget->objectName().isEmpty() ? widget->metaObject()->className()
                                                                       : widget->objectName())
                                   .arg(onWindow.left())
                                   .arg(onWindow.right());
                widest = std::max(widest, onWindow.width());
            }
            EXPECT_TRUE(outside.isEmpty()) << "outside " << left << " to " << left + column - 1 << ":\n"
                                           << outside.join(QLatin1Char('\n')).toStdString();
            EXPECT_GE(widest, column - 2 * 24) << "the column is used";
            // Beside the column: the screen's own background (white, or the
            // review's dark one), not the host's.
            if (size.width() > readableContentWidth && (qobject_cast<EKYCPreviewPhotoErrorViewController*>(screen) ||
                                                        qobject_cast<EKYCReviewPhotographViewController*>(screen))) {
                const QColor own = screen->palette().color(QPalette::Window);
                EXPECT_EQ(test::pixelAt(window->window(), QPoint(8, size.height() / 2)), own);
                EXPECT_EQ(test::pixelAt(window->window(), QPoint(size.width() - 8, size.height() / 2)), own);
            }
        });
    }

    // The screens over the camera, the document's and the face's.
    void walkCaptureScreens() {
        for (const EKYCStep step : {EKYCStep::front, EKYCStep::face}) {
            auto* screen = openScreen(step, Type::idCard,
                                      step == EKYCStep::face ? EKYCImages{front, back} : EKYCImages{});
            waitUntilOnline(screen);
            test::showFrame(screen);
            look(step == EKYCStep::face ? QStringLiteral("capture_face") : QStringLiteral("capture_document"));
            closeFlow();
        }
    }

    QSize size_ = phone;
    QString suffix_;
    bool checksText_ = false;
    const ImagePtr front = test::cardPhoto(QColor(0x1E, 0x6F, 0xD9));
    const ImagePtr back = test::cardPhoto(QColor(0x2E, 0x9E, 0x6B));
    const ImagePtr face = QImageAdapter::make(QImage(QString::fromStdString(test::testData("astronaut.png"))));
};

TEST_F(ScreenLayout, TheFlowsTextFollowsTheApplicationsFontSizeFromItsDesignUpToThreeTimes) {
    EXPECT_DOUBLE_EQ(textScale(), 1.0);
    EXPECT_EQ(systemFont(14).pixelSize(), 14);
    {
        ApplicationTextSize doubled(200);
        EXPECT_DOUBLE_EQ(textScale(), 2.0);
        EXPECT_EQ(systemFont(14).pixelSize(), 28);
        EXPECT_EQ(boldSystemFont(15).pixelSize(), 30);
        // A screen built now shows its text twice as large.
        openFlow();
        EXPECT_EQ(introduce->lbSelectDocument->font().pixelSize(), 24);
        EXPECT_EQ(test::rowsOf<EKYCIntroduceTableViewCell>(introduce->tableView).value(0)->lbDocument->font().pixelSize(), 28);
        closeFlow();
    }
    {
        ApplicationTextSize smaller(80);
        EXPECT_DOUBLE_EQ(textScale(), 1.0) << "never below the design's sizes";
        EXPECT_EQ(systemFont(14).pixelSize(), 14);
    }
    {
        ApplicationTextSize huge(500);
        EXPECT_DOUBLE_EQ(textScale(), 3.0);
        EXPECT_EQ(systemFont(10).pixelSize(), 30);
    }
    EXPECT_DOUBLE_EQ(textScale(), 1.0) << "back with the application's own font";
}

// At 1280 x 800 and 800 x 1280 the content of every screen of text lies in
// a column of 600 points in the middle of the window; the screen's own
// background fills the window on either side.
TEST_F(ScreenLayout, ADesktopShowsEveryTextScreenInACentredColumnOverAFullBackground) {
    expectCentredColumn(desktop);
}

TEST_F(ScreenLayout, ATabletShowsEveryTextScreenInACentredColumnOverAFullBackground) {
    expectCentredColumn(tablet);
}

// On a phone the content spans the window, as before.
TEST_F(ScreenLayout, OnAPhoneEveryTextScreenSpansTheWindow) {
    expectCentredColumn(phone);
}

// The rows of the form and of the first screen sit side by side with the
// column on a desktop: one of each, with its button, measured exactly.
TEST_F(ScreenLayout, OnADesktopTheFormsRowsAndButtonFillTheCentredColumnExactly) {
    useWindow(desktop);
    devserver::test::acceptIdentityCard(*server, EKYCUserDefault::transactionId().value());
    auto* form = test::makeScreen<EKYCInfomationDocumentViewController>();
    openFlow()->pushViewController(form, false);
    ASSERT_TRUE(test::formFetched(form));
    const int left = (desktop.width() - readableContentWidth) / 2;
    for (QWidget* row : form->tableView->rows()) {
        const QPoint origin = row->mapTo(window->window(), QPoint(0, 0));
        EXPECT_EQ(origin.x(), left);
        // The list's scroll bar, when it shows, takes its width from the column.
        EXPECT_LE(row->width(), readableContentWidth);
        EXPECT_GE(row->width(), readableContentWidth - 20);
    }
    const QRect button(form->btnCompletionEkyc->mapTo(window->window(), QPoint(0, 0)), form->btnCompletionEkyc->size());
    EXPECT_EQ(button, QRect(left + 16, button.y(), readableContentWidth - 32, button.height()));
    // A narrower window shrinks the column with it.
    window->resize(500, 800);
    test::settle();
    EXPECT_EQ(form->btnCompletionEkyc->width(), 500 - 32);
    EXPECT_EQ(form->tableView->rows().value(0)->mapTo(window->window(), QPoint(0, 0)).x(), 0);
}

// Twice the text on a phone, in both languages, and on a desktop: every
// text of every screen fits where it is drawn, on the window, clear of
// the others.
TEST_F(ScreenLayout, AtTwiceTheTextNoTextOfThePhonesTextScreensIsCutOffOrOverlapsInEitherLanguage) {
    ApplicationTextSize doubled(200);
    checksText_ = true;
    for (const auto& language : {OVIRALanguage::vietnamese(), OVIRALanguage::english()}) {
        ASSERT_TRUE(OVIRALocalization::setLanguage(language));
        SCOPED_TRACE(language.code());
        suffix_ = QStringLiteral("_text200_") + QString::fromStdString(language.code());
        useWindow(phone);
        walkTextScreens([&](const QString& name, ViewController*) { look(name); });
    }
}

TEST_F(ScreenLayout, AtTwiceTheTextNoTextOfTheDesktopsTextScreensIsCutOffOrOverlaps) {
    ApplicationTextSize doubled(200);
    checksText_ = true;
    suffix_ = QStringLiteral("_text200");
    useWindow(desktop);
    walkTextScreens([&](const QString& name, ViewController*) { look(name); });
}

TEST_F(ScreenLayout, AtTwiceTheTextTheCaptureScreensKeepTheirTitleAndGuideWhole) {
    {
        ApplicationTextSize doubled(200);
        checksText_ = true;
        suffix_ = QStringLiteral("_text200");
        for (const QSize size : {phone, desktop}) {
            useWindow(size);
            walkCaptureScreens();
        }
    }
    // And at the design's text size, for the record.
    checksText_ = false;
    suffix_.clear();
    for (const QSize size : {phone, desktop, tablet}) {
        useWindow(size);
        walkCaptureScreens();
    }
}

}  // namespace
}  // namespace ovira
