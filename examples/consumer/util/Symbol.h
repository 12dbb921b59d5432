// The consumer's own util/Symbol.h: a host has folders named like the package's, and
// the package's headers, reached through <orrinsymbols/...>, never pick this one up.
#pragma once

namespace consumer_util {

constexpr const char* kGreeting = "consumer";

}  // namespace consumer_util
