#pragma once

#include <QColor>
#include <QStringView>
#include <cstdint>

namespace ovira {

// The number that hexadecimal colour text stands for: every "#" removed,
// leading blanks and an optional "0x" skipped, then hexadecimal digits up to
// the first other character. Text that is not hexadecimal reads as 0.
std::uint64_t hexColorValue(QStringView text);

// An opaque colour from text such as "0088FF" or "#0088FF": red from bits
// 16 to 23, green from 8 to 15, blue from 0 to 7.
QColor colorFromHex(QStringView text);

}  // namespace ovira
