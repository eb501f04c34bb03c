#include "Sessions.h"

#include <utility>

namespace ovira::devserver {

std::vector<Message> Session::missing() const {
    std::vector<Message> parts;
    if (!kind) {
        parts.push_back(Message::MissingDocument);
    } else if (*kind == DocumentKind::Passport) {
        if (!page) parts.push_back(Message::MissingPassportPage);
    } else {
        if (!front) parts.push_back(Message::MissingFront);
        if (!back) parts.push_back(Message::MissingBack);
    }
    if (!face) parts.push_back(Message::MissingFace);
    return parts;
}

std::string Session::nextAction() const {
    if (!kind) return "UPLOAD_FRONT";
    if (*kind == DocumentKind::Passport && !page) return "UPLOAD_PASSPORT";
    if (*kind != DocumentKind::Passport && !front) return "UPLOAD_FRONT";
    if (*kind != DocumentKind::Passport && !back) return "UPLOAD_BACK";
    if (!face) return "CAPTURE_FACE";
    return "CONFIRM_INFO";
}

void SessionStore::with(const std::string& id, const std::function<void(Session&)>& use) {
    std::lock_guard lock(mutex_);
    auto [entry, inserted] = sessions_.try_emplace(id);
    if (inserted) entry->second.number = static_cast<int>(sessions_.size());
    use(entry->second);
}

void SessionStore::addSubmission(nlohmann::json submission) {
    std::lock_guard lock(mutex_);
    submissions_.push_back(std::move(submission));
    if (submissions_.size() > kSubmissionCapacity) submissions_.pop_front();
}

nlohmann::json SessionStore::submissions() const {
    std::lock_guard lock(mutex_);
    nlohmann::json list = nlohmann::json::array();
    for (const auto& submission : submissions_) list.push_back(submission);
    return list;
}

}  // namespace ovira::devserver
