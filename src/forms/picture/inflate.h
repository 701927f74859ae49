#pragma once
// Decompresses a raw deflate stream (RFC 1951). The artwork is stored
// deflated in the program, which keeps Setup.exe small enough for its media.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace forms::picture {

// Fails (forms::Raise) on a damaged stream, and on one that would come to more
// than max_output bytes. Stops after the last block; bytes after it are not read.
std::vector<std::uint8_t> Inflate(std::span<const std::uint8_t> data, std::size_t max_output);

// The first length bytes of the stream's output (all of it when shorter),
// decoding no further than they need; fails as Inflate does.
std::vector<std::uint8_t> InflateStart(std::span<const std::uint8_t> data, std::size_t length);

}  // namespace forms::picture
