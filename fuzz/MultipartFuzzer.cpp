// Parts built from any names and bytes, parsed back: the same parts in the
// same order, whatever the names hold.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "ovira/MultipartFormData.h"

namespace {

struct Part {
    std::string name;
    std::string content;
};

// A minimal reader of what the builder writes.
std::vector<Part> parse(const std::string& body, const std::string& boundary) {
    std::vector<Part> parts;
    const std::string delimiter = "--" + boundary;
    std::size_t at = 0;
    while (true) {
        if (body.compare(at, delimiter.size(), delimiter) != 0) std::abort();
        at += delimiter.size();
        if (body.compare(at, 4, "--\r\n") == 0) break;
        if (body.compare(at, 2, "\r\n") != 0) std::abort();
        at += 2;
        const auto headersEnd = body.find("\r\n\r\n", at);
        if (headersEnd == std::string::npos) std::abort();
        const std::string headers = body.substr(at, headersEnd - at);
        const auto nameStart = headers.find("name=\"");
        if (nameStart == std::string::npos) std::abort();
        const auto nameEnd = headers.find('"', nameStart + 6);
        if (nameEnd == std::string::npos) std::abort();
        Part part;
        part.name = headers.substr(nameStart + 6, nameEnd - nameStart - 6);
        const auto next = body.find("\r\n" + delimiter, headersEnd + 4);
        if (next == std::string::npos) std::abort();
        part.content = body.substr(headersEnd + 4, next - headersEnd - 4);
        parts.push_back(part);
        at = next + 2;
    }
    return parts;
}

std::string escapedName(const std::string& name) {
    std::string out;
    for (char c : name) {
        if (c == '"') out += "%22";
        else if (c == '\r') out += "%0D";
        else if (c == '\n') out += "%0A";
        else out += c;
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Bytes split at 0xff into alternating names and contents.
    std::vector<Part> wanted;
    std::string current;
    std::vector<std::string> pieces;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0xff) {
            pieces.push_back(current);
            current.clear();
        } else {
            current.push_back(static_cast<char>(data[i]));
        }
    }
    pieces.push_back(current);
    ovira::MultipartForms forms;
    for (std::size_t i = 0; i + 1 < pieces.size(); i += 2) {
        const bool bytes = !pieces[i].empty() && (pieces[i][0] & 1);
        if (bytes)
            forms.push_back(std::make_shared<ovira::MultipartFormData>(ovira::makeData(pieces[i + 1]), pieces[i]));
        else
            forms.push_back(std::make_shared<ovira::MultipartFormData>(
                ovira::MultipartFormData::String{pieces[i + 1]}, pieces[i]));
        wanted.push_back({escapedName(pieces[i]), pieces[i + 1]});
    }
    ovira::EKYCMultipartFormDataBuilder builder(forms);
    const auto body = builder.build();
    const auto parsed = parse(std::string(body.begin(), body.end()), builder.boundary());
    if (parsed.size() != wanted.size()) std::abort();
    for (std::size_t i = 0; i < wanted.size(); ++i) {
        if (parsed[i].name != wanted[i].name || parsed[i].content != wanted[i].content) std::abort();
    }
    return 0;
}
