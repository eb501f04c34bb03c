#pragma once

#include <nlohmann/json.hpp>

#include <string>

#include "Messages.h"

namespace ovira::devserver {

// What a handler answers before any fault switch rewrites it: the HTTP status
// and the envelope {"statusCode", "data", "message"}.
struct Reply {
    int httpStatus = 200;
    nlohmann::json body;
};

Reply success(nlohmann::json data, Language language);
// HTTP 200 with a non-zero statusCode, the form every business rejection takes.
Reply failure(Message message, Language language, const std::string& detail = {});
// An error at the HTTP level that still carries an envelope.
Reply httpError(int httpStatus, Message message, Language language);

}  // namespace ovira::devserver
