#include "office/zip_stream.h"

#include <zlib.h>

#include <cerrno>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <system_error>

#include "core/platform/file_system.h"

namespace korvane::office {
namespace {

constexpr std::uint32_t kLocalSignature = 0x04034b50;
constexpr std::uint32_t kCentralSignature = 0x02014b50;
constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint32_t kEnd64Signature = 0x06064b50;
constexpr std::uint32_t kLocator64Signature = 0x07064b50;
constexpr std::uint16_t kUtf8Names = 0x0800;
constexpr std::uint16_t kDeflated = 8;
constexpr std::uint16_t kVersion = 20;
constexpr std::uint16_t kVersion64 = 45;
// 1980-01-01 00:00: the same bytes for the same content.
constexpr std::uint16_t kDosTime = 0;
constexpr std::uint16_t kDosDate = (1u << 5) | 1u;
constexpr std::uint32_t kMax32 = std::numeric_limits<std::uint32_t>::max();
// A local header reserves room for the ZIP64 sizes: an extra field that
// readers skip (an id of no meaning), rewritten as the ZIP64 field when an
// entry turns out larger than 4 GiB.
constexpr std::uint16_t kReservedId = 0x4b56;
constexpr std::uint16_t kZip64Id = 0x0001;
constexpr std::size_t kReservedSize = 4 + 16;

void Put16(std::string& out, std::uint16_t value) {
  out.push_back(static_cast<char>(value & 0xff));
  out.push_back(static_cast<char>(value >> 8));
}
void Put32(std::string& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>((value >> shift) & 0xff));
}
void Put64(std::string& out, std::uint64_t value) {
  for (int shift = 0; shift < 64; shift += 8) out.push_back(static_cast<char>((value >> shift) & 0xff));
}
std::uint32_t Clamp32(std::uint64_t value) {
  return value >= kMax32 ? kMax32 : static_cast<std::uint32_t>(value);
}

// Raw deflate of one entry, chunk by chunk.
class Deflater {
 public:
  Deflater() {
    if (deflateInit2(&stream_, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
      throw std::runtime_error("deflateInit2");
    }
  }
  ~Deflater() { deflateEnd(&stream_); }
  Deflater(const Deflater&) = delete;
  Deflater& operator=(const Deflater&) = delete;

  // Compresses `input` (the last piece when `finish`), handing the output
  // to `write`.
  template <typename Write>
  void Feed(std::string_view input, bool finish, const Write& write) {
    stream_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.data()));
    stream_.avail_in = static_cast<uInt>(input.size());
    int status = Z_OK;
    do {
      stream_.next_out = buffer_;
      stream_.avail_out = sizeof buffer_;
      status = deflate(&stream_, finish ? Z_FINISH : Z_NO_FLUSH);
      if (status == Z_STREAM_ERROR) throw std::runtime_error("deflate");
      write(buffer_, sizeof buffer_ - stream_.avail_out);
    } while (stream_.avail_out == 0 || (finish && status != Z_STREAM_END));
  }

 private:
  z_stream stream_{};
  Bytef buffer_[64 * 1024];
};

}  // namespace

ZipStream::ZipStream(const std::filesystem::path& path)
    : path_(path), out_(path, std::ios::binary | std::ios::trunc) {
  Check();
}

void ZipStream::Check() {
  if (out_) return;
  // The stream keeps no reason; the system's last one is the cause (in the
  // users' words for a full disk or a file size limit).
  const int error = errno != 0 ? errno : EIO;
  throw std::runtime_error(platform::ReasonText(std::error_code(error, std::generic_category())));
}

void ZipStream::Write(const void* data, std::size_t size) {
  if (size == 0) return;
  errno = 0;
  out_.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
  Check();
  position_ += size;
}

void ZipStream::Add(const std::string& name, std::string_view bytes) {
  bool given = false;
  Add(name, [&](std::string& chunk) {
    if (!given) chunk.assign(bytes);
    given = true;
    return false;
  });
}

void ZipStream::Add(const std::string& name, const std::function<bool(std::string& chunk)>& next) {
  Entry entry;
  entry.name = name;
  entry.offset = position_;
  std::string header;
  Put32(header, kLocalSignature);
  Put16(header, kVersion);
  Put16(header, kUtf8Names);
  Put16(header, kDeflated);
  Put16(header, kDosTime);
  Put16(header, kDosDate);
  Put32(header, 0);  // crc, sizes: filled in after the data
  Put32(header, 0);
  Put32(header, 0);
  Put16(header, static_cast<std::uint16_t>(name.size()));
  Put16(header, static_cast<std::uint16_t>(kReservedSize));
  header += name;
  Put16(header, kReservedId);
  Put16(header, 16);
  Put64(header, 0);
  Put64(header, 0);
  Write(header.data(), header.size());

  Deflater deflater;
  uLong crc = crc32(0, nullptr, 0);
  const auto write = [&](const Bytef* data, std::size_t size) {
    Write(data, size);
    entry.compressed += size;
  };
  std::string chunk;
  bool more = true;
  while (more) {
    chunk.clear();
    more = next(chunk);
    crc = crc32_z(crc, reinterpret_cast<const Bytef*>(chunk.data()), chunk.size());
    entry.size += chunk.size();
    deflater.Feed(chunk, !more, write);
  }
  entry.crc = static_cast<std::uint32_t>(crc);

  // The header's crc and sizes, in the ZIP64 form when either size needs it.
  const bool large = entry.size >= kMax32 || entry.compressed >= kMax32;
  std::string patch;
  Put32(patch, entry.crc);
  Put32(patch, large ? kMax32 : static_cast<std::uint32_t>(entry.compressed));
  Put32(patch, large ? kMax32 : static_cast<std::uint32_t>(entry.size));
  out_.seekp(static_cast<std::streamoff>(entry.offset + 14));
  out_.write(patch.data(), static_cast<std::streamsize>(patch.size()));
  if (large) {
    std::string version;
    Put16(version, kVersion64);
    out_.seekp(static_cast<std::streamoff>(entry.offset + 4));
    out_.write(version.data(), 2);
    std::string extra;
    Put16(extra, kZip64Id);
    Put16(extra, 16);
    Put64(extra, entry.size);
    Put64(extra, entry.compressed);
    out_.seekp(static_cast<std::streamoff>(entry.offset + 30 + name.size()));
    out_.write(extra.data(), static_cast<std::streamsize>(extra.size()));
  }
  out_.seekp(static_cast<std::streamoff>(position_));
  Check();
  entries_.push_back(std::move(entry));
}

void ZipStream::Finish() {
  const std::uint64_t directoryOffset = position_;
  for (const Entry& e : entries_) {
    std::string extra;
    if (e.size >= kMax32) Put64(extra, e.size);
    if (e.compressed >= kMax32) Put64(extra, e.compressed);
    if (e.offset >= kMax32) Put64(extra, e.offset);
    std::string record;
    Put32(record, kCentralSignature);
    Put16(record, kVersion64);
    Put16(record, extra.empty() ? kVersion : kVersion64);
    Put16(record, kUtf8Names);
    Put16(record, kDeflated);
    Put16(record, kDosTime);
    Put16(record, kDosDate);
    Put32(record, e.crc);
    Put32(record, Clamp32(e.compressed));
    Put32(record, Clamp32(e.size));
    Put16(record, static_cast<std::uint16_t>(e.name.size()));
    Put16(record, static_cast<std::uint16_t>(extra.empty() ? 0 : extra.size() + 4));
    Put16(record, 0);  // comment
    Put16(record, 0);  // disk
    Put16(record, 0);  // internal attributes
    Put32(record, 0);  // external attributes
    Put32(record, Clamp32(e.offset));
    record += e.name;
    if (!extra.empty()) {
      Put16(record, kZip64Id);
      Put16(record, static_cast<std::uint16_t>(extra.size()));
      record += extra;
    }
    Write(record.data(), record.size());
  }
  const std::uint64_t directorySize = position_ - directoryOffset;
  const std::uint64_t count = entries_.size();
  std::string end;
  if (count >= 0xffff || directoryOffset >= kMax32 || directorySize >= kMax32) {
    const std::uint64_t end64Offset = position_;
    Put32(end, kEnd64Signature);
    Put64(end, 44);
    Put16(end, kVersion64);
    Put16(end, kVersion64);
    Put32(end, 0);
    Put32(end, 0);
    Put64(end, count);
    Put64(end, count);
    Put64(end, directorySize);
    Put64(end, directoryOffset);
    Put32(end, kLocator64Signature);
    Put32(end, 0);
    Put64(end, end64Offset);
    Put32(end, 1);
  }
  Put32(end, kEndSignature);
  Put16(end, 0);
  Put16(end, 0);
  Put16(end, static_cast<std::uint16_t>(count >= 0xffff ? 0xffff : count));
  Put16(end, static_cast<std::uint16_t>(count >= 0xffff ? 0xffff : count));
  Put32(end, Clamp32(directorySize));
  Put32(end, Clamp32(directoryOffset));
  Put16(end, 0);
  Write(end.data(), end.size());
  errno = 0;
  out_.flush();
  Check();
  out_.close();
  Check();
}

}  // namespace korvane::office
