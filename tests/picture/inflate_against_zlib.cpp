// The launcher's inflater against zlib on random streams: random bytes,
// repetitive text and pieces of the artwork, deflated by zlib at every level
// and strategy, with random flushes and parameter changes, then damaged by
// bit flips, cuts and splices. Whatever zlib decodes completely within the
// output cap, ours must decode to the same bytes; whatever zlib rejects, or
// decodes to more than the cap, ours must reject (fail). Under the
// sanitizers a read out of bounds ends the run as well.
//
// Every stream that fails (or crashes) is written to the regressions folder,
// which each run replays first; keep it there once the fault is fixed.
//
//   inflate_against_zlib [--seconds S | --cases N] [--seed S [--first I]]
//                        [--regressions DIR] [--artwork FILE]
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "forms/error.h"
#include "forms/picture/inflate.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/common_interface_defs.h>
#else
#include <csignal>
#endif

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using Rng = std::mt19937_64;

constexpr std::size_t kReplayCap = std::size_t{1} << 24;

// The stream being checked, where it comes from, and where it is written
// out if it fails or the process dies on it.
Bytes g_current;
std::string g_where;
fs::path g_keep_as;

void KeepCurrent() {
  std::fprintf(stderr, "failed on %s\n", g_where.c_str());
  if (g_keep_as.empty()) return;
  std::error_code ignored;
  fs::create_directories(g_keep_as.parent_path(), ignored);
  std::ofstream(g_keep_as, std::ios::binary)
      .write(reinterpret_cast<const char*>(g_current.data()), static_cast<std::streamsize>(g_current.size()));
  std::fprintf(stderr, "kept the stream as %s\n", g_keep_as.c_str());
}

Bytes ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

// zlib's answer: the output, when the stream ends properly within cap bytes.
std::optional<Bytes> ZlibInflate(const Bytes& stream, std::size_t cap) {
  z_stream z{};
  if (inflateInit2(&z, -15) != Z_OK) std::abort();
  z.next_in = const_cast<Bytef*>(stream.data());
  z.avail_in = static_cast<uInt>(stream.size());
  // Room for one byte more than the cap, given as it is needed.
  Bytes out;
  int result = Z_OK;
  while (result == Z_OK && z.total_out <= cap) {
    const std::size_t used = z.total_out;
    const auto room = static_cast<uInt>(std::min<std::size_t>(cap + 1 - used, 65536));
    out.resize(used + room);
    z.next_out = out.data() + used;
    z.avail_out = room;
    result = inflate(&z, Z_NO_FLUSH);  // Z_BUF_ERROR once it can go no further
  }
  out.resize(z.total_out);
  inflateEnd(&z);
  if (result != Z_STREAM_END || out.size() > cap) return std::nullopt;
  return out;
}

// A failure ends the process that raises it, and ours rejects a stream by
// failing: a stream that zlib rejects is decoded in a child process, which
// sends back what it decoded or ends with kRejected after the failure's
// handling. Streams zlib decodes are decoded here (main keeps the stream
// should ours fail on one).
constexpr int kRejected = 86;

struct Ours {
  std::optional<Bytes> out;  // none: rejected
  std::string died;          // how the child ended otherwise
};

Ours InflateInChild(const Bytes& stream, std::size_t cap) {
  int channel[2];
  if (pipe(channel) != 0) std::abort();
  const pid_t child = fork();
  if (child < 0) std::abort();
  if (child == 0) {
    close(channel[0]);
    forms::SetFailureExit([](void*) { _exit(kRejected); }, nullptr);
    forms::Guard(
        [&] {
          const Bytes out = forms::picture::Inflate(stream, cap);
          for (std::size_t sent = 0; sent < out.size();) {
            const ssize_t n = write(channel[1], out.data() + sent, out.size() - sent);
            if (n <= 0) _exit(2);
            sent += static_cast<std::size_t>(n);
          }
        },
        [](const forms::RuntimeError&) {});
    _exit(0);
  }
  close(channel[1]);
  Bytes got;
  std::uint8_t buffer[65536];
  for (ssize_t n; (n = read(channel[0], buffer, sizeof buffer)) != 0;) {
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) break;
    got.insert(got.end(), buffer, buffer + n);
  }
  close(channel[0]);
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return {std::move(got), {}};
  if (WIFEXITED(status) && WEXITSTATUS(status) == kRejected) return {};
  return {{}, WIFEXITED(status) ? "the decoder ended with status " + std::to_string(WEXITSTATUS(status))
                                : "the decoder died of signal " + std::to_string(WTERMSIG(status))};
}

// Empty when ours agrees with zlib at this cap; otherwise what differs.
std::string Compare(const Bytes& stream, std::size_t cap) {
  const std::optional<Bytes> want = ZlibInflate(stream, cap);
  const Ours ours = want ? Ours{forms::picture::Inflate(stream, cap), {}} : InflateInChild(stream, cap);
  if (!ours.died.empty()) return ours.died;
  const std::optional<Bytes>& got = ours.out;
  const std::string at = " (cap " + std::to_string(cap) + ")";
  if (!want && got) return "decoded " + std::to_string(got->size()) + " bytes of a stream zlib rejects" + at;
  if (want && !got) return "rejected a stream zlib decodes to " + std::to_string(want->size()) + " bytes" + at;
  if (want && *want != *got) {
    const auto first = std::mismatch(want->begin(), want->end(), got->begin(), got->end());
    return "output differs from zlib's from byte " + std::to_string(first.first - want->begin()) + " (" +
           std::to_string(got->size()) + " bytes, zlib " + std::to_string(want->size()) + ")" + at;
  }
  return {};
}

// The stream at cap, and, where it decodes, at exactly its size and one less.
std::string Check(const Bytes& stream, std::size_t cap) {
  g_current = stream;
  std::string fault = Compare(stream, cap);
  if (!fault.empty()) return fault;
  if (const std::optional<Bytes> full = ZlibInflate(stream, cap)) {
    fault = Compare(stream, full->size());
    if (fault.empty() && !full->empty()) fault = Compare(stream, full->size() - 1);
    // The start alone, as the artwork's headers are read.
    const std::size_t start = full->size() / 3;
    if (fault.empty() && forms::picture::InflateStart(stream, start) != Bytes(full->begin(), full->begin() + start))
      fault = "the first " + std::to_string(start) + " bytes alone differ from zlib's";
  }
  return fault;
}

std::size_t AnySize(Rng& rng, int max_bits) {
  return static_cast<std::size_t>(rng() % (std::uint64_t{1} << (rng() % (max_bits + 1))));
}

Bytes RandomBytes(Rng& rng, std::size_t size) {
  Bytes out(size);
  // A narrow alphabet now and then, which gives short, skewed codes.
  const unsigned alphabet = rng() % 4 == 0 ? 2 + rng() % 16 : 256;
  for (auto& b : out) b = static_cast<std::uint8_t>(rng() % alphabet);
  return out;
}

// Words, repeated phrases at all distances and runs of one letter.
Bytes Text(Rng& rng, std::size_t size) {
  std::vector<std::string> words(2 + rng() % 30);
  for (auto& w : words)
    for (std::size_t n = 1 + rng() % 12; n > 0; --n) w += static_cast<char>('a' + rng() % 26);
  Bytes out;
  while (out.size() < size) {
    const auto pick = rng() % 8;
    if (pick == 0 && !out.empty()) {
      const std::size_t from = rng() % out.size();
      const std::size_t length = std::min<std::size_t>(1 + rng() % 600, out.size() - from);
      out.insert(out.end(), out.begin() + static_cast<std::ptrdiff_t>(from),
                 out.begin() + static_cast<std::ptrdiff_t>(from + length));
    } else if (pick == 1) {
      out.insert(out.end(), 1 + rng() % 700, static_cast<std::uint8_t>('a' + rng() % 26));
    } else {
      const std::string& w = words[rng() % words.size()];
      out.insert(out.end(), w.begin(), w.end());
      out.push_back(' ');
    }
  }
  out.resize(size);
  return out;
}

Bytes Input(Rng& rng, const Bytes& artwork) {
  Bytes out;
  for (auto parts = 1 + rng() % 3; parts > 0; --parts) {
    const std::size_t size = AnySize(rng, 16);
    Bytes part;
    switch (rng() % 4) {
      case 0:
        part = RandomBytes(rng, size);
        break;
      case 1:
        part = Text(rng, size);
        break;
      default:
        if (artwork.empty()) break;
        if (rng() % 40 == 0) {
          part = artwork;
        } else {
          const std::size_t from = rng() % artwork.size();
          part.assign(artwork.begin() + static_cast<std::ptrdiff_t>(from),
                      artwork.begin() + static_cast<std::ptrdiff_t>(std::min(artwork.size(), from + size)));
        }
    }
    out.insert(out.end(), part.begin(), part.end());
  }
  return out;
}

// zlib's raw deflate of input in a few pieces, each ended by a random flush,
// with the level and strategy changed between pieces now and then.
Bytes Deflate(Rng& rng, const Bytes& input) {
  static constexpr int kStrategies[] = {Z_DEFAULT_STRATEGY, Z_FILTERED, Z_HUFFMAN_ONLY, Z_RLE, Z_FIXED};
  static constexpr int kFlushes[] = {Z_NO_FLUSH, Z_NO_FLUSH, Z_SYNC_FLUSH, Z_FULL_FLUSH, Z_PARTIAL_FLUSH, Z_BLOCK};
  const auto level = [&rng] { return static_cast<int>(rng() % 11) - 1; };
  const auto strategy = [&rng] { return kStrategies[rng() % std::size(kStrategies)]; };
  z_stream z{};
  if (deflateInit2(&z, level(), Z_DEFLATED, -static_cast<int>(9 + rng() % 7), static_cast<int>(1 + rng() % 9),
                   strategy()) != Z_OK)
    std::abort();
  Bytes out;
  const auto pump = [&](int flush) {
    int result = Z_OK;
    do {
      const std::size_t used = out.size();
      out.resize(used + 65536);
      z.next_out = out.data() + used;
      z.avail_out = 65536;
      result = deflate(&z, flush);
      out.resize(used + 65536 - z.avail_out);
    } while (z.avail_out == 0 || (flush == Z_FINISH && result != Z_STREAM_END));
  };
  std::size_t done = 0;
  while (done < input.size()) {
    const std::size_t piece = std::min(input.size() - done, 1 + AnySize(rng, 17));
    z.next_in = const_cast<Bytef*>(input.data() + done);
    z.avail_in = static_cast<uInt>(piece);
    done += piece;
    pump(kFlushes[rng() % std::size(kFlushes)]);
    if (rng() % 6 == 0) {
      pump(Z_BLOCK);
      Bytes room(65536);
      z.next_out = room.data();
      z.avail_out = static_cast<uInt>(room.size());
      deflateParams(&z, level(), strategy());
      out.insert(out.end(), room.begin(), room.end() - z.avail_out);
    }
  }
  pump(Z_FINISH);
  deflateEnd(&z);
  return out;
}

// A damaged copy: flipped bits, overwritten, cut, lost, doubled or foreign bytes.
Bytes Damage(Rng& rng, Bytes s) {
  for (auto edits = 1 + rng() % 4; edits > 0; --edits) {
    const std::size_t at = s.empty() ? 0 : rng() % s.size();
    const std::size_t length = std::min<std::size_t>(s.size() - at, 1 + AnySize(rng, 8));
    const auto where = s.begin() + static_cast<std::ptrdiff_t>(at);
    switch (rng() % 6) {
      case 0:
        if (!s.empty()) s[at] ^= static_cast<std::uint8_t>(1u << rng() % 8);
        break;
      case 1:
        if (!s.empty()) s[at] = static_cast<std::uint8_t>(rng());
        break;
      case 2:
        s.resize(at);
        break;
      case 3:
        s.erase(where, where + static_cast<std::ptrdiff_t>(length));
        break;
      case 4: {
        const Bytes copy(where, where + static_cast<std::ptrdiff_t>(length));
        s.insert(s.begin() + static_cast<std::ptrdiff_t>(rng() % (s.size() + 1)), copy.begin(), copy.end());
        break;
      }
      default: {
        const Bytes foreign = RandomBytes(rng, length);
        s.insert(where, foreign.begin(), foreign.end());
      }
    }
  }
  return s;
}

struct Options {
  double seconds = 1.5;
  std::uint64_t cases = 0;  // 0: as many as fit in the time
  std::uint64_t seed = std::random_device{}() | static_cast<std::uint64_t>(std::random_device{}()) << 32;
  std::uint64_t first = 0;
  fs::path regressions;
  fs::path artwork;
};

Options Parse(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; i += 2) {
    const std::string name = argv[i], value = i + 1 < argc ? argv[i + 1] : "";
    if (name == "--seconds")
      o.seconds = std::stod(value);
    else if (name == "--cases")
      o.cases = std::stoull(value);
    else if (name == "--seed")
      o.seed = std::stoull(value);
    else if (name == "--first")
      o.first = std::stoull(value);
    else if (name == "--regressions")
      o.regressions = value;
    else if (name == "--artwork")
      o.artwork = value;
    else {
      std::cerr << "unknown option " << name << " (see the top of " << __FILE__ << ")\n";
      std::exit(2);
    }
  }
  return o;
}

}  // namespace

int main(int argc, char** argv) {
  const Options options = Parse(argc, argv);
  // Should ours fail on a stream that zlib decodes, the stream is kept as
  // the program ends.
  forms::SetFailureExit([](void*) { KeepCurrent(); }, nullptr);
#if defined(__SANITIZE_ADDRESS__)
  __sanitizer_set_death_callback(KeepCurrent);
#else
  for (const int signal : {SIGSEGV, SIGABRT, SIGFPE, SIGBUS})
    std::signal(signal, [](int) {
      KeepCurrent();
      std::_Exit(3);
    });
#endif

  int replayed = 0;
  if (!options.regressions.empty() && fs::is_directory(options.regressions)) {
    std::vector<fs::path> kept;
    for (const auto& entry : fs::directory_iterator(options.regressions))
      if (entry.path().extension() == ".bin") kept.push_back(entry.path());
    std::sort(kept.begin(), kept.end());
    for (const fs::path& path : kept) {
      g_keep_as.clear();  // already kept
      g_where = "regression " + path.string();
      const std::string fault = Check(ReadFile(path), kReplayCap);
      if (!fault.empty()) {
        std::cerr << fault << "\n";
        KeepCurrent();
        return 1;
      }
      ++replayed;
    }
  }

  const Bytes artwork = options.artwork.empty() ? Bytes{} : ReadFile(options.artwork);
  const auto start = std::chrono::steady_clock::now();
  const auto elapsed = [&start] {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  };
  std::uint64_t cases = 0, streams = 0;
  for (std::uint64_t index = options.first;; ++index) {
    if (options.cases != 0 ? cases == options.cases : elapsed() >= options.seconds) break;
    std::seed_seq seeds{options.seed, options.seed >> 32, index};
    Rng rng(seeds);
    const Bytes input = Input(rng, artwork);
    const Bytes stream = Deflate(rng, input);
    if (ZlibInflate(stream, input.size()) != input) {
      std::cerr << "harness: zlib does not restore its own stream (seed " << options.seed << ", case " << index
                << ")\n";
      return 2;
    }
    const std::size_t cap = std::max<std::size_t>(2 * input.size(), 4096);
    for (int variant = 0; variant < 5; ++variant) {
      const Bytes checked = variant == 0 ? stream : Damage(rng, stream);
      const std::string name =
          std::to_string(options.seed) + "-" + std::to_string(index) + "-" + std::to_string(variant) + ".bin";
      if (!options.regressions.empty()) g_keep_as = options.regressions / name;
      g_where = "seed " + std::to_string(options.seed) + ", case " + std::to_string(index) + ", stream " +
                std::to_string(variant) + " (replay: --seed " + std::to_string(options.seed) + " --first " +
                std::to_string(index) + " --cases 1)";
      const std::string fault = Check(checked, cap);
      ++streams;
      if (!fault.empty()) {
        std::cerr << fault << "\n";
        KeepCurrent();
        return 1;
      }
    }
    ++cases;
  }
  std::printf("inflate against zlib: %d regressions, %llu cases (%llu streams) from seed %llu in %.1f s\n", replayed,
              static_cast<unsigned long long>(cases), static_cast<unsigned long long>(streams),
              static_cast<unsigned long long>(options.seed), elapsed());
  return 0;
}
