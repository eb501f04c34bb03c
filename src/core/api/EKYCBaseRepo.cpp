#include "api/EKYCBaseRepo.h"

#include "api/EKYCServiceEnvironment.h"
#include "ovira/OVIRAConfiguration.h"
#include "sdk/EKYCUserDefault.h"

namespace ovira {

const JSONDecoder& EKYCBaseRepo::decoder() {
    static const JSONDecoder serviceDecoder = [] {
        JSONDecoder d;
        d.keyDecodingStrategy = JSONDecoder::KeyDecodingStrategy::convertFromSnakeCase;
        d.dateDecodingStrategy = decodeServiceDate;
        return d;
    }();
    return serviceDecoder;
}

std::string EKYCBaseRepo::baseURL() const {
    return EKYCServiceEnvironment::fromMainBundle().baseURL();
}

HTTPHeaders EKYCBaseRepo::commonHeaders(const HTTPHeaders& extra) const {
    HTTPHeaders headers{{"language", "vi"}, {"appID", OVIRAConfiguration::appID()}};
    if (auto transactionId = EKYCUserDefault::transactionId()) headers["transactionId"] = *transactionId;
    for (const auto& [name, value] : extra) headers[name] = value;
    return headers;
}

}  // namespace ovira
