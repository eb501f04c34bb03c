#include "platform/UniformTypeIdentifiers.h"

#include <fstream>
#include <map>
#include <mutex>
#include <utility>

namespace ovira {
namespace {

std::string lowercase(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return result;
}

// The common types, for systems without the shared MIME-info database.
const std::map<std::string, std::string>& builtInTypes() {
    static const std::map<std::string, std::string> types{
        {"jpg", "image/jpeg"},      {"jpeg", "image/jpeg"},       {"jpe", "image/jpeg"},
        {"png", "image/png"},       {"gif", "image/gif"},         {"bmp", "image/bmp"},
        {"webp", "image/webp"},     {"heic", "image/heic"},       {"heif", "image/heif"},
        {"tif", "image/tiff"},      {"tiff", "image/tiff"},       {"svg", "image/svg+xml"},
        {"pdf", "application/pdf"}, {"json", "application/json"}, {"txt", "text/plain"},
        {"html", "text/html"},      {"xml", "application/xml"},   {"zip", "application/zip"},
        {"mp4", "video/mp4"},       {"mov", "video/quicktime"},
    };
    return types;
}

struct Globs {
    std::map<std::string, std::string> exact;   // case-sensitive globs ("*.C" is not "*.c")
    std::map<std::string, std::string> folded;  // the others, by lowercase extension
};

// "*.ext" globs of the shared MIME-info database (globs2:
// "weight:type:glob[:flags]"), the heaviest type winning for each extension.
Globs loadGlobs() {
    std::map<std::string, std::pair<int, std::string>> bestExact;
    std::map<std::string, std::pair<int, std::string>> bestFolded;
    for (const char* file : {"/usr/share/mime/globs2", "/usr/local/share/mime/globs2"}) {
        std::ifstream in(file);
        std::string line;
        while (std::getline(in, line)) {
            if (line.empty() || line[0] == '#') continue;
            const auto first = line.find(':');
            const auto second = line.find(':', first == std::string::npos ? first : first + 1);
            if (first == std::string::npos || second == std::string::npos) continue;
            std::string glob = line.substr(second + 1);
            std::string flags;
            if (const auto colon = glob.find(':'); colon != std::string::npos) {
                flags = glob.substr(colon + 1);
                glob.resize(colon);
            }
            if (glob.size() < 3 || glob.compare(0, 2, "*.") != 0) continue;
            const std::string extension = glob.substr(2);
            if (extension.find_first_of("*?[") != std::string::npos) continue;
            int weight = 0;
            try {
                weight = std::stoi(line.substr(0, first));
            } catch (...) {
                continue;
            }
            const bool caseSensitive = ("," + flags + ",").find(",cs,") != std::string::npos;
            auto& slot = caseSensitive ? bestExact[extension] : bestFolded[lowercase(extension)];
            if (slot.second.empty() || weight > slot.first)
                slot = {weight, line.substr(first + 1, second - first - 1)};
        }
    }
    Globs globs;
    for (auto& [extension, entry] : bestExact) globs.exact.emplace(extension, std::move(entry.second));
    for (auto& [extension, entry] : bestFolded) globs.folded.emplace(extension, std::move(entry.second));
    return globs;
}

}  // namespace

std::optional<std::string> preferredMIMEType(std::string_view filenameExtension) {
    if (filenameExtension.empty()) return std::nullopt;
    static const Globs database = loadGlobs();
    if (auto it = database.exact.find(std::string(filenameExtension)); it != database.exact.end())
        return it->second;
    const std::string key = lowercase(filenameExtension);
    if (auto it = database.folded.find(key); it != database.folded.end()) return it->second;
    if (auto it = builtInTypes().find(key); it != builtInTypes().end()) return it->second;
    return std::nullopt;
}

}  // namespace ovira
