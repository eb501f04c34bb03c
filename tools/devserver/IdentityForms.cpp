#include "IdentityForms.h"

#include <cstdio>
#include <ctime>
#include <set>
#include <stdexcept>
#include <vector>

namespace ovira::devserver {
namespace {

using namespace std::chrono;

enum DateType { AnyDate = 0, PastDate = 1, FutureDate = 2, NotADate = -1 };

// Stable identifiers of what a field means, whatever the document.
enum Attribute {
    DocumentNumber = 1,
    FullName,
    DateOfBirth,
    Gender,
    Nationality,
    PlaceOfOrigin,
    PlaceOfResidence,
    DateOfIssue,
    DateOfExpiry,
    IssuingCountry,
    PreviousIdNumber,
    LicenceClass,
    YearOfPassing,
    PassportType,
    PlaceOfBirth,
    PersonalNumber,
};

struct FieldLayout {
    int attribute;
    const char* name;  // what IdentityValues call it
    const char* type;
    bool editable;
    int dateType;
    const char* labelVi;
    const char* labelEn;
    const char* placeholderVi;
    const char* placeholderEn;
};

constexpr FieldLayout kLayouts[] = {
    {DocumentNumber, "documentNumber", "string", false, NotADate, "Số giấy tờ", "Document number",
     "Số trên giấy tờ", "Number on the document"},
    {FullName, "fullName", "string", true, NotADate, "Họ và tên", "Full name", "Nhập họ và tên",
     "Enter the full name"},
    {DateOfBirth, "dateOfBirth", "date", true, PastDate, "Ngày sinh", "Date of birth", "dd/MM/yyyy",
     "dd/MM/yyyy"},
    {Gender, "gender", "gender", true, NotADate, "Giới tính", "Sex", "Chọn giới tính", "Choose the sex"},
    {Nationality, "nationality", "national", true, NotADate, "Quốc tịch", "Nationality", "Chọn quốc tịch",
     "Choose the nationality"},
    {PlaceOfOrigin, "placeOfOrigin", "string", true, NotADate, "Quê quán", "Place of origin", "Nhập quê quán",
     "Enter the place of origin"},
    {PlaceOfResidence, "placeOfResidence", "string", true, NotADate, "Nơi thường trú", "Place of residence",
     "Nhập nơi thường trú", "Enter the place of residence"},
    {DateOfIssue, "dateOfIssue", "date", true, AnyDate, "Ngày cấp", "Date of issue", "dd/MM/yyyy",
     "dd/MM/yyyy"},
    {DateOfExpiry, "dateOfExpiry", "date", true, FutureDate, "Có giá trị đến", "Date of expiry", "dd/MM/yyyy",
     "dd/MM/yyyy"},
    {IssuingCountry, "issuingCountry", "country", true, NotADate, "Quốc gia cấp", "Issuing country",
     "Chọn quốc gia", "Choose the country"},
    {PreviousIdNumber, "previousIdNumber", "number", true, NotADate, "Số CMND cũ", "Previous ID number",
     "Nhập số CMND cũ (nếu có)", "Enter the previous ID number, if any"},
    {LicenceClass, "licenceClass", "string", true, NotADate, "Hạng", "Class", "Ví dụ: B2", "For example: B2"},
    {YearOfPassing, "yearOfPassing", "number", true, NotADate, "Năm trúng tuyển", "Year of passing", "yyyy",
     "yyyy"},
    {PassportType, "passportType", "string", false, NotADate, "Loại hộ chiếu", "Passport type", "P", "P"},
    {PlaceOfBirth, "placeOfBirth", "string", true, NotADate, "Nơi sinh", "Place of birth", "Nhập nơi sinh",
     "Enter the place of birth"},
    {PersonalNumber, "personalNumber", "number", true, NotADate, "Số định danh cá nhân", "Personal number",
     "12 chữ số", "12 digits"},
};

const FieldLayout& layoutOf(int attribute) {
    for (const auto& layout : kLayouts) {
        if (layout.attribute == attribute) return layout;
    }
    return kLayouts[0];  // unreachable: every form lists known attributes
}

struct Field {
    int id;
    int attribute;
    std::string value;
};

year_month_day shiftDays(year_month_day date, int count) {
    return year_month_day(sys_days(date) + days(count));
}

std::vector<Field> holderFields(DocumentKind kind, Language language, const CountryList& countries,
                                year_month_day today);

// The fictional holder whose document every session "reads", with the values
// the server was told to use instead.
std::vector<Field> fieldsOf(DocumentKind kind, Language language, const CountryList& countries,
                            year_month_day today, const IdentityValues& values) {
    auto fields = holderFields(kind, language, countries, today);
    for (auto& field : fields) {
        if (const auto value = values.find(layoutOf(field.attribute).name); value != values.end())
            field.value = value->second;
    }
    return fields;
}

std::vector<Field> holderFields(DocumentKind kind, Language language, const CountryList& countries,
                                year_month_day today) {
    const auto vietnam = countries.name("VN", language);
    const auto born = formatDate(year(1990) / August / 15);
    const auto issued = formatDate(shiftDays(today, -3 * 365));
    const auto expires = formatDate(shiftDays(today, 5 * 365));
    switch (kind) {
        case DocumentKind::IdentityCard:
            return {{101, DocumentNumber, "001090012345"},
                    {102, FullName, "NGUYỄN VĂN AN"},
                    {103, DateOfBirth, born},
                    {104, Gender, "Nam"},
                    {105, Nationality, vietnam},
                    {106, PlaceOfOrigin, "Đông Anh, Hà Nội"},
                    {107, PlaceOfResidence, "12 Tràng Tiền, Hoàn Kiếm, Hà Nội"},
                    {108, DateOfIssue, issued},
                    {109, DateOfExpiry, expires},
                    {110, IssuingCountry, vietnam},
                    {111, PreviousIdNumber, "012345678"}};
        case DocumentKind::DrivingLicence:
            return {{201, DocumentNumber, "790123456789"},
                    {202, FullName, "NGUYỄN VĂN AN"},
                    {203, DateOfBirth, born},
                    {204, Gender, "Nam"},
                    {205, Nationality, vietnam},
                    {206, PlaceOfResidence, "12 Tràng Tiền, Hoàn Kiếm, Hà Nội"},
                    {207, LicenceClass, "B2"},
                    {208, YearOfPassing, "2012"},
                    {209, DateOfIssue, issued},
                    {210, DateOfExpiry, expires},
                    {211, IssuingCountry, vietnam}};
        case DocumentKind::Passport:
            return {{301, DocumentNumber, "C1234567"},
                    {302, PassportType, "P"},
                    {303, IssuingCountry, vietnam},
                    {304, FullName, "NGUYỄN VĂN AN"},
                    {305, DateOfBirth, born},
                    {306, Gender, "Nam"},
                    {307, Nationality, vietnam},
                    {308, PlaceOfBirth, "Hà Nội"},
                    {309, PersonalNumber, "001090012345"},
                    {310, DateOfIssue, issued},
                    {311, DateOfExpiry, expires}};
    }
    return {};
}

bool allDigits(const std::string& text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

// Why a value does not suit its field, or an empty string.
std::string checkValue(const FieldLayout& field, const std::string& original, const std::string& value,
                       Language language, const CountryList& countries, year_month_day today) {
    const std::string type = field.type;
    if (!field.editable && value != original)
        return pick(language, "trường chỉ đọc đã bị thay đổi", "a read-only field was changed");
    if (type == "date") {
        const auto date = parseDate(value);
        if (!date) return pick(language, "ngày phải có dạng dd/MM/yyyy", "dates must read dd/MM/yyyy");
        if (field.dateType == PastDate && sys_days(*date) > sys_days(today))
            return pick(language, "ngày này phải ở trong quá khứ", "this date must lie in the past");
        if (field.dateType == FutureDate && sys_days(*date) < sys_days(today))
            return pick(language, "ngày này phải ở trong tương lai", "this date must lie in the future");
    } else if (type == "gender") {
        if (value != "Nam" && value != "Nữ")
            return pick(language, "giới tính phải là \"Nam\" hoặc \"Nữ\"",
                        "the sex must be \"Nam\" or \"Nữ\"");
    } else if (type == "number") {
        if (!allDigits(value))
            return pick(language, "trường số chỉ được chứa chữ số", "number fields hold digits only");
    } else if (type == "country" || type == "national") {
        bool known = false;
        for (const auto lang : {Language::Vietnamese, Language::English}) {
            for (const auto& country : countries.countries(lang)) known = known || country.name == value;
        }
        if (!known)
            return pick(language, "quốc gia không có trong danh sách", "the country is not in the list");
    }
    return {};
}

}  // namespace

std::string identityType(DocumentKind kind) {
    switch (kind) {
        case DocumentKind::IdentityCard:
            return "NATIONAL_ID";
        case DocumentKind::DrivingLicence:
            return "DRIVER_LICENSE";
        case DocumentKind::Passport:
            return "PASSPORT";
    }
    return {};
}

year_month_day localToday() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return year(local.tm_year + 1900) / month(static_cast<unsigned>(local.tm_mon + 1)) /
           day(static_cast<unsigned>(local.tm_mday));
}

std::string formatDate(year_month_day date) {
    char text[16];
    std::snprintf(text, sizeof text, "%02u/%02u/%04d", static_cast<unsigned>(date.day()),
                  static_cast<unsigned>(date.month()), static_cast<int>(date.year()));
    return text;
}

std::optional<year_month_day> parseDate(const std::string& text) {
    if (text.size() != 10 || text[2] != '/' || text[5] != '/') return std::nullopt;
    if (!allDigits(text.substr(0, 2) + text.substr(3, 2) + text.substr(6, 4))) return std::nullopt;
    const year_month_day date{year(std::stoi(text.substr(6, 4))),
                              month(static_cast<unsigned>(std::stoi(text.substr(3, 2)))),
                              day(static_cast<unsigned>(std::stoi(text.substr(0, 2))))};
    if (!date.ok()) return std::nullopt;
    return date;
}

void checkIdentityValues(const IdentityValues& values, const CountryList& countries, year_month_day today) {
    for (const auto& [name, value] : values) {
        const FieldLayout* layout = nullptr;
        for (const auto& candidate : kLayouts) {
            if (name == candidate.name) layout = &candidate;
        }
        if (!layout) throw std::invalid_argument("no identity field is called \"" + name + "\"");
        const auto problem = checkValue(*layout, value, value, Language::English, countries, today);
        if (!problem.empty()) throw std::invalid_argument(name + " \"" + value + "\": " + problem);
    }
}

nlohmann::json identityInfo(DocumentKind kind, Language language, const CountryList& countries,
                            year_month_day today, const IdentityValues& values) {
    nlohmann::json form = nlohmann::json::array();
    for (const auto& field : fieldsOf(kind, language, countries, today, values)) {
        const auto& layout = layoutOf(field.attribute);
        nlohmann::json entry{{"id", field.id},
                             {"cardAttributeId", field.attribute},
                             {"fieldName", pick(language, layout.labelVi, layout.labelEn)},
                             {"fieldValue", field.value},
                             {"fieldType", layout.type},
                             {"editable", layout.editable},
                             {"placeholder", pick(language, layout.placeholderVi, layout.placeholderEn)}};
        if (layout.dateType != NotADate && layout.dateType != AnyDate) entry["dateType"] = layout.dateType;
        form.push_back(std::move(entry));
    }
    const char* name =
        kind == DocumentKind::IdentityCard ? pick(language, "Căn cước công dân", "Citizen identity card")
        : kind == DocumentKind::DrivingLicence ? pick(language, "Giấy phép lái xe", "Driving licence")
                                               : pick(language, "Hộ chiếu", "Passport");
    return {{"identityType", identityType(kind)}, {"identityName", name}, {"form", std::move(form)}};
}

SubmissionCheck checkSubmission(const std::string& text, std::optional<DocumentKind> kind, Language language,
                                const CountryList& countries, year_month_day today,
                                const IdentityValues& values) {
    SubmissionCheck check;
    check.fields = nlohmann::json::parse(text, nullptr, false);
    if (check.fields.is_discarded() || !check.fields.is_array()) {
        check.error = pick(language, "\"data\" phải là một mảng JSON các trường",
                           "\"data\" must be a JSON array of fields");
        return check;
    }
    if (check.fields.empty()) {
        check.error = pick(language, "không có trường nào", "there are no fields");
        return check;
    }
    std::vector<Field> form;
    if (kind) form = fieldsOf(*kind, language, countries, today, values);
    std::set<int> seen;
    for (std::size_t i = 0; i < check.fields.size(); ++i) {
        const auto& field = check.fields[i];
        const auto position =
            std::string(pick(language, " (trường thứ ", " (field ")) + std::to_string(i + 1) + ")";
        if (!field.is_object() || !field.contains("id") || !field["id"].is_number_integer() ||
            !field.contains("cardAttributeId") || !field["cardAttributeId"].is_number_integer() ||
            !field.contains("fieldValue") || !field["fieldValue"].is_string()) {
            check.error =
                pick(language, "mỗi trường cần id và cardAttributeId là số nguyên, fieldValue là chuỗi",
                     "each field needs an integer id and cardAttributeId and a string fieldValue");
            check.error += position;
            return check;
        }
        const int id = field["id"].get<int>();
        if (!seen.insert(id).second) {
            check.error = pick(language, "trường bị lặp lại", "a field is repeated") + position;
            return check;
        }
        if (!kind) continue;
        const Field* original = nullptr;
        for (const auto& candidate : form) {
            if (candidate.id == id) original = &candidate;
        }
        if (!original || original->attribute != field["cardAttributeId"].get<int>()) {
            check.error = pick(language, "trường không thuộc biểu mẫu của giấy tờ",
                               "the field is not on this document's form");
            check.error += position;
            return check;
        }
        const auto problem = checkValue(layoutOf(original->attribute), original->value,
                                        field["fieldValue"].get<std::string>(), language, countries, today);
        if (!problem.empty()) {
            check.error = problem + position;
            return check;
        }
    }
    return check;
}

}  // namespace ovira::devserver
