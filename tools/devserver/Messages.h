#pragma once

#include <string>
#include <string_view>

namespace ovira::devserver {

enum class Language { Vietnamese, English };

// The "language" request header: "en" (any case, also "en-US") picks English,
// anything else, including no header, Vietnamese.
Language languageFromHeader(std::string_view value);

enum class Message {
    Success,
    MissingSession,
    UnknownApp,
    NotFound,
    MissingFile,
    InvalidSide,
    UnreadableImage,
    WrongShape,
    TooSmall,
    Blurred,
    TooDark,
    TooBright,
    DocumentTooNarrow,
    CardFillsTooLittle,
    NoFace,
    SeveralFaces,
    FaceTooSmall,
    FaceDetectorUnavailable,
    PhotosMissing,
    InvalidSubmission,
    ForcedFailure,
    BadRequest,
    RequestTooLarge,
    // Fragments completing PhotosMissing.
    MissingDocument,
    MissingFront,
    MissingBack,
    MissingPassportPage,
    MissingFace,
};

std::string text(Message message, Language language);

// The envelope statusCode each message is answered with; 0 only for Success.
// Clients can tell rejections apart without parsing the text.
int statusCode(Message message);

// Picks the Vietnamese or the English form of a short text built at run time.
inline const char* pick(Language language, const char* vietnamese, const char* english) {
    return language == Language::English ? english : vietnamese;
}

}  // namespace ovira::devserver
