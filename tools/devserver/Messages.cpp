#include "Messages.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace ovira::devserver {
namespace {

struct Entry {
    Message message;
    int code;
    const char* vietnamese;
    const char* english;
};

constexpr Entry kEntries[] = {
    {Message::Success, 0, "Thành công", "Success"},
    {Message::MissingSession, 401, "Thiếu mã phiên giao dịch (transactionId); vui lòng bắt đầu phiên mới.",
     "The transactionId header is missing; start a new session."},
    {Message::UnknownApp, 401, "Ứng dụng (appID) không được phép sử dụng dịch vụ.",
     "This application (appID) is not allowed to use the service."},
    {Message::NotFound, 404, "Không tìm thấy chức năng được yêu cầu.", "No such endpoint."},
    {Message::MissingFile, 1001, "Thiếu ảnh tải lên (trường \"file\").",
     "The photo is missing (form field \"file\")."},
    {Message::InvalidSide, 1002, "Mặt giấy tờ không hợp lệ: trường \"type\" phải là FRONT hoặc BACK.",
     "Invalid document side: the \"type\" field must be FRONT or BACK."},
    {Message::UnreadableImage, 2001, "Tệp tải lên không phải là ảnh đọc được (JPEG hoặc PNG).",
     "The uploaded file is not a readable image (JPEG or PNG)."},
    {Message::WrongShape, 2002,
     "Ảnh giấy tờ phải nằm ngang và đúng tỉ lệ của thẻ; vui lòng chụp vừa khung thẻ.",
     "The document photo must be landscape with the card's proportions; frame the card fully."},
    {Message::TooSmall, 2003, "Ảnh có độ phân giải quá thấp; vui lòng chụp gần hơn.",
     "The photo is too small; take it closer."},
    {Message::Blurred, 2004, "Ảnh bị mờ; vui lòng giữ máy ổn định và chụp lại.",
     "The photo is blurred; hold the camera steady and try again."},
    {Message::TooDark, 2005, "Ảnh quá tối; vui lòng chụp ở nơi đủ ánh sáng.",
     "The photo is too dark; take it in better light."},
    {Message::TooBright, 2006, "Ảnh bị lóa hoặc quá sáng; vui lòng tránh ánh sáng chiếu trực tiếp.",
     "The photo is too bright or has glare; avoid direct light."},
    {Message::DocumentTooNarrow, 2007,
     "Ảnh giấy tờ có quá ít điểm ảnh để đọc được chữ trên thẻ; vui lòng đưa thẻ lại gần camera hơn "
     "hoặc dùng camera có độ phân giải cao hơn.",
     "The document photo has too few pixels to read the card's text; bring the card closer to the "
     "camera or use a camera with a higher resolution."},
    {Message::CardFillsTooLittle, 2008,
     "Thẻ chiếm quá ít diện tích trong ảnh; vui lòng giữ thẻ gần camera hơn để thẻ lấp đầy khung hình.",
     "The card fills too little of the photo; hold the card closer so that it fills the frame."},
    {Message::NoFace, 2101, "Không tìm thấy khuôn mặt trong ảnh.", "No face was found in the photo."},
    {Message::SeveralFaces, 2102, "Ảnh có nhiều hơn một khuôn mặt; chỉ một người được xuất hiện trong ảnh.",
     "More than one face is in the photo; only one person may appear."},
    {Message::FaceTooSmall, 2103, "Khuôn mặt quá nhỏ; vui lòng đưa camera lại gần hơn.",
     "The face is too small; move the camera closer."},
    {Message::FaceDetectorUnavailable, 2199, "Máy chủ chưa thể nhận diện khuôn mặt.",
     "The server cannot detect faces."},
    {Message::PhotosMissing, 3001,
     "Chưa đủ ảnh để đọc thông tin, còn thiếu: ", "Not all photographs have been accepted yet; missing: "},
    {Message::InvalidSubmission, 3002,
     "Dữ liệu xác nhận không hợp lệ: ", "The submitted information is invalid: "},
    {Message::ForcedFailure, 9000, "Lỗi giả lập của máy chủ phát triển.",
     "Simulated failure of the development server."},
    {Message::BadRequest, 400, "Yêu cầu không hợp lệ.", "The request is malformed."},
    {Message::RequestTooLarge, 413, "Dữ liệu tải lên quá lớn.", "The upload is too large."},
    {Message::MissingDocument, 3001, "ảnh giấy tờ", "the document photo"},
    {Message::MissingFront, 3001, "mặt trước giấy tờ", "the document's front side"},
    {Message::MissingBack, 3001, "mặt sau giấy tờ", "the document's back side"},
    {Message::MissingPassportPage, 3001, "trang thông tin hộ chiếu", "the passport's photo page"},
    {Message::MissingFace, 3001, "ảnh khuôn mặt", "the face photo"},
};

const Entry& entry(Message message) {
    const auto found = std::find_if(std::begin(kEntries), std::end(kEntries),
                                    [message](const Entry& e) { return e.message == message; });
    return *found;  // every enumerator has an entry
}

}  // namespace

Language languageFromHeader(std::string_view value) {
    std::string lower(value.substr(0, 2));
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    const bool english = lower == "en" && (value.size() == 2 || value[2] == '-' || value[2] == '_');
    return english ? Language::English : Language::Vietnamese;
}

std::string text(Message message, Language language) {
    return pick(language, entry(message).vietnamese, entry(message).english);
}

int statusCode(Message message) {
    return entry(message).code;
}

}  // namespace ovira::devserver
