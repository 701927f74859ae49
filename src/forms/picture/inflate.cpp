#include "forms/picture/inflate.h"

#include <array>
#include <limits>
#include <string>
#include <utility>

#include "forms/error.h"

namespace forms::picture {
namespace {

constexpr std::array<std::uint16_t, 29> kLengthBase{3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                                    31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<std::uint8_t, 29> kLengthExtra{0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                    2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<std::uint16_t, 30> kDistanceBase{1,    2,    3,    4,    5,    7,    9,    13,    17,    25,
                                                      33,   49,   65,   97,   129,  193,  257,  385,   513,   769,
                                                      1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::array<std::uint8_t, 30> kDistanceExtra{0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                                      6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
// The order in which a dynamic block lists its code-length code lengths.
constexpr std::array<std::uint8_t, 19> kCodeLengthOrder{16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                        11, 4,  12, 3, 13, 2, 14, 1, 15};

[[noreturn]] void Damaged() { Raise("damaged picture data"); }

// A canonical Huffman code: how many codes of each length, and the symbols
// in code order. Over-subscribed lengths are damage; incomplete ones are up
// to the caller (see Usable).
struct Code {
  std::array<std::uint16_t, 16> count{};
  std::array<std::uint16_t, 288> symbol{};
  int unused = 1 << 15;  // code space left, in units of a 15-bit code

  Code(const std::uint8_t* lengths, int n) {
    for (int s = 0; s < n; ++s) ++count[lengths[s]];
    count[0] = 0;
    for (int len = 1; len < 16; ++len) unused -= count[len] << (15 - len);
    if (unused < 0) Damaged();
    std::array<std::uint16_t, 16> offset{};
    for (int len = 1; len < 15; ++len) offset[len + 1] = offset[len] + count[len];
    for (int s = 0; s < n; ++s)
      if (lengths[s] != 0) symbol[offset[lengths[s]]++] = static_cast<std::uint16_t>(s);
  }

  bool Complete() const { return unused == 0; }
  // A literal/length or distance code a deflater may write: a complete one,
  // a single one-bit code (a block using one symbol) or, for distances, none
  // at all (a block of literals only).
  bool Usable(bool may_be_empty) const {
    return unused == 0 || (count[1] == 1 && unused == 1 << 14) || (may_be_empty && unused == 1 << 15);
  }
};

class Inflater {
 public:
  Inflater(std::span<const std::uint8_t> in, std::size_t max_output, std::size_t wanted)
      : in_(in), max_(max_output), wanted_(wanted) {}

  std::vector<std::uint8_t> Run() {
    for (bool last = false; !last && out_.size() < wanted_;) {
      last = Bits(1) != 0;
      switch (Bits(2)) {
        case 0:
          Stored();
          break;
        case 1:
          Fixed();
          break;
        case 2:
          Dynamic();
          break;
        default:
          Damaged();
      }
    }
    return std::move(out_);
  }

 private:
  unsigned Bits(int need) {
    std::uint32_t value = buffer_;
    while (count_ < need) {
      if (pos_ == in_.size()) Damaged();
      value |= static_cast<std::uint32_t>(in_[pos_++]) << count_;
      count_ += 8;
    }
    buffer_ = value >> need;
    count_ -= need;
    return value & ((1u << need) - 1);
  }

  int Decode(const Code& code) {
    int value = 0, first = 0, index = 0;
    for (int len = 1; len < 16; ++len) {
      value |= static_cast<int>(Bits(1));
      const int count = code.count[len];
      if (value - count < first) return code.symbol[index + (value - first)];
      index += count;
      first = (first + count) << 1;
      value <<= 1;
    }
    Damaged();
  }

  void Room(std::size_t more) {
    if (max_ - out_.size() < more) Raise("picture data inflates to more than " + std::to_string(max_) + " bytes");
  }

  void Stored() {
    buffer_ = 0;
    count_ = 0;  // to a byte boundary
    if (in_.size() - pos_ < 4) Damaged();
    const std::size_t length = in_[pos_] | in_[pos_ + 1] << 8;
    const std::size_t check = in_[pos_ + 2] | in_[pos_ + 3] << 8;  // the length's ones' complement
    if ((length ^ check) != 0xFFFF) Damaged();
    pos_ += 4;
    if (in_.size() - pos_ < length) Damaged();
    Room(length);
    out_.insert(out_.end(), in_.begin() + static_cast<std::ptrdiff_t>(pos_),
                in_.begin() + static_cast<std::ptrdiff_t>(pos_ + length));
    pos_ += length;
  }

  void Codes(const Code& lengths, const Code& distances) {
    for (;;) {
      const int symbol = Decode(lengths);
      if (symbol < 256) {
        Room(1);
        out_.push_back(static_cast<std::uint8_t>(symbol));
        if (out_.size() >= wanted_) return;
        continue;
      }
      if (symbol == 256) return;
      const int l = symbol - 257;
      if (l >= 29) Damaged();
      const std::size_t length = kLengthBase[l] + Bits(kLengthExtra[l]);
      const int d = Decode(distances);
      if (d >= 30) Damaged();
      const std::size_t distance = kDistanceBase[d] + Bits(kDistanceExtra[d]);
      if (distance > out_.size()) Damaged();
      Room(length);
      const std::size_t from = out_.size() - distance;
      for (std::size_t i = 0; i < length; ++i) {
        const std::uint8_t byte = out_[from + i];
        out_.push_back(byte);
      }
      if (out_.size() >= wanted_) return;
    }
  }

  void Dynamic() {
    const int literal_count = static_cast<int>(Bits(5)) + 257;
    const int distance_count = static_cast<int>(Bits(5)) + 1;
    const int length_count = static_cast<int>(Bits(4)) + 4;
    if (literal_count > 286 || distance_count > 30) Damaged();
    std::array<std::uint8_t, 320> lengths{};
    for (int i = 0; i < length_count; ++i) lengths[kCodeLengthOrder[i]] = static_cast<std::uint8_t>(Bits(3));
    const Code length_code(lengths.data(), 19);
    if (!length_code.Complete()) Damaged();
    lengths.fill(0);
    for (int i = 0; i < literal_count + distance_count;) {
      const int symbol = Decode(length_code);
      if (symbol < 16) {
        lengths[i++] = static_cast<std::uint8_t>(symbol);
        continue;
      }
      std::uint8_t repeat_value = 0;
      unsigned repeat = 0;
      if (symbol == 16) {
        if (i == 0) Damaged();
        repeat_value = lengths[i - 1];
        repeat = 3 + Bits(2);
      } else {
        repeat = symbol == 17 ? 3 + Bits(3) : 11 + Bits(7);
      }
      if (i + static_cast<int>(repeat) > literal_count + distance_count) Damaged();
      while (repeat-- > 0) lengths[i++] = repeat_value;
    }
    if (lengths[256] == 0) Damaged();  // the block could not end
    const Code literals(lengths.data(), literal_count);
    const Code distances(lengths.data() + literal_count, distance_count);
    if (!literals.Usable(false) || !distances.Usable(true)) Damaged();
    Codes(literals, distances);
  }

  void Fixed() {
    std::array<std::uint8_t, 320> lengths{};
    for (int s = 0; s < 288; ++s) lengths[s] = s < 144 ? 8 : s < 256 ? 9 : s < 280 ? 7 : 8;
    for (int s = 288; s < 318; ++s) lengths[s] = 5;
    Codes(Code(lengths.data(), 288), Code(lengths.data() + 288, 30));
  }

  std::span<const std::uint8_t> in_;
  std::size_t pos_ = 0;
  std::uint32_t buffer_ = 0;
  int count_ = 0;
  std::size_t max_;
  std::size_t wanted_;  // stop once this much is out (a block may overshoot it)
  std::vector<std::uint8_t> out_;
};

}  // namespace

std::vector<std::uint8_t> Inflate(std::span<const std::uint8_t> data, std::size_t max_output) {
  return Inflater(data, max_output, std::numeric_limits<std::size_t>::max()).Run();
}

std::vector<std::uint8_t> InflateStart(std::span<const std::uint8_t> data, std::size_t length) {
  std::vector<std::uint8_t> out = Inflater(data, std::numeric_limits<std::size_t>::max(), length).Run();
  if (out.size() > length) out.resize(length);
  return out;
}

}  // namespace forms::picture
