#pragma once

namespace ovira::test {

// Under AddressSanitizer freed memory waits in a quarantine of up to 256 MiB
// before it is reused, so resident memory grows whatever the library does;
// there LeakSanitizer, at exit, is the check for memory kept.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kResidentMemoryIsMeaningful = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kResidentMemoryIsMeaningful = false;
#else
constexpr bool kResidentMemoryIsMeaningful = true;
#endif
#else
constexpr bool kResidentMemoryIsMeaningful = true;
#endif

}  // namespace ovira::test
