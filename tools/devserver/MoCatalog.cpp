#include "MoCatalog.h"

#include <cstdint>
#include <fstream>
#include <iterator>

namespace ovira::devserver {
namespace {

constexpr std::uint32_t kMagic = 0x950412de;
constexpr std::uint32_t kSwappedMagic = 0xde120495;

class Reader {
public:
    Reader(std::string_view bytes, bool bigEndian) : bytes_(bytes), bigEndian_(bigEndian) {}

    std::optional<std::uint32_t> word(std::size_t offset) const {
        if (offset > bytes_.size() || bytes_.size() - offset < 4) return std::nullopt;
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            const auto byte =
                static_cast<std::uint8_t>(bytes_[offset + static_cast<std::size_t>(bigEndian_ ? i : 3 - i)]);
            value = (value << 8) | byte;
        }
        return value;
    }

    // Entry `index` of a table of (length, offset) pairs; the text stops at the
    // first NUL, which drops plural forms and keeps the singular.
    std::optional<std::string_view> string(std::uint32_t table, std::uint32_t index) const {
        const std::size_t entry = std::size_t{table} + std::size_t{index} * 8;
        const auto length = word(entry);
        const auto offset = word(entry + 4);
        if (!length || !offset) return std::nullopt;
        if (*offset > bytes_.size() || bytes_.size() - *offset < *length) return std::nullopt;
        auto text = bytes_.substr(*offset, *length);
        return text.substr(0, text.find('\0'));
    }

private:
    std::string_view bytes_;
    bool bigEndian_;
};

}  // namespace

MoCatalog MoCatalog::load(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return {};
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return parse(bytes);
}

MoCatalog MoCatalog::parse(std::string_view bytes) {
    MoCatalog catalog;
    const auto little = Reader(bytes, false).word(0);
    if (!little) return catalog;
    if (*little != kMagic && *little != kSwappedMagic) return catalog;
    const Reader reader(bytes, *little == kSwappedMagic);

    const auto revision = reader.word(4);
    const auto count = reader.word(8);
    const auto originals = reader.word(12);
    const auto translations = reader.word(16);
    // Major revisions other than 0 and 1 have an unknown layout.
    if (!revision || (*revision >> 16) > 1 || !count || !originals || !translations) return catalog;

    for (std::uint32_t i = 0; i < *count; ++i) {
        const auto original = reader.string(*originals, i);
        const auto translation = reader.string(*translations, i);
        // A damaged table: keep what was read so far rather than guess further.
        if (!original || !translation) break;
        // The empty original carries the catalogue header, not a message.
        if (original->empty() || translation->empty()) continue;
        catalog.translations_.emplace(std::string(*original), std::string(*translation));
    }
    return catalog;
}

std::optional<std::string> MoCatalog::translate(const std::string& original) const {
    const auto found = translations_.find(original);
    if (found == translations_.end()) return std::nullopt;
    return found->second;
}

}  // namespace ovira::devserver
