// The contrast of every text of the flow against what it is drawn on, as
// WCAG 2.1 measures it: 4.5:1, or 3:1 for large text (18 pt, or 14 pt
// bold; a CSS point is 4/3 of a logical pixel). The text's colour is the
// one the screen gave the widget (palette or style sheet, checked against
// the drawn glyphs); the background is what the window shows behind the
// widget once its text is taken away, so cards, sheets, the bar's artwork
// and a camera picture all count as they are drawn.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QCalendarWidget>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <cmath>
#include <iomanip>
#include <optional>
#include <sstream>

#include "AccessibilitySupport.h"
#include "CaptureScenes.h"
#include "CaptureScreenSupport.h"
#include "DevServerTestSupport.h"
#include "FlowScreenSupport.h"
#include "capture/EKYCCameraView.h"
#include "resources/ColorAsset.h"
#include "resources/Localized.h"
#include "screens/confirm/EKYCConfirmViewController.h"
#include "screens/confirm/EKYCVerifyTableViewCell.h"
#include "screens/datepicker/EKYCDatePickerViewController.h"
#include "screens/guide/EKYCGuideCaptureDocumentViewController.h"
#include "screens/guide/EKYCGuideFaceCollectionViewCell.h"
#include "screens/guide/EKYCGuideFaceViewController.h"
#include "screens/guide/EKYCGuideTableViewCell.h"
#include "screens/information/EKYCInfomationDocumentTableViewCell.h"
#include "screens/introduce/EKYCIntroduceTableViewCell.h"
#include "screens/photoerror/EKYCPreviewPhotoErrorViewController.h"
#include "screens/review/EKYCReviewPhotographViewController.h"
#include "screens/selection/EKYCSelectionViewController.h"
#include "sdk/EKYCUserDefault.h"
#include "ui/controller/NavigationBar.h"

namespace ovira {
namespace {

using Type = EkycTypeDocument;

// WCAG 2.1: the relative luminance of an sRGB colour.
double relativeLuminance(const QColor& color) {
    const auto linear = [](int channel) {
        const double c = channel / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(color.red()) + 0.7152 * linear(color.green()) + 0.0722 * linear(color.blue());
}

double contrastRatio(const QColor& a, const QColor& b) {
    const double la = relativeLuminance(a), lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// `color` with its alpha drawn over the opaque `background`.
QColor over(const QColor& color, const QColor& background) {
    const double alpha = color.alphaF();
    const auto mix = [alpha](int top, int under) { return static_cast<int>(std::lround(alpha * top + (1 - alpha) * under)); };
    return QColor(mix(color.red(), background.red()), mix(color.green(), background.green()),
                  mix(color.blue(), background.blue()));
}

// Large text: 18 pt, or 14 pt bold, a point being 4/3 of a logical pixel.
bool isLarge(const QFont& font) {
    const double points = (font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF() * 4 / 3) * 0.75;
    return points >= 18 || (font.bold() && points >= 14);
}

QColor pixelOf(const QImage& image, QPointF logical) {
    const qreal ratio = image.devicePixelRatio();
    return image.pixelColor(static_cast<int>(logical.x() * ratio), static_cast<int>(logical.y() * ratio));
}

// The most frequent of some colours (the first on a tie).
QColor mostFrequent(const std::vector<QColor>& colors) {
    QColor best;
    long bestCount = -1;
    for (const QColor& color : colors) {
        const long count = std::count(colors.begin(), colors.end(), color);
        if (count > bestCount) best = color, bestCount = count;
    }
    return best;
}

// The pixels of `widget` on screen within a small distance of `color`.
int pixelsNear(QWidget* widget, const QColor& color) {
    const QImage image = widget->grab().toImage();
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (std::abs(pixel.red() - color.red()) + std::abs(pixel.green() - color.green()) +
                    std::abs(pixel.blue() - color.blue()) <=
                48)
                ++count;
        }
    return count;
}

class Contrast : public test::CaptureFlowTest {
protected:
    void TearDown() override {
        // The measured pairs, for the record (ctest -V or --output-on-failure shows them).
        for (const auto& line : table) std::printf("%s\n", line.c_str());
        CaptureFlowTest::TearDown();
    }
    void closeFlow() {
        window->dismiss(false);
        test::settle();
    }

    // What lies behind a widget's text: the window drawn with the text
    // taken away, at three points across the middle of the widget (the
    // most frequent, so that an icon in the middle does not count).
    template <class Widget>
    QColor behindText(Widget* widget) {
        const QString text = widget->text();
        widget->setText(QString());
        QString placeholder;
        if constexpr (std::is_base_of_v<QLineEdit, Widget>) {
            placeholder = widget->placeholderText();
            widget->setPlaceholderText(QString());
        }
        QWidget* top = widget->window();
        const QImage image = top->grab().toImage();
        widget->setText(text);
        if constexpr (std::is_base_of_v<QLineEdit, Widget>) widget->setPlaceholderText(placeholder);
        std::vector<QColor> samples;
        for (const double across : {0.25, 0.5, 0.75})
            samples.push_back(pixelOf(image, widget->mapTo(top, QPointF(widget->width() * across, widget->height() / 2.0))));
        return mostFrequent(samples);
    }

    // Checks a text widget: its text colour, as given to it and as drawn,
    // against what lies behind it.
    // `declared` stands for the palette's colour where a style sheet of the
    // widget's own draws the text in another.
    template <class Widget>
    void check(const std::string& what, Widget* widget, std::optional<QColor> declared = std::nullopt) {
        ASSERT_NE(widget, nullptr) << what;
        ASSERT_TRUE(widget->isVisible()) << what;
        ASSERT_FALSE(widget->text().isEmpty()) << what;
        const QColor background = behindText(widget);
        const QColor text = over(declared.value_or(widget->palette().color(widget->foregroundRole())), background);
        EXPECT_GT(pixelsNear(widget, text), 3) << what << ": the glyphs are drawn in " << text.name().toStdString();
        record(what, text, background, isLarge(widget->font()));
    }

    // Records and checks one pair of colours.
    void record(const std::string& what, const QColor& text, const QColor& background, bool large) {
        const double ratio = contrastRatio(text, background);
        const double required = large ? 3.0 : 4.5;
        EXPECT_GE(ratio, required) << what << ": " << text.name().toStdString() << " on "
                                   << background.name().toStdString();
        std::ostringstream line;
        line << std::left << std::setw(44) << what << text.name().toStdString() << " on "
             << background.name().toStdString() << "  " << std::fixed << std::setprecision(2) << ratio
             << (large ? "  (large, 3:1)" : "");
        table.push_back(line.str());
    }

    std::vector<std::string> table;
};

TEST_F(Contrast, TheFirstScreenItsBarAndTheCloseDialog) {
    openFlow();
    auto* screen = introduce;
    check("steps title on the card", screen->lbStep);
    for (QLabel* step : {screen->lbSelectDocument, screen->lbCaptureDocument, screen->lbCaptrueFace,
                         screen->lbCheckInfomation})
        check("step on the card", step);
    for (QLabel* badge : {screen->lbStepNumber1, screen->lbStepNumber4}) check("step number on its badge", badge);
    check("documents heading on the page", screen->lbSubTitleSelect);
    const auto rows = test::rowsOf<EKYCIntroduceTableViewCell>(screen->tableView);
    ASSERT_EQ(rows.size(), 3);
    check("document name on its card", rows[0]->lbDocument);

    screen->didTapClose();
    test::settle();
    auto* dialog = test::dialogContent(test::presentedAlert(screen));
    ASSERT_NE(dialog, nullptr);
    check("dialog title", dialog->labelTitle);
    check("dialog message", dialog->labelMessage);
    for (auto* button : dialog->actionButtons()) check("dialog button " + button->text().toStdString(), button);
}

// The bar's title is white on the bar's artwork, a gradient: every pixel of
// the artwork behind the words of every title of the flow counts.
TEST_F(Contrast, TheBarTitleOverTheBarArtworkInBothLanguages) {
    for (const auto& language : test::bothLanguages()) {
        ASSERT_TRUE(OVIRALocalization::setLanguage(language));
        openFlow();
        auto* bar = navigation->navigationBar();
        QImage artwork(bar->size() * 2, QImage::Format_ARGB32_Premultiplied);
        artwork.setDevicePixelRatio(2);
        artwork.fill(Qt::transparent);
        bar->render(&artwork, QPoint(), QRegion(), QWidget::DrawWindowBackground);  // the bar alone, no title
        QLabel* title = bar->titleLabel();
        const QColor white = title->palette().color(QPalette::WindowText);
        for (const char* key : {"intro.select", "verify.title", "info.infomation"}) {
            const QString text = localizedText(key);
            const QFontMetrics metrics(title->font());
            QRect words = metrics.boundingRect(title->rect(), Qt::AlignCenter, text);
            words.translate(title->pos());
            ASSERT_TRUE(bar->rect().contains(words)) << key;
            QColor lightest;
            double worst = 100;
            for (int y = words.top(); y <= words.bottom(); ++y)
                for (int x = words.left(); x <= words.right(); ++x) {
                    const QColor under = pixelOf(artwork, QPointF(x + 0.5, y + 0.5));
                    if (contrastRatio(white, under) < worst) worst = contrastRatio(white, under), lightest = under;
                }
            record(std::string("bar title ") + language.code() + " " + key, white, lightest, isLarge(title->font()));
        }
        closeFlow();
    }
}

TEST_F(Contrast, ThePhotographScreensAndTheGuides) {
    const ImagePtr front = test::cardPhoto(QColor(0x1E, 0x6F, 0xD9));
    const ImagePtr face = QImageAdapter::make(QImage(QString::fromStdString(test::testData("astronaut.png"))));
    auto* confirm = test::makeScreen<EKYCConfirmViewController>(Type::passport, EKYCImages{front, face});
    openFlow()->pushViewController(confirm, false);
    test::settle();
    for (QLabel* header : confirm->findChildren<QLabel*>(QStringLiteral("lbHeader"))) check("group heading", header);
    const auto rows = test::rowsOf<EKYCVerifyTableViewCell>(confirm->tableView);
    ASSERT_FALSE(rows.isEmpty());
    check("valid mark on the photograph card", rows[0]->lbStateImage);
    check("continue button", confirm->btnNext);

    test::tap(rows[0]->btnPreviewPhoto);
    auto* review = qobject_cast<EKYCReviewPhotographViewController*>(navigation->topViewController());
    ASSERT_NE(review, nullptr);
    check("review title on the dark page", review->lbTitle);
    check("review page number on the dark page", review->lbPage);
    closeFlow();

    auto* rejected = test::makeScreen<EKYCPreviewPhotoErrorViewController>(front, std::string("Ảnh bị mờ"),
                                                                           EKYCStep::front, Type::idCard);
    openFlow()->pushViewController(rejected, false);
    test::settle();
    check("rejection title", rejected->lbTitle);
    check("service's reason in its red box", rejected->lbError);
    check("retake button", rejected->btnRetakePhoto);
    check("guide link", rejected->btnGuide);

    auto* documentGuide = EKYCGuideCaptureDocumentViewController::show(*rejected);
    test::settle();
    check("document guide title", documentGuide->lbTitle);
    const auto notes = test::rowsOf<EKYCGuideTableViewCell>(documentGuide->tableView);
    ASSERT_FALSE(notes.isEmpty());
    check("document guide note", notes[0]->lbGuide);
    check("document guide button", documentGuide->btnOke);
    documentGuide->dismiss(false);
    test::settle();

    auto* faceGuide = EKYCGuideFaceViewController::show(*rejected);
    test::settle();
    check("face guide title", faceGuide->lbTitle);
    auto* rule = qobject_cast<EKYCGuideFaceCollectionViewCell*>(faceGuide->collectionView->items().value(1));
    ASSERT_NE(rule, nullptr);
    check("face guide caption on its card", rule->lbGuide);
    check("face guide button", faceGuide->btnOk);
    faceGuide->dismiss(false);
    test::settle();
}

TEST_F(Contrast, TheFormItsListsItsDatePickerAndItsWarning) {
    devserver::test::acceptIdentityCard(*server, EKYCUserDefault::transactionId().value());
    auto* form = test::makeScreen<EKYCInfomationDocumentViewController>();
    openFlow()->pushViewController(form, false);
    ASSERT_TRUE(test::formFetched(form));
    check("document name on the page", form->lbDocumentName);
    check("completion button", form->btnCompletionEkyc);
    const auto& items = form->viewModel().items;
    bool sawLocked = false, sawEditable = false;
    for (int index = 0; index < static_cast<int>(items.size()); ++index) {
        const bool editable = items[static_cast<std::size_t>(index)].editable;
        if ((editable && sawEditable) || (!editable && sawLocked)) continue;
        auto* row = test::cellInView<EKYCInfomationDocumentTableViewCell>(form->tableView, index);
        ASSERT_NE(row, nullptr);
        check("field name", row->lbFieldName);
        check(editable ? "field value" : "field value that cannot change", row->tfFieldValue);
        (editable ? sawEditable : sawLocked) = true;
    }
    EXPECT_TRUE(sawEditable && sawLocked) << "the service's form has both kinds of rows";

    // The gender list: its title, the search box of the country list, entries as the delegate draws them.
    const int gender = test::editableRow(form, EKYCInfomationDocument::FieldType::gender);
    ASSERT_GE(gender, 0);
    test::tap(test::cellInView<EKYCInfomationDocumentTableViewCell>(form->tableView, gender)->btnSelected);
    auto* list = qobject_cast<EKYCSelectionViewController*>(test::topPresented(form));
    ASSERT_NE(list, nullptr);
    check("list title", list->lbTitle);
    // The delegate draws the current value in the primary colour, the others
    // in the text colour, on white or, under the keyboard's focus, on a light tint.
    const QImage rows = list->tableView->viewport()->grab().toImage();
    for (int row = 0; row < list->entries()->rowCount(); ++row) {
        const QModelIndex index = list->entries()->index(row, 0);
        const bool current = index.data(EKYCSelectionListModel::selectedRole).toBool();
        const QRect rect = list->tableView->visualRect(index);
        const QColor background = pixelOf(rows, QPointF(rect.left() + 6, rect.center().y()));
        const QColor text = current ? ColorAsset::primary().color() : ColorAsset::blackAAA().color();
        record(current ? "list entry, current value" : "list entry", text, background, false);
    }
    list->tableView->setFocus();
    list->tableView->setCurrentIndex(list->entries()->index(0, 0));
    test::settle();
    if (list->tableView->hasFocus()) {
        const QImage focused = list->tableView->viewport()->grab().toImage();
        for (int row = 0; row < list->entries()->rowCount(); ++row) {
            const QModelIndex index = list->entries()->index(row, 0);
            if (list->tableView->currentIndex() != index) continue;
            const QRect rect = list->tableView->visualRect(index);
            const QColor background = pixelOf(focused, QPointF(rect.left() + 6, rect.center().y()));
            EXPECT_NE(background, QColor(Qt::white)) << "the focused entry is set apart";
            for (const QColor& text : {ColorAsset::primary().color(), ColorAsset::blackAAA().color()})
                record("list entry under the keyboard's focus", text, background, false);
        }
    }
    list->clickedClose();
    test::settle();

    const int country = test::editableRow(form, EKYCInfomationDocument::FieldType::country);
    ASSERT_GE(country, 0);
    test::tap(test::cellInView<EKYCInfomationDocumentTableViewCell>(form->tableView, country)->btnSelected);
    auto* countries = qobject_cast<EKYCSelectionViewController*>(test::topPresented(form));
    ASSERT_NE(countries, nullptr);
    ASSERT_TRUE(test::waitUntil([&] { return !countries->isLoading(); }));
    // The placeholder "Search" before anything is typed, then what is typed.
    const QColor searchBackground = behindText(countries->tfSearch);
    const QColor searchPlaceholder = over(countries->tfSearch->palette().color(QPalette::PlaceholderText), searchBackground);
    EXPECT_GT(pixelsNear(countries->tfSearch, searchPlaceholder), 3)
        << "the placeholder is drawn in " << searchPlaceholder.name().toStdString();
    record("search box placeholder", searchPlaceholder, searchBackground, false);
    countries->tfSearch->setText(QStringLiteral("Việt"));
    test::settle();
    check("search box text", countries->tfSearch);
    countries->clickedClose();
    test::settle();

    const int date = test::editableRow(form, EKYCInfomationDocument::FieldType::date);
    ASSERT_GE(date, 0);
    test::tap(test::cellInView<EKYCInfomationDocumentTableViewCell>(form->tableView, date)->btnSelected);
    auto* picker = qobject_cast<EKYCDatePickerViewController*>(test::topPresented(form));
    ASSERT_NE(picker, nullptr);
    check("date picker title", picker->lbTitle);
    check("save button", picker->btnSave);
    // The calendar's own bar keeps its highlight colours in the palette; the
    // screen's style sheet draws its buttons in the text colour.
    auto* month = picker->datePicker->findChild<QToolButton*>(QStringLiteral("qt_calendar_monthbutton"));
    check("calendar month", month, ColorAsset::blackAAA().color());
    // Days: the text colour on the base, the chosen day on the highlight.
    const QPalette days = picker->datePicker->palette();
    auto* grid = picker->datePicker->findChild<QAbstractItemView*>(QStringLiteral("qt_calendar_calendarview"));
    ASSERT_NE(grid, nullptr);
    const QImage calendar = grid->viewport()->grab().toImage();
    record("calendar day", days.color(QPalette::Text), pixelOf(calendar, QPointF(2, calendar.height() / 2.0 / calendar.devicePixelRatio())), false);
    record("calendar chosen day", days.color(QPalette::HighlightedText), days.color(QPalette::Highlight), false);
    picker->clickedClose();
    test::settle();

    // The warning of an emptied field; then, the warning gone, the field's placeholder.
    const int name = test::editableRow(form, EKYCInfomationDocument::FieldType::string);
    auto* row = test::cellInView<EKYCInfomationDocumentTableViewCell>(form->tableView, name);
    test::tap(row->btnSelected);
    row->tfFieldValue->selectAll();
    QTest::keyClick(row->tfFieldValue, Qt::Key_Backspace);
    test::settle();
    auto* alert = test::alertContent(test::presentedAlert(form));
    ASSERT_NE(alert, nullptr);
    check("alert title", alert->labelTitle);
    check("alert message", alert->labelMessage);
    check("alert button", alert->buttonAction);
    test::tap(alert->buttonAction);
    ASSERT_TRUE(test::waitUntil([&] { return test::topPresented(form) == nullptr; }));
    ASSERT_TRUE(row->tfFieldValue->text().isEmpty());
    row->tfFieldValue->setPlaceholderText(QStringLiteral("Họ và tên"));  // whatever the service gives
    const QColor fieldBackground = behindText(row->tfFieldValue);
    const QColor placeholder = over(row->tfFieldValue->palette().color(QPalette::PlaceholderText), fieldBackground);
    EXPECT_GT(pixelsNear(row->tfFieldValue, placeholder), 3) << "the placeholder is drawn in " << placeholder.name().toStdString();
    record("field placeholder", placeholder, fieldBackground, false);
}

// The capture screen's title and guide lie over the camera's picture,
// dimmed outside the window: the worst is a white picture.
TEST_F(Contrast, TheCaptureTitleAndGuideOverAWhitePicture) {
    QImage white(720, 1280, QImage::Format_RGB888);
    white.fill(Qt::white);
    scene = {white};
    for (const EKYCStep step : {EKYCStep::front, EKYCStep::face}) {
        auto* screen = openScreen(step, Type::idCard, step == EKYCStep::face ? EKYCImages{test::cardPhoto(Qt::blue)} : EKYCImages{});
        waitUntilOnline(screen);
        test::showFrame(screen);
        check(step == EKYCStep::face ? "face capture title" : "document capture title", screen->accessoryView->lbTitle);
        check(step == EKYCStep::face ? "face capture guide" : "document capture guide", screen->accessoryView->lbGuide);
        closeFlow();
    }
}

}  // namespace
}  // namespace ovira
