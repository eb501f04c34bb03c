#include "sdk/EKYCUserDefault.h"

#include "ovira/UserDefaults.h"

namespace ovira {

void EKYCUserDefault::clear() {
    auto& defaults = UserDefaults::standard();
    defaults.removeObject(transactionIdKey);
    defaults.synchronize();
}

std::optional<std::string> EKYCUserDefault::transactionId() {
    return UserDefaults::standard().string(transactionIdKey);
}

void EKYCUserDefault::setTransactionId(const std::string& transactionId) {
    UserDefaults::standard().setString(transactionIdKey, transactionId);
}

}  // namespace ovira
