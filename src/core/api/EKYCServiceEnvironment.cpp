#include "api/EKYCServiceEnvironment.h"

#include <charconv>
#include <nlohmann/json.hpp>

#include "ovira/MainBundle.h"

namespace ovira {
namespace {

bool isHostName(std::string_view host) {
    if (host.empty() || host.size() > 253) return false;
    if (host.front() == '[' && host.back() == ']') {  // an IPv6 literal
        return host.find_first_not_of("0123456789abcdefABCDEF:.", 1) == host.size() - 1;
    }
    for (char c : host) {
        const bool allowed = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                             c == '-' || c == '.';
        if (!allowed) return false;
    }
    return host.front() != '.' && host.front() != '-';
}

}  // namespace

bool EKYCServiceEnvironment::setAddress(std::string address) {
    port.reset();
    const auto colon = address.rfind(':');
    const bool bracketed = !address.empty() && address.front() == '[';
    if (colon != std::string::npos && (!bracketed || (colon > 0 && address[colon - 1] == ']'))) {
        int number = 0;
        const auto* first = address.data() + colon + 1;
        const auto* last = address.data() + address.size();
        const auto [end, error] = std::from_chars(first, last, number);
        // A bad port makes the whole address unusable rather than silently production.
        port = (error == std::errc() && end == last && number > 0 && number < 65536) ? number : -1;
        address.resize(colon);
    }
    host = std::move(address);
    return !baseURL().empty();
}

EKYCServiceEnvironment EKYCServiceEnvironment::fromMainBundle() {
    EKYCServiceEnvironment environment;
    auto& bundle = MainBundle::main();
    if (auto configured = bundle.stringForInfoDictionaryKey("EKYCServiceHost");
        configured && !configured->empty())
        environment.setAddress(*configured);
    if (auto ca = bundle.stringForInfoDictionaryKey("EKYCServiceCACertificate"); ca && !ca->empty()) {
        std::filesystem::path path(*ca);
        if (path.is_relative()) path = MainBundle::defaultInfoFile().parent_path() / path;
        environment.caCertificateFile = path.string();
    }
    const nlohmann::json pins = bundle.objectForInfoDictionaryKey("EKYCServicePinnedKeys");
    if (pins.is_array()) {
        for (const auto& pin : pins) {
            if (pin.is_string()) environment.pinnedPublicKeys.push_back(pin.get<std::string>());
        }
    }
    const nlohmann::json fullBodies = bundle.objectForInfoDictionaryKey("EKYCLogsFullBodies");
    environment.logsFullBodies = fullBodies.is_boolean() && fullBodies.get<bool>();
    return environment;
}

std::string EKYCServiceEnvironment::baseURL() const {
    if (!isHostName(host) || (port && (*port <= 0 || *port > 65535))) return {};
    std::string url = "https://" + host;
    if (port) url += ":" + std::to_string(*port);
    return url + basePath;
}

EKYCHTTPClient::Configuration EKYCServiceEnvironment::clientConfiguration() const {
    auto configuration = EKYCHTTPClient::Configuration::defaultConfiguration();
    configuration.additionalCACertificateFile = caCertificateFile;
    configuration.pinnedPublicKeys = pinnedPublicKeys;
    configuration.logsFullBodies = logsFullBodies;
    return configuration;
}

}  // namespace ovira
