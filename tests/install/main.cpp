// A host that uses only the installed public headers.
#include <ovira/EKYCHTTPStatusCode.h>
#include <ovira/MultipartFormData.h>
#include <ovira/OVIRA.h>

#include <cstdio>
#include <memory>
#include <string>

namespace {
class Delegate : public ovira::OVIRADelegate {
public:
    void didEKYCSuccessWithSessionId(const std::string& sessionId) override { std::puts(sessionId.c_str()); }
};
}  // namespace

int main() {
    auto delegate = std::make_shared<Delegate>();
    ovira::OVIRA::instance().setDelegate(delegate);
    if (ovira::OVIRA::instance().delegate() != delegate) return 1;
    const auto status = ovira::EKYCHTTPStatusCode::fromRawValue(404);
    if (!status || status->responseType() != ovira::EKYCHTTPStatusCode::ResponseType::clientError) return 2;
    ovira::EKYCMultipartFormDataBuilder builder(
        {std::make_shared<ovira::MultipartFormData>(ovira::MultipartFormData::String{"FRONT"}, "type")});
    if (builder.build().empty()) return 3;
    std::puts("consumer linked against the installed OVIRA package");
    return 0;
}
