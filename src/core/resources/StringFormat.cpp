#include "resources/StringFormat.h"

#include <cstdio>

namespace ovira {
namespace {

char decimalSeparator(std::string_view locale) {
    // Vietnamese writes 1,5; English 1.5.
    return locale.starts_with("vi") ? ',' : '.';
}

std::string decimalText(double value, int precision, std::string_view locale) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", precision, value);
    std::string text = buffer;
    if (const auto dot = text.find('.'); dot != std::string::npos) text[dot] = decimalSeparator(locale);
    return text;
}

std::string argumentText(const EKYCFormatArgument& argument, char conversion, int precision,
                         std::string_view locale) {
    if (const auto* text = std::get_if<std::string>(&argument)) return *text;
    if (const auto* integer = std::get_if<long long>(&argument)) {
        if (conversion == 'f') return decimalText(static_cast<double>(*integer), precision, locale);
        return std::to_string(*integer);
    }
    const double value = std::get<double>(argument);
    if (conversion == 'd' || conversion == 'i') return std::to_string(static_cast<long long>(value));
    return decimalText(value, conversion == 'f' ? precision : 6, locale);
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

std::string formatLocalized(std::string_view format, std::string_view locale,
                            std::span<const EKYCFormatArgument> arguments) {
    std::string out;
    std::size_t next = 0;  // the next argument used by a specifier without a position
    std::size_t i = 0;
    while (i < format.size()) {
        if (format[i] != '%') {
            out += format[i++];
            continue;
        }
        const std::size_t start = i++;
        if (i < format.size() && format[i] == '%') {
            out += '%';
            ++i;
            continue;
        }
        std::size_t position = 0;
        std::size_t digits = i;
        while (digits < format.size() && isDigit(format[digits])) ++digits;
        if (digits > i && digits < format.size() && format[digits] == '$') {
            position = std::stoul(std::string(format.substr(i, digits - i)));
            i = digits + 1;
        }
        int precision = 6;
        if (i < format.size() && format[i] == '.') {
            std::size_t end = ++i;
            while (end < format.size() && isDigit(format[end])) ++end;
            precision = end > i ? std::stoi(std::string(format.substr(i, end - i))) : 0;
            i = end;
        }
        while (i < format.size() && (format[i] == 'l' || format[i] == 'q')) ++i;
        const char conversion = i < format.size() ? format[i] : '\0';
        const bool known = conversion == '@' || conversion == 's' || conversion == 'd' || conversion == 'i' ||
                           conversion == 'f';
        const std::size_t index = position > 0 ? position - 1 : next;
        if (!known || index >= arguments.size()) {
            out.append(format.substr(start, (known ? i + 1 : i) - start));
            if (known) ++i;
            continue;
        }
        ++i;
        if (position == 0) ++next;
        out += argumentText(arguments[index], conversion == 's' ? '@' : conversion, precision, locale);
    }
    return out;
}

}  // namespace ovira
