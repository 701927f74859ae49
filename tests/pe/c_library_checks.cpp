// Setup.exe's own pieces of the C library (src/app/c_library), checked at
// compile time: a wrong case stops the build. The cases are where such
// pieces go wrong: blocks that overlap, bytes above 0x7F, halfway values,
// the edges of long and conversions the format does not know.
#include <climits>
#include <cstddef>
#include <limits>
#include <string_view>

#include "c_library/bytes.h"
#include "c_library/format.h"
#include "c_library/rounding.h"

namespace {

using namespace c_library;

// Whether "abcdef" reads `expected` after MoveBytes(at + to, at + from, count).
constexpr bool Moves(std::size_t to, std::size_t from, std::size_t count, std::string_view expected) {
  unsigned char bytes[] = {'a', 'b', 'c', 'd', 'e', 'f'};
  MoveBytes(bytes + to, bytes + from, count);
  for (std::size_t i = 0; i < sizeof bytes; ++i) {
    if (bytes[i] != static_cast<unsigned char>(expected[i])) return false;
  }
  return true;
}
static_assert(Moves(2, 0, 4, "ababcd") && Moves(0, 2, 4, "cdefef"));  // either way round

constexpr unsigned char kHigh[] = {1, 0x80}, kLow[] = {1, 0x01};
static_assert(CompareBytes(kHigh, kLow, 2) > 0 && CompareBytes(kHigh, kLow, 1) == 0);  // unsigned, `count` only
static_assert(CompareText("a\x80", "a\x01", 2) > 0 && CompareText("ab", "abc", 9) < 0);
static_assert(CompareText("ab\0x", "ab\0y", 4) == 0 && CompareText("abc", "abd", 2) == 0);  // to the end, `count`
static_assert(FindByte(kHigh, 0x80, 2) == kHigh + 1 && FindByte(kHigh, 0x80, 1) == nullptr);

struct RoundCase {
  double value;
  long rounded;
};
constexpr RoundCase kRoundCases[] = {
    {0.5, 1},
    {-0.5, -1},
    {2.5, 3},                  // halfway away from zero, not to even
    {0.49999999999999994, 0},  // the largest double below one half: adding 0.5 and truncating gives 1
    {-2147483648.4, LONG_MIN},
    {2147483647.4, LONG_MAX},
    {2147483647.5, LONG_MIN},  // its nearest long, 2^31, does not exist
    {std::numeric_limits<double>::quiet_NaN(), LONG_MIN},
};
constexpr bool Rounds() {
  for (const RoundCase& c : kRoundCases) {
    if (RoundToLong(c.value) != c.rounded) return false;
  }
  return true;
}
static_assert(Rounds());

// Whether Format writes `expected` for `format` with the two arguments and
// reads `reads` of them.
constexpr bool Formats(const char* format, std::string_view expected, int reads, const char* first = "x",
                       const char* second = "y") {
  char text[64] = {};
  std::size_t size = 0;
  int read = 0;
  const char* arguments[] = {first, second, "!"};
  Format(
      format, [&] { return arguments[read < 2 ? read++ : 2]; },
      [&](const char* piece, std::size_t count) {
        for (std::size_t i = 0; i < count && size < sizeof text; ++i) text[size++] = piece[i];
      });
  return std::string_view(text, size) == expected && read == reads;
}
static_assert(Formats("%s: failed: %s\n", "x: failed: y\n", 2));
static_assert(Formats("100%% %s", "100% x", 1));
static_assert(Formats("[%s]", "[(null)]", 1, nullptr));
static_assert(Formats("%s has %d of %s", "x has %d of %s", 1));  // the rest as it stands
static_assert(Formats("ends in %", "ends in %", 0));

}  // namespace
