#pragma once

// Whether this build runs under AddressSanitizer, as the compiler itself tells, and how much its
// tests' waits and bounds stretch for it.

#if defined(__SANITIZE_ADDRESS__)
#define VAPORICA_SANITIZED_BUILD 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VAPORICA_SANITIZED_BUILD 1
#endif
#endif

namespace vaporica::test {

#ifdef VAPORICA_SANITIZED_BUILD
constexpr bool Sanitized = true;
#else
constexpr bool Sanitized = false;
#endif

// The sanitizer build runs several times slower.
constexpr int Slowdown = Sanitized ? 3 : 1;

} // namespace vaporica::test
