// Any bytes as a service answer: every model's envelope decodes or fails with
// the library's error, never anything else.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "api/EKYCBaseRepo.h"
#include "api/EKYCIdentityDocument.h"
#include "api/EKYCLocation.h"
#include "api/EKYCVerification.h"
#include "ovira/CodingErrors.h"

namespace {

template <class T>
void decode(const ovira::Data& bytes) {
    try {
        const auto envelope = ovira::EKYCBaseRepo::decoder().decode<ovira::EKYCBaseApiResponse<T>>(bytes);
        try {
            (void)envelope.value();
        } catch (const ovira::EKYCAPIError&) {
        }
    } catch (const ovira::DecodingError&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const ovira::Data bytes(data, data + size);
    decode<ovira::EKYCIdentityDocument>(bytes);
    decode<ovira::EKYCVerification>(bytes);
    decode<std::vector<ovira::EKYCLocation>>(bytes);
    decode<bool>(bytes);
    decode<ovira::EKYCVoidResponse>(bytes);
    return 0;
}
