#include "Faults.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>

namespace ovira::devserver {
namespace {

constexpr std::string_view kBasePath = "/v1/ekyc";

int parseInt(std::string_view text, const char* what, int low, int high) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < low || value > high) {
        throw std::invalid_argument(std::string(what) + " must be a whole number from " +
                                    std::to_string(low) + " to " + std::to_string(high) + ", not \"" +
                                    std::string(text) + "\"");
    }
    return value;
}

void checkPath(std::string& path) {
    path = endpointName(path);
    if (path == "*") return;
    if (std::find(kEndpoints.begin(), kEndpoints.end(), path) == kEndpoints.end()) {
        std::string known;
        for (const auto endpoint : kEndpoints) known += (known.empty() ? "" : ", ") + std::string(endpoint);
        throw std::invalid_argument("unknown endpoint \"" + path + "\" (known: *, " + known + ")");
    }
}

void checkHasEffect(const Fault& fault) {
    if (fault.delay.count() == 0 && fault.trickle.count() == 0 && fault.httpStatus == 0 && !fault.statusCode && !fault.malformedJSON &&
        !fault.truncatedBody && !fault.resetConnection && !fault.oversizedBody && !fault.invalidUTF8 &&
        !fault.wrongTypes && fault.redirect.empty()) {
        throw std::invalid_argument("the fault for " + fault.path + " has no effect");
    }
}

constexpr int kMaxDelay = 10 * 60 * 1000;

}  // namespace

std::string endpointName(std::string_view path) {
    if (path.substr(0, kBasePath.size()) == kBasePath && path.size() > kBasePath.size())
        path.remove_prefix(kBasePath.size());
    return std::string(path);
}

Fault Fault::parse(std::string_view text) {
    const auto colon = text.find(':');
    if (colon == std::string_view::npos || colon == 0) {
        throw std::invalid_argument(
            "a fault reads PATH:EFFECT[,EFFECT...], e.g. /getInfo:status=500, not \"" + std::string(text) +
            "\"");
    }
    Fault fault;
    fault.path = std::string(text.substr(0, colon));
    checkPath(fault.path);
    auto rest = text.substr(colon + 1);
    while (!rest.empty()) {
        const auto equals = rest.find('=');
        const auto comma = rest.find(',');
        const bool hasValue =
            equals != std::string_view::npos && (comma == std::string_view::npos || equals < comma);
        const auto key = rest.substr(0, hasValue ? equals : comma);
        if (hasValue && key == "message") {
            fault.message = std::string(rest.substr(equals + 1));
            break;
        }
        std::string_view value;
        if (hasValue) {
            value = rest.substr(
                equals + 1, comma == std::string_view::npos ? std::string_view::npos : comma - equals - 1);
        }
        rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);

        if (key == "delay" && hasValue)
            fault.delay = std::chrono::milliseconds(parseInt(value, "delay", 0, kMaxDelay));
        else if (key == "trickle" && hasValue)
            fault.trickle = std::chrono::milliseconds(parseInt(value, "trickle", 1, kMaxDelay));
        else if (key == "status" && hasValue)
            fault.httpStatus = parseInt(value, "status", 100, 599);
        else if (key == "code" && hasValue)
            fault.statusCode = parseInt(value, "code", -1000000, 1000000);
        else if (key == "count" && hasValue)
            fault.count = parseInt(value, "count", 1, 1000000);
        else if (key == "malformed" && !hasValue)
            fault.malformedJSON = true;
        else if (key == "truncated" && !hasValue)
            fault.truncatedBody = true;
        else if (key == "reset" && !hasValue)
            fault.resetConnection = true;
        else if (key == "oversized" && !hasValue)
            fault.oversizedBody = true;
        else if (key == "invalid-utf8" && !hasValue)
            fault.invalidUTF8 = true;
        else if (key == "wrong-types" && !hasValue)
            fault.wrongTypes = true;
        else if (key == "redirect" && hasValue && !value.empty())
            fault.redirect = std::string(value);
        else
            throw std::invalid_argument("unknown fault effect \"" + std::string(key) + "\" in \"" +
                                        std::string(text) + "\"");
    }
    checkHasEffect(fault);
    return fault;
}

Fault Fault::fromJSON(const nlohmann::json& object) {
    if (!object.is_object()) throw std::invalid_argument("a fault is a JSON object");
    Fault fault;
    for (const auto& item : object.items()) {
        // Named references rather than a structured binding, which lambdas may not capture before clang 16.
        const std::string& key = item.key();
        const nlohmann::json& value = item.value();
        const auto wantInt = [&](int low, int high) {
            if (!value.is_number_integer())
                throw std::invalid_argument("\"" + key + "\" must be a whole number");
            return parseInt(std::to_string(value.get<long long>()), key.c_str(), low, high);
        };
        const auto wantBool = [&] {
            if (!value.is_boolean()) throw std::invalid_argument("\"" + key + "\" must be true or false");
            return value.get<bool>();
        };
        if (key == "path") {
            if (!value.is_string()) throw std::invalid_argument("\"path\" must be a string");
            fault.path = value.get<std::string>();
        } else if (key == "message") {
            if (!value.is_string()) throw std::invalid_argument("\"message\" must be a string");
            fault.message = value.get<std::string>();
        } else if (key == "redirect") {
            if (!value.is_string()) throw std::invalid_argument("\"redirect\" must be a string");
            fault.redirect = value.get<std::string>();
        } else if (key == "delay")
            fault.delay = std::chrono::milliseconds(wantInt(0, kMaxDelay));
        else if (key == "trickle")
            fault.trickle = std::chrono::milliseconds(wantInt(1, kMaxDelay));
        else if (key == "status")
            fault.httpStatus = wantInt(100, 599);
        else if (key == "code")
            fault.statusCode = wantInt(-1000000, 1000000);
        else if (key == "count")
            fault.count = wantInt(1, 1000000);
        else if (key == "malformed")
            fault.malformedJSON = wantBool();
        else if (key == "truncated")
            fault.truncatedBody = wantBool();
        else if (key == "reset")
            fault.resetConnection = wantBool();
        else if (key == "oversized")
            fault.oversizedBody = wantBool();
        else if (key == "invalidUtf8")
            fault.invalidUTF8 = wantBool();
        else if (key == "wrongTypes")
            fault.wrongTypes = wantBool();
        else
            throw std::invalid_argument("unknown fault member \"" + key + "\"");
    }
    checkPath(fault.path);
    checkHasEffect(fault);
    return fault;
}

nlohmann::json Fault::toJSON() const {
    nlohmann::json object{{"path", path}};
    if (count > 0) object["count"] = count;
    if (delay.count() > 0) object["delay"] = delay.count();
    if (trickle.count() > 0) object["trickle"] = trickle.count();
    if (httpStatus != 0) object["status"] = httpStatus;
    if (statusCode) object["code"] = *statusCode;
    if (!message.empty()) object["message"] = message;
    if (malformedJSON) object["malformed"] = true;
    if (truncatedBody) object["truncated"] = true;
    if (resetConnection) object["reset"] = true;
    if (oversizedBody) object["oversized"] = true;
    if (invalidUTF8) object["invalidUtf8"] = true;
    if (wrongTypes) object["wrongTypes"] = true;
    if (!redirect.empty()) object["redirect"] = redirect;
    return object;
}

}  // namespace ovira::devserver
