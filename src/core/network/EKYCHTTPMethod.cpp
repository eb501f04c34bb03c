#include "ovira/EKYCHTTPMethod.h"

#include <array>
#include <utility>

namespace ovira {
namespace {
constexpr std::array<std::pair<EKYCHTTPMethod, std::string_view>, 9> kMethods{{
    {EKYCHTTPMethod::get, "GET"},
    {EKYCHTTPMethod::put, "PUT"},
    {EKYCHTTPMethod::post, "POST"},
    {EKYCHTTPMethod::patch, "PATCH"},
    {EKYCHTTPMethod::delete_, "DELETE"},
    {EKYCHTTPMethod::head, "HEAD"},
    {EKYCHTTPMethod::options, "OPTIONS"},
    {EKYCHTTPMethod::trace, "TRACE"},
    {EKYCHTTPMethod::connect, "CONNECT"},
}};
}  // namespace

std::string_view rawValue(EKYCHTTPMethod method) {
    for (const auto& [m, name] : kMethods) {
        if (m == method) return name;
    }
    return {};
}

std::optional<EKYCHTTPMethod> EKYCHTTPMethodFromRawValue(std::string_view value) {
    for (const auto& [m, name] : kMethods) {
        if (name == value) return m;
    }
    return std::nullopt;
}

}  // namespace ovira
