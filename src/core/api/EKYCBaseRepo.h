#pragma once

#include <string>

#include "ovira/EKYCBaseApiResponse.h"
#include "ovira/EKYCHTTPClient.h"

namespace ovira {

// What every request to the service shares: the base address, the common
// headers, the service decoder and the envelope rule.
class EKYCBaseRepo {
public:
    // Snake-case keys accepted, dates as "yyyyMMddHHmmss" in the device's time zone.
    static const JSONDecoder& decoder();

    // The service's base address for the current settings ("" when none can be formed).
    std::string baseURL() const;
    // "language" (always "vi"), "appID", and "transactionId" when a session is stored;
    // extra headers are merged in.
    HTTPHeaders commonHeaders(const HTTPHeaders& extra = {}) const;

protected:
    template <class T>
    T get(const std::string& path) const {
        return EKYCHTTPClient::shared()
            ->dataTask<EKYCBaseApiResponse<T>>(baseURL(), path, commonHeaders(), {}, EKYCHTTPMethod::get,
                                               decoder())
            .value();
    }
    template <class T>
    T postMultipart(const std::optional<std::string>& path, const MultipartForms& parts) const {
        return EKYCHTTPClient::shared()
            ->multipartDataTask<EKYCBaseApiResponse<T>>(baseURL(), path, commonHeaders(), {}, parts,
                                                        EKYCHTTPMethod::post, decoder())
            .value();
    }
    template <class T, class Body>
    T postJSON(const std::string& path, const Body& body) const {
        return EKYCHTTPClient::shared()
            ->dataTask<EKYCBaseApiResponse<T>>(baseURL(), path, commonHeaders(), {},
                                               std::optional<Body>(body), EKYCHTTPMethod::post,
                                               *JSONEncoder::shared(), decoder())
            .value();
    }
};

}  // namespace ovira
