#include "Envelope.h"

#include <utility>

namespace ovira::devserver {

Reply success(nlohmann::json data, Language language) {
    return {200,
            {{"statusCode", 0}, {"data", std::move(data)}, {"message", text(Message::Success, language)}}};
}

Reply failure(Message message, Language language, const std::string& detail) {
    return {200,
            {{"statusCode", statusCode(message)},
             {"data", nullptr},
             {"message", text(message, language) + detail}}};
}

Reply httpError(int httpStatus, Message message, Language language) {
    return {httpStatus,
            {{"statusCode", httpStatus}, {"data", nullptr}, {"message", text(message, language)}}};
}

}  // namespace ovira::devserver
