#include "resources/HexColor.h"

#include <QString>
#include <limits>

namespace ovira {

std::uint64_t hexColorValue(QStringView text) {
    QString digits = text.toString();
    digits.remove(QLatin1Char('#'));
    qsizetype i = 0;
    while (i < digits.size() && digits[i].isSpace()) ++i;
    if (digits.mid(i, 2).compare(QLatin1String("0x"), Qt::CaseInsensitive) == 0) i += 2;
    std::uint64_t value = 0;
    for (; i < digits.size(); ++i) {
        const int digit =
            QChar(digits[i]).isDigit() ? digits[i].unicode() - '0'
            : (digits[i].toLower() >= QLatin1Char('a') && digits[i].toLower() <= QLatin1Char('f'))
                ? digits[i].toLower().unicode() - 'a' + 10
                : -1;
        if (digit < 0 || digits[i].unicode() > 0x7F) break;
        // Too many digits saturate rather than wrap, as a scanner of 64-bit numbers does.
        if (value > (std::numeric_limits<std::uint64_t>::max() >> 4))
            return std::numeric_limits<std::uint64_t>::max();
        value = (value << 4) | static_cast<std::uint64_t>(digit);
    }
    return value;
}

QColor colorFromHex(QStringView text) {
    const std::uint64_t value = hexColorValue(text);
    return QColor(static_cast<int>((value >> 16) & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                  static_cast<int>(value & 0xFF));
}

}  // namespace ovira
