#pragma once
// Decompresses a raw deflate stream (RFC 1951). The artwork is stored
// deflated in the program, which keeps Setup.exe small enough for its media.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace forms::win32 {

// Throws RuntimeError on a damaged stream.
std::vector<std::uint8_t> Inflate(const std::uint8_t* data, std::size_t size);

}  // namespace forms::win32
