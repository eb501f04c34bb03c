#include "RequestLog.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <utility>

namespace ovira::devserver {
namespace {

constexpr std::size_t kMaxText = 64 * 1024;

// httplib adds these to the request's headers; the client never sent them.
bool addedByServer(const std::string& name) {
    return name == "REMOTE_ADDR" || name == "REMOTE_PORT" || name == "LOCAL_ADDR" || name == "LOCAL_PORT";
}

std::string utcNow() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto millis =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char text[40];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &utc);
    char withMillis[48];
    std::snprintf(withMillis, sizeof withMillis, "%s.%03dZ", text, static_cast<int>(millis));
    return withMillis;
}

// Text that may not be UTF-8 (a client's fault worth seeing) is kept with
// the bad bytes replaced, so that the log itself stays valid JSON.
std::string printable(const std::string& text) {
    return nlohmann::json(text.substr(0, kMaxText))
        .dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

nlohmann::json textValue(const std::string& text) {
    return nlohmann::json::parse(printable(text));
}

}  // namespace

const httplib::MultipartFormData* RequestBody::part(const std::string& name) const {
    for (const auto& candidate : parts) {
        if (candidate.name == name) return &candidate;
    }
    return nullptr;
}

std::uint64_t RequestLog::record(const httplib::Request& request, const RequestBody& body) {
    // The client's address and port tell a test whether requests shared a connection.
    nlohmann::json entry{{"method", request.method},
                         {"path", request.path},
                         {"time", utcNow()},
                         {"connection", request.remote_addr + ":" + std::to_string(request.remote_port)}};
    nlohmann::json headers = nlohmann::json::object();
    for (const auto& [name, value] : request.headers) {
        if (addedByServer(name)) continue;
        // A repeated header shows as "first, second", as HTTP would fold it.
        if (headers.contains(name))
            headers[name] = headers[name].get<std::string>() + ", " + textValue(value).get<std::string>();
        else
            headers[name] = textValue(value);
    }
    entry["headers"] = std::move(headers);
    if (!request.params.empty()) {
        nlohmann::json query = nlohmann::json::object();
        for (const auto& [name, value] : request.params) query[name] = textValue(value);
        entry["query"] = std::move(query);
    }
    if (body.multipart) {
        nlohmann::json parts = nlohmann::json::array();
        for (const auto& part : body.parts) {
            nlohmann::json described{{"name", textValue(part.name)},
                                     {"filename", textValue(part.filename)},
                                     {"contentType", textValue(part.content_type)},
                                     {"size", part.content.size()}};
            if (part.filename.empty()) described["text"] = textValue(part.content);
            parts.push_back(std::move(described));
        }
        entry["parts"] = std::move(parts);
    } else if (!body.raw.empty()) {
        entry["size"] = body.raw.size();
        auto parsed = nlohmann::json::parse(body.raw, nullptr, false);
        if (!parsed.is_discarded() && body.raw.size() <= kMaxText)
            entry["body"] = std::move(parsed);
        else
            entry["bodyText"] = textValue(body.raw);
    }

    std::lock_guard lock(mutex_);
    const auto sequence = next_++;
    entry["sequence"] = sequence;
    entries_.push_back(std::move(entry));
    if (entries_.size() > kCapacity) entries_.pop_front();
    return sequence;
}

void RequestLog::annotate(std::uint64_t sequence, const std::string& key, nlohmann::json value) {
    std::lock_guard lock(mutex_);
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
        if ((*it)["sequence"] == sequence) {
            (*it)[key] = std::move(value);
            return;
        }
    }
}

nlohmann::json RequestLog::entries() const {
    std::lock_guard lock(mutex_);
    return nlohmann::json(entries_);
}

void RequestLog::clear() {
    std::lock_guard lock(mutex_);
    entries_.clear();
}

}  // namespace ovira::devserver
