// Forced into every C++ file of the browser build: emscripten's C++ library
// here predates std::bit_cast, which clang provides as a builtin.
#pragma once
#include <bit>

#if !defined(__cpp_lib_bit_cast)
namespace std {
template <class To, class From>
constexpr To bit_cast(const From& from) noexcept {
  return __builtin_bit_cast(To, from);
}
}  // namespace std
#endif
