// A host that uses only the installed public headers.
#include <ovira/EKYCHTTPStatusCode.h>
#include <ovira/MultipartFormData.h>
#include <ovira/OVIRA.h>
#include <ovira/OVIRAVersion.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace {
class Delegate : public ovira::OVIRADelegate {
public:
    void didEKYCSuccessWithSessionId(const std::string& sessionId) override { std::puts(sessionId.c_str()); }
};
}  // namespace

int main() {
    // The header's version is the one the package (CMake or pkg-config) announced.
    if (std::strcmp(OVIRA_VERSION_STRING, OVIRA_EXPECTED_VERSION) != 0) {
        std::printf("OVIRAVersion.h says %s, the package %s\n", OVIRA_VERSION_STRING, OVIRA_EXPECTED_VERSION);
        return 4;
    }
    auto delegate = std::make_shared<Delegate>();
    ovira::OVIRA::instance().setDelegate(delegate);
    if (ovira::OVIRA::instance().delegate() != delegate) return 1;
    const auto status = ovira::EKYCHTTPStatusCode::fromRawValue(404);
    if (!status || status->responseType() != ovira::EKYCHTTPStatusCode::ResponseType::clientError) return 2;
    ovira::EKYCMultipartFormDataBuilder builder(
        {std::make_shared<ovira::MultipartFormData>(ovira::MultipartFormData::String{"FRONT"}, "type")});
    if (builder.build().empty()) return 3;
    std::printf("consumer linked against the installed OVIRA package %s\n", OVIRA_VERSION_STRING);
    return 0;
}
