#pragma once

#include <nlohmann/json.hpp>

#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "IdentityForms.h"
#include "Messages.h"

namespace ovira::devserver {

// The photographs a session has had accepted. Uploading a side of another
// document kind starts that document over; the face photo is kept.
struct Session {
    int number = 0;  // the "transactionId" the upload answers carry
    std::optional<DocumentKind> kind;
    bool front = false;
    bool back = false;
    bool page = false;
    bool face = false;

    // Which photographs getInfo still waits for, as message fragments.
    std::vector<Message> missing() const;
    // What the client should send next: UPLOAD_FRONT, UPLOAD_BACK,
    // UPLOAD_PASSPORT, CAPTURE_FACE or CONFIRM_INFO.
    std::string nextAction() const;
};

// Sessions by the "transactionId" header, shared by the request threads.
class SessionStore {
public:
    // Runs `use` with the session for `id` (made on first use) under the lock.
    void with(const std::string& id, const std::function<void(Session&)>& use);

    // The most recent accepted submissions stay in memory (all of them go to
    // submissions.jsonl), so that a long run does not grow the server.
    static constexpr std::size_t kSubmissionCapacity = 1000;

    void addSubmission(nlohmann::json submission);
    nlohmann::json submissions() const;

private:
    mutable std::mutex mutex_;
    std::unordered_map<std::string, Session> sessions_;
    std::deque<nlohmann::json> submissions_;
};

}  // namespace ovira::devserver
