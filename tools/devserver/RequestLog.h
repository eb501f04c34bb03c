#pragma once

#include <httplib.h>
#include <nlohmann/json.hpp>

#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

namespace ovira::devserver {

// The body of a request as the handlers see it: multipart parts in the order
// sent, or the raw body.
struct RequestBody {
    bool multipart = false;
    std::vector<httplib::MultipartFormData> parts;
    std::string raw;

    const httplib::MultipartFormData* part(const std::string& name) const;
};

// The most recent requests, as JSON a test can compare with what its client
// meant to send: method, path, query, headers, the client's address and port,
// and the multipart parts (name, filename, contentType, size, and the text of
// parts that are not files) or the JSON body.
class RequestLog {
public:
    static constexpr std::size_t kCapacity = 500;

    // Returns the entry's sequence number, for annotate().
    std::uint64_t record(const httplib::Request& request, const RequestBody& body);
    // Adds what the server made of the request (its answer, a photo's measures).
    void annotate(std::uint64_t sequence, const std::string& key, nlohmann::json value);
    nlohmann::json entries() const;
    void clear();

private:
    mutable std::mutex mutex_;
    std::deque<nlohmann::json> entries_;
    std::uint64_t next_ = 1;
};

}  // namespace ovira::devserver
