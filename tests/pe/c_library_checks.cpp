// Setup.exe's own pieces of the C library (src/app/c_library), checked at
// compile time: each table row is a static_assert, so a wrong row stops the
// build. The cases are those where such pieces usually go wrong: blocks
// that overlap, bytes above 0x7F, halfway values and the edges of long.
#include <climits>
#include <cstddef>
#include <limits>
#include <string_view>

#include "c_library/bytes.h"
#include "c_library/format.h"
#include "c_library/rounding.h"

namespace {

using c_library::CompareBytes;
using c_library::CompareText;
using c_library::Format;
using c_library::RoundToLong;

// Whether "abcdef" reads `expected` after MoveBytes(at + to, at + from, count).
constexpr bool Moves(std::size_t to, std::size_t from, std::size_t count, std::string_view expected) {
  unsigned char bytes[] = {'a', 'b', 'c', 'd', 'e', 'f'};
  c_library::MoveBytes(bytes + to, bytes + from, count);
  for (std::size_t i = 0; i < sizeof bytes; ++i) {
    if (bytes[i] != static_cast<unsigned char>(expected[i])) return false;
  }
  return true;
}
static_assert(Moves(2, 0, 4, "ababcd"));  // target after the source: copied from the end
static_assert(Moves(0, 2, 4, "cdefef"));  // target before the source
static_assert(Moves(1, 0, 5, "aabcde"));
static_assert(Moves(0, 1, 5, "bcdeff"));
static_assert(Moves(3, 3, 3, "abcdef"));  // onto itself
static_assert(Moves(0, 3, 0, "abcdef"));  // nothing

constexpr int Sign(int value) { return (value > 0) - (value < 0); }

struct ByteCase {
  unsigned char a[3], b[3];
  std::size_t count;
  int sign;
};
constexpr ByteCase kByteCases[] = {
    {{1, 2, 3}, {1, 2, 3}, 3, 0},        // equal
    {{1, 2, 3}, {1, 2, 4}, 3, -1},       // the last byte decides
    {{1, 2, 4}, {1, 2, 3}, 3, 1},        // and the other way round
    {{0x80, 0, 0}, {0x01, 0, 0}, 1, 1},  // bytes are unsigned
    {{0, 5, 0}, {0, 6, 0}, 3, -1},       // a zero byte is a byte like another
    {{1, 2, 3}, {1, 9, 9}, 1, 0},        // only `count` bytes
    {{1, 2, 3}, {9, 9, 9}, 0, 0},        // none
};
constexpr bool BytesCompare() {
  for (const ByteCase& c : kByteCases) {
    if (Sign(CompareBytes(c.a, c.b, c.count)) != c.sign) return false;
  }
  return true;
}
static_assert(BytesCompare());

struct TextCase {
  const char *a, *b;
  std::size_t count;
  int sign;
};
constexpr TextCase kTextCases[] = {
    {"abc", "abc", 3, 0},      // equal
    {"abc", "abd", 2, 0},      // only `count` characters
    {"abc", "abd", 3, -1},     // the last one decides
    {"abd", "abc", 9, 1},      // a count beyond the end
    {"ab", "abc", 3, -1},      // the shorter first
    {"a\x80", "a\x01", 2, 1},  // characters compare as unsigned bytes
    {"ab\0x", "ab\0y", 4, 0},  // nothing after the end counts
    {"", "", 5, 0},            // both empty
    {"x", "y", 0, 0},          // none
};
constexpr bool TextsCompare() {
  for (const TextCase& c : kTextCases) {
    if (Sign(CompareText(c.a, c.b, c.count)) != c.sign) return false;
  }
  return true;
}
static_assert(TextsCompare());

constexpr unsigned char kHaystack[] = {7, 0x80, 3, 0x80};
static_assert(c_library::FindByte(kHaystack, 0x80, 4) == kHaystack + 1);  // the first
static_assert(c_library::FindByte(kHaystack, 3, 2) == nullptr);           // beyond the count
static_assert(c_library::FindByte(kHaystack, 9, 4) == nullptr);
static_assert(c_library::Length("") == 0 && c_library::Length("abc") == 3 && c_library::Length(L"ab\0c") == 2);

struct RoundCase {
  double value;
  long rounded;
};
constexpr RoundCase kRoundCases[] = {
    {0.0, 0},
    {0.5, 1},
    {-0.5, -1},
    {1.5, 2},
    {2.5, 3},  // halfway away from zero, not to even
    {-2.5, -3},
    {2.4999999999999996, 2},
    {0.49999999999999994, 0},  // the largest double below one half: +0.5 and truncating gives 1
    {-0.49999999999999994, 0},
    {1e-300, 0},
    {13.333333333333334, 13},  // 200 twips at 96 dpi
    {2147483647.4, LONG_MAX},
    {-2147483648.4, LONG_MIN},
    {-2147483647.5, LONG_MIN},  // away from zero to the lowest long, which exists
    {2147483647.5, LONG_MIN},   // its nearest long, 2^31, does not exist
    {-2147483648.5, LONG_MIN},
    {1e20, LONG_MIN},
    {-std::numeric_limits<double>::infinity(), LONG_MIN},
    {std::numeric_limits<double>::quiet_NaN(), LONG_MIN},
};
constexpr bool Rounds() {
  for (const RoundCase& c : kRoundCases) {
    if (RoundToLong(c.value) != c.rounded) return false;
  }
  return true;
}
static_assert(Rounds());

// The line Format writes for `format` with the arguments given, and how many
// of them it read; "!" where it read more than there are.
struct Formatted {
  char text[128] = {};
  std::size_t size = 0;
  int read = 0;
  constexpr bool Is(std::string_view expected, int expected_read) const {
    return std::string_view(text, size) == expected && read == expected_read;
  }
};
constexpr Formatted FormatOf(const char* format, const char* first = nullptr, const char* second = nullptr,
                             int given = 2) {
  Formatted out;
  const char* arguments[] = {first, second};
  Format(
      format, [&] { return out.read < given ? arguments[out.read++] : (++out.read, "!"); },
      [&](const char* text, std::size_t count) {
        for (std::size_t i = 0; i < count && out.size < sizeof out.text; ++i) out.text[out.size++] = text[i];
      });
  return out;
}
static_assert(FormatOf("%s: unhandled run-time error: %s\n", "FrmSetup", "artwork: damaged picture data")
                  .Is("FrmSetup: unhandled run-time error: artwork: damaged picture data\n", 2));
static_assert(FormatOf("plain").Is("plain", 0));
static_assert(FormatOf("").Is("", 0));
static_assert(FormatOf("100%% done %s", "now").Is("100% done now", 1));
static_assert(FormatOf("%s%s", "a", "b").Is("ab", 2));
static_assert(FormatOf("[%s]", nullptr, nullptr, 1).Is("[(null)]", 1));
// Another conversion: the rest as it stands, no argument read for it or after it.
static_assert(FormatOf("%s has %d of %s", "x", "y").Is("x has %d of %s", 1));
static_assert(FormatOf("ends in %").Is("ends in %", 0));

}  // namespace
