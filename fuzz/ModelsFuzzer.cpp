// Any JSON as one of the service's models, chosen by the first byte, read at
// the root or as the data of an envelope: it decodes or fails with the
// library's error, never anything else; and what decodes, written back with
// the library's encoder and read again, is the same value.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "api/EKYCBaseRepo.h"
#include "api/EKYCIdentityDocument.h"
#include "api/EKYCLocation.h"
#include "api/EKYCStep.h"
#include "api/EKYCVerification.h"
#include "ovira/CodingErrors.h"
#include "ovira/JSONEncoder.h"

namespace ovira {
// Field-wise, for the round trip.
bool operator==(const EKYCIdentityDocument& a, const EKYCIdentityDocument& b) {
    return a.identityType == b.identityType && a.identityName == b.identityName && a.form == b.form;
}
}  // namespace ovira

namespace {

using namespace ovira;

// The library's default decoder: plain keys, dates as seconds since 2001.
const JSONDecoder& plainDecoder() {
    static const JSONDecoder decoder;
    return decoder;
}

template <class T>
void decodeInEnvelope(const JSONDecoder& decoder, const std::string& json) {
    const std::string envelope = R"({"statusCode":0,"message":"m","data":)" + json + "}";
    try {
        (void)decoder.decode<EKYCBaseApiResponse<T>>(envelope).value();
    } catch (const DecodingError&) {
    } catch (const EKYCAPIError&) {
    }
}

template <class T>
void decode(const JSONDecoder& decoder, const std::string& json, bool roundTrip) {
    T value;
    try {
        value = decoder.decode<T>(json);
    } catch (const DecodingError&) {
        return;
    }
    if constexpr (requires { value == value; }) {
        if (!roundTrip) return;
        const Data written = JSONEncoder::shared()->encode(value);
        if (!(decoder.decode<T>(written) == value)) std::abort();
    }
}

template <class T>
void check(const JSONDecoder& decoder, const std::string& json, bool inEnvelope, bool roundTrip = true) {
    if (inEnvelope)
        decodeInEnvelope<T>(decoder, json);
    else
        decode<T>(decoder, json, roundTrip);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string json(reinterpret_cast<const char*>(data) + 1, size - 1);
    const bool inEnvelope = data[0] & 0x80;
    const JSONDecoder& service = EKYCBaseRepo::decoder();
    switch (data[0] & 0x07) {
        case 0:
            check<EKYCIdentityDocument>(service, json, inEnvelope);
            break;
        case 1:
            check<EKYCInfomationDocument>(service, json, inEnvelope);
            break;
        case 2:
            check<std::vector<EKYCLocation>>(service, json, inEnvelope);
            break;
        case 3:
            check<EKYCVerification>(service, json, inEnvelope);
            break;
        case 4:
            check<EKYCStep>(service, json, inEnvelope);
            break;
        case 5:
            check<bool>(service, json, inEnvelope);
            break;
        case 6:  // "yyyyMMddHHmmss" (not compared: local time may skip or repeat hours)
            check<Date>(service, json, inEnvelope, false);
            break;
        case 7:  // seconds since the reference date
            check<Date>(plainDecoder(), json, inEnvelope, false);
            break;
    }
    return 0;
}
