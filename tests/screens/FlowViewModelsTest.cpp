// The flow's view models that need no service: paging, grouping, dates,
// search and the submit permission.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "platform/RasterImage.h"
#include "resources/EKYCTranslationService.h"
#include "screens/confirm/EKYCConfirmViewModel.h"
#include "screens/datepicker/EKYCDatePickerViewModel.h"
#include "screens/guide/EKYCGuideCaptureDocumentViewModel.h"
#include "screens/guide/EKYCGuideFaceViewModel.h"
#include "screens/information/EKYCInfomationDocumentViewModel.h"
#include "screens/introduce/EKYCIntroduceViewModel.h"
#include "screens/photoerror/EKYCPreviewPhotoErrorViewModel.h"
#include "screens/review/EKYCReviewPhotographViewModel.h"
#include "screens/selection/EKYCSelectionViewModel.h"
#include "screens/selection/FoldForSearch.h"

namespace ovira {
namespace {

using Type = EkycTypeDocument;
using Page = std::pair<int, std::optional<std::string>>;

ImagePtr image() {
    return std::make_shared<RasterImage>(2, 2, RasterImage::Format::gray, std::vector<std::uint8_t>(4));
}

std::vector<Page> pages(EKYCReviewPhotographViewModel& review, const std::string& moves) {
    std::vector<Page> seen;
    auto token = review.nextItemPublisher.sink([&](const Page& page) { seen.push_back(page); });
    for (char move : moves) move == '>' ? review.nextItem() : review.previousItem();
    return seen;
}

TEST(ReviewPhotographs, PagesWrapAroundAtBothEnds) {
    const std::vector<EKYCReviewPhotoViewModel> three{{image(), Type::idCard, EKYCStep::front},
                                                      {image(), Type::idCard, EKYCStep::back},
                                                      {image(), Type::idCard, EKYCStep::face}};
    const auto front = localized("review.front"), face = localized("capture.face");
    EKYCReviewPhotographViewModel atEnd(2, three);
    EXPECT_EQ(pages(atEnd, "><"), (std::vector<Page>{{0, front}, {2, face}}));

    EKYCReviewPhotographViewModel one(0, {{image(), Type::passport, EKYCStep::face}});
    EXPECT_EQ(pages(one, "><"), (std::vector<Page>{{0, face}, {0, face}}));

    EKYCReviewPhotographViewModel none(0, {});
    EXPECT_EQ(pages(none, ">"), (std::vector<Page>{{0, std::nullopt}}));
    EKYCReviewPhotographViewModel noneBack(0, {});
    EXPECT_EQ(pages(noneBack, "<"), (std::vector<Page>{{-1, std::nullopt}}));
}

TEST(PhotographTitles, NameTheSideThePassportPageOrTheFace) {
    EXPECT_STREQ(photographTitleKey(EKYCStep::front, Type::passport), "review.passport");
    EXPECT_STREQ(photographTitleKey(EKYCStep::front, Type::licenseDriver), "review.front");
    EXPECT_STREQ(photographTitleKey(EKYCStep::back, Type::passport), "review.back");
    EXPECT_STREQ(photographTitleKey(EKYCStep::face, Type::idCard), "capture.face");
    const EKYCPreviewPhotoErrorViewModel rejected(image(), "", EKYCStep::face, Type::passport);
    EXPECT_TRUE(rejected.showsFaceGuide());
    EXPECT_FALSE(EKYCPreviewPhotoErrorViewModel(image(), "", EKYCStep::back, Type::idCard).showsFaceGuide());
}

TEST(Confirm, GroupsDocumentPhotographsApartFromTheFace) {
    const EKYCImages three{image(), image(), image()};
    EKYCConfirmViewModel card(Type::idCard, three);
    card.onViewDidLoad();
    ASSERT_EQ(card.items.size(), 3u);
    EXPECT_EQ(card.items[1].step, EKYCStep::back);
    EXPECT_EQ(card.items[2].image, three[2]);
    EXPECT_EQ(card.documentRowCount(), 2);
    EXPECT_STREQ(card.documentHeaderKey(), "verify.image_document");
    EXPECT_EQ(card.itemIndex(0, 1), 1);
    EXPECT_EQ(card.itemIndex(1, 0), 2) << "the face row opens the review at the face";

    EKYCConfirmViewModel passport(Type::passport, {three[0], three[1]});
    passport.onViewDidLoad();
    ASSERT_EQ(passport.items.size(), 2u);
    EXPECT_EQ(passport.items[1].step, EKYCStep::face);
    EXPECT_EQ(passport.documentRowCount(), 1);
    EXPECT_STREQ(passport.documentHeaderKey(), "verify.passport");
    EXPECT_EQ(passport.itemIndex(1, 0), 1);

    EKYCConfirmViewModel short_(Type::licenseDriver, {three[0]});
    short_.onViewDidLoad();
    EXPECT_EQ(short_.items.size(), 1u) << "missing photographs are left out, not read past";
    EXPECT_EQ(short_.itemIndex(0, 1), -1);
}

// Dates are read and written in the machine's zone, here Ha Noi's: the bounds
// follow the kind of date, only a moved picker saves, and calendar days keep
// the opening time of day.
TEST(DatePicker, BoundsFollowTheKindOfDateOnlyAMovedPickerSavesAndDaysKeepTheTimeOfDay) {
    using namespace std::chrono;
    using DateType = EKYCInfomationDocument::DateType;
    ::setenv("TZ", "Asia/Ho_Chi_Minh", 1);
    ::tzset();
    const auto now = system_clock::now();
    EKYCInfomationDocument field;
    for (const auto& [dateType, hasMax, hasMin] :
         {std::tuple{std::optional<DateType>{}, false, false},
          std::tuple{std::optional{DateType::normal}, false, false},
          std::tuple{std::optional{DateType::pass}, true, false},
          std::tuple{std::optional{DateType::feature}, false, true}}) {
        field.dateType = dateType;
        const EKYCDatePickerViewModel picker(field, now);
        EXPECT_EQ(picker.maximumDate(), hasMax ? std::optional{now} : std::nullopt);
        EXPECT_EQ(picker.minimumDate(), hasMin ? std::optional{now} : std::nullopt);
        EXPECT_FALSE(picker.savedText(now)) << "not moved: nothing handed back";
        EXPECT_TRUE(picker.savedText(now - nanoseconds(1)));
    }

    // 31 January 2024, 23:45:00.250 in Ha Noi.
    std::tm opened{};
    opened.tm_year = 124, opened.tm_mon = 0, opened.tm_mday = 31, opened.tm_hour = 23, opened.tm_min = 45;
    const auto at = system_clock::from_time_t(std::mktime(&opened)) + milliseconds(250);
    field.dateType = DateType::pass;
    const EKYCDatePickerViewModel birth(field, at);
    EXPECT_EQ(birth.openingDay(), 2024y / January / 31d);
    EXPECT_EQ(birth.maximumDay(), 2024y / January / 31d);
    EXPECT_EQ(birth.minimumDay(), std::nullopt);
    EXPECT_EQ(birth.instantOn(birth.openingDay()), at) << "the opening day is the opening moment";
    EXPECT_FALSE(birth.savedText(birth.instantOn(birth.openingDay())));
    // 5 March 2001, 23:45 in Ha Noi is still the 5th there, the 5th 16:45 in UTC.
    const auto march = birth.instantOn(2001y / March / 5d);
    EXPECT_EQ(birth.savedText(march), "05/03/2001") << "late evening stays on its day";
    EXPECT_EQ(EKYCDatePickerViewModel::formatDate(march), "05/03/2001");
    EXPECT_EQ(EKYCDatePickerViewModel::formatDate(march + minutes(15)), "06/03/2001");
    EXPECT_EQ(duration_cast<milliseconds>(march.time_since_epoch()) % hours(1),
              minutes(45) + milliseconds(250));
    EXPECT_EQ(birth.instantOn(2024y / February / 29d) - at, hours(24 * 29));

    field.dateType = DateType::feature;
    const EKYCDatePickerViewModel expiry(field, at);
    EXPECT_EQ(expiry.minimumDay(), 2024y / January / 31d);
    EXPECT_EQ(expiry.maximumDay(), std::nullopt);
    ::unsetenv("TZ");
    ::tzset();
}

TEST(Search, FoldsVietnameseAndLatinMarksAndIgnoresCase) {
    EXPECT_EQ(foldForSearch("Đà Nẵng"), "Da Nang");
    EXPECT_EQ(foldForSearch("Thừa Thiên Huế, Côte d’Ivoire, Ñandú"), "Thua Thien Hue, Cote d?Ivoire, Nandu");
    EXPECT_EQ(foldForSearch("\xff\xfe"), "");
    for (const auto& [value, keyword, found] : {std::tuple{"Nữ", "nu", true},
                                                {"Đà Nẵng", "da nang", true},
                                                {"Đà Nẵng", "ĐÀ", true},
                                                {"Hà Nội", "nội", true},
                                                {"Việt Nam", "nam", true},
                                                {"Hà Nội", "ha noi x", false},
                                                {"Nam", "nu", false}}) {
        EXPECT_EQ(matchesSearch(value, keyword), found) << value << " / " << keyword;
    }
}

TEST(Selection, GenderListMarksTheCurrentValueHasNoSearchAndListsKeepWholeRows) {
    SelectionGenderViewModel gender("Nam");
    int reloads = 0;
    auto token = gender.reloadPublisher.sink([&](Void) { ++reloads; });
    gender.onViewDidLoad();
    EXPECT_EQ(gender.filterItems, (std::vector<EKYCSelectionItem>{{"Nam", true}, {"Nữ", false}}));
    EXPECT_TRUE(gender.isSearchHidden());
    EXPECT_GE(reloads, 1);
    EXPECT_EQ(gender.listHeight(844), 112);
    EXPECT_FALSE(gender.loadsInBackground()) << "the gender texts are at hand";
    EXPECT_TRUE(SelectionCountryViewModel("").loadsInBackground());
    EXPECT_TRUE(SelectionNationalViewModel("").loadsInBackground());

    SelectionGenderViewModel unknown("");
    unknown.onViewDidLoad();
    EXPECT_EQ(unknown.items, (std::vector<EKYCSelectionItem>{{"Nam", false}, {"Nữ", false}}));
    unknown.search("ữ");
    EXPECT_EQ(unknown.filterItems, (std::vector<EKYCSelectionItem>{{"Nữ", false}}));
    unknown.search("");
    EXPECT_EQ(unknown.filterItems, unknown.items);

    // The list's height keeps the whole rows that fit the screen.
    const SelectionCountryViewModel countries("");
    EXPECT_EQ(countries.listHeight(600), 336);
    EXPECT_EQ(countries.listHeight(400), 224);
    EXPECT_EQ(countries.listHeight(100), 0);
    // Taller rows, header and search bar (larger text): fewer whole rows in the same screen.
    EXPECT_EQ(countries.listHeight(844, 62, 104, 70), 372) << "six rows of 62 fit in 585.6";
    EXPECT_EQ(countries.listHeight(600, 62, 104, 70), 310) << "five whole rows fit in 366";
    EXPECT_EQ(gender.listHeight(844, 62, 104, 70), 124);
    EXPECT_EQ(countries.listHeight(844, 0, 104, 70), 0) << "no row height, no rows";
}

TEST(InformationForm, TheSubmitPermissionFollowsTheLastEditOnly) {
    auto form = makeViewModel<EKYCInfomationDocumentViewModel>();
    form->document = EKYCIdentityDocument{"1", "CCCD", {{}, {}}};
    form->document->form[0].fieldValue = "An";
    form->document->form[1].fieldValue = "01/01/1990";
    form->items = form->document->form;
    std::vector<bool> permissions;
    form->subscriptions.push_back(
        form->enableSubmitPublisher.sink([&](bool on) { permissions.push_back(on); }));

    form->updateValue(0, "");
    form->updateValue(1, "0");
    form->updateValue(1, "");
    form->updateValue(7, "ignored");
    form->updateValue(-1, "ignored");
    EXPECT_EQ(permissions, (std::vector{false, true, false}));
    EXPECT_EQ(form->items[0].fieldValue, "");
    EXPECT_EQ(form->document->form, form->items) << "every change reaches both";

    auto empty = makeViewModel<EKYCInfomationDocumentViewModel>();
    std::vector<bool> loading;
    empty->subscriptions.push_back(empty->loadingPublisher.sink([&](bool on) { loading.push_back(on); }));
    empty->submit();
    EXPECT_EQ(loading, std::vector{false}) << "nothing to send: the overlay goes at once";
}

TEST(StaticScreens, ListTheirEntriesInOrder) {
    EXPECT_EQ(EKYCIntroduceViewModel().items,
              (std::vector{Type::idCard, Type::licenseDriver, Type::passport}));
    const EKYCGuideCaptureDocumentViewModel notes;
    EXPECT_EQ(notes.items, (std::vector{localized("guide.note_document"), localized("guide.note_thelight"),
                                        localized("guide.note_blur")}));
    const EKYCGuideFaceViewModel face;
    ASSERT_EQ(face.items.size(), 3u);
    EXPECT_EQ(face.items[1].image, "img_person_ glasses");
    EXPECT_EQ(face.items[2].icon, "ic_ unverified");
    EXPECT_NE(face.items[0].title, "guide.environment") << "titles are texts, not keys";
}

}  // namespace
}  // namespace ovira
