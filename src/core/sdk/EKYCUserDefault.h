#pragma once

#include <optional>
#include <string>

namespace ovira {

// The session value the library persists: the transaction identifier.
class EKYCUserDefault {
public:
    static constexpr const char* transactionIdKey = "ai.qorix.ekyc.transactionId";

    // Removes the stored transaction identifier (the session is over).
    static void clear();
    static std::optional<std::string> transactionId();
    static void setTransactionId(const std::string& transactionId);

    EKYCUserDefault() = delete;
};

}  // namespace ovira
