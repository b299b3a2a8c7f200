// Code page 936 through the C library's iconv, under the name "CP936"
// (glibc: the same table as "GBK"; 0x80 decodes as the euro sign and every
// double-byte code round-trips).
#if !defined(_WIN32)

#include <iconv.h>

#include <cerrno>

#include "core/data/code_page_936.h"

namespace korvane::detail {
namespace {

constexpr const char* kCodePage = "CP936";

// One iconv conversion descriptor.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (valid()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  // iconv_open reports failure as (iconv_t)-1.
  // NOLINTNEXTLINE(performance-no-int-to-ptr)
  bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return cd_; }

 private:
  iconv_t cd_;
};

// Converts a run through iconv, appending to `out`. On an invalid or
// incomplete sequence `onError` appends the replacement and returns how many
// input bytes to skip.
template <typename OutString, typename OnError>
void ConvertRun(const Converter& converter, std::string_view run, OutString& out, OnError onError) {
  using Unit = typename OutString::value_type;
  // Worst case: every input byte gives one output unit (code page 936 to
  // UTF-16) or two bytes (UTF-8 to code page 936 never grows).
  Unit buffer[256];
  std::size_t pos = 0;
  while (pos < run.size()) {
    char* in = const_cast<char*>(run.data() + pos);
    std::size_t inLeft = run.size() - pos;
    char* outPtr = reinterpret_cast<char*>(buffer);
    std::size_t outLeft = sizeof buffer;
    const std::size_t rc = iconv(converter.get(), &in, &inLeft, &outPtr, &outLeft);
    const int error = rc == static_cast<std::size_t>(-1) ? errno : 0;
    out.append(buffer, static_cast<std::size_t>(reinterpret_cast<Unit*>(outPtr) - buffer));
    pos = run.size() - inLeft;
    if (error == E2BIG || (error == 0 && inLeft != 0)) continue;
    if (error != 0) {
      // EILSEQ or EINVAL: replace and resynchronise.
      pos += onError(run.substr(pos), out);
      iconv(converter.get(), nullptr, nullptr, nullptr, nullptr);
    }
  }
}

}  // namespace

// iconv writes UTF-16LE; the decoder relies on a little-endian host (x86,
// ARM as used on Debian).
struct Cp936Decoder::State {
  Converter converter{"UTF-16LE", kCodePage};
};

Cp936Decoder::Cp936Decoder() : state_(std::make_unique<State>()) {}
Cp936Decoder::~Cp936Decoder() = default;

void Cp936Decoder::AppendRun(std::string_view run, std::u16string& out) {
  if (!state_->converter.valid()) {
    out.append(run.size(), u'?');
    return;
  }
  ConvertRun(state_->converter, run, out, [](std::string_view, std::u16string& o) {
    o.push_back(u'?');
    return std::size_t{1};
  });
}

struct Cp936Encoder::State {
  Converter converter{kCodePage, "UTF-8"};
};

Cp936Encoder::Cp936Encoder() : state_(std::make_unique<State>()) {}
Cp936Encoder::~Cp936Encoder() = default;

void Cp936Encoder::AppendRun(std::string_view utf8, std::string& out) {
  if (!state_->converter.valid()) {
    out.push_back('?');
    return;
  }
  ConvertRun(state_->converter, utf8, out, [](std::string_view rest, std::string& o) {
    o.push_back('?');
    // Skip the whole offending character when it is well-formed UTF-8.
    std::size_t k = 0;
    NextUtf8CodePoint(rest, k);
    return k;
  });
}

}  // namespace korvane::detail

#endif  // !_WIN32
