#include "core/data/file_pair.h"

#include <cstdio>
#include <system_error>

#include "core/data/file_messages.h"
#include "core/error.h"

namespace korvane {
namespace {

namespace fs = std::filesystem;

std::string LowerAscii(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

// Writes `bytes` to a new (truncated) file; false on any failure.
bool WriteWholeFile(const fs::path& path, std::string_view bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  ok = std::fflush(file) == 0 && ok;
  ok = std::fclose(file) == 0 && ok;
  return ok;
}

fs::path Sibling(const fs::path& path, std::string_view suffix) {
  fs::path result = path;
  result += std::string(suffix);
  return result;
}

void RemoveQuietly(const fs::path& path) {
  std::error_code ignored;
  fs::remove(path, ignored);
}

}  // namespace

FileKind KindOfPath(const fs::path& path) {
  const std::string extension = LowerAscii(path.extension().string());
  if (extension == ".sha") return FileKind::Result;
  if (extension == ".sht") return FileKind::Raw;
  return FileKind::Other;
}

FilePair OpenFilePair(const fs::path& path) {
  FilePair pair;
  pair.textPath = path;
  pair.kind = KindOfPath(path);
  std::string wave = path.string();
  if (!wave.empty()) {
    const char last = wave.back();
    wave.back() = (last >= 'a' && last <= 'z') ? 'd' : 'D';
  }
  pair.wavePath = wave;
  return pair;
}

bool ReadWholeFile(const fs::path& path, std::string& bytes) {
  std::error_code error;
  if (!fs::is_regular_file(path, error)) return false;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  bool ok = std::fseek(file, 0, SEEK_END) == 0;
  const long size = ok ? std::ftell(file) : -1;
  ok = ok && size >= 0 && std::fseek(file, 0, SEEK_SET) == 0;
  if (ok) {
    bytes.resize(static_cast<std::size_t>(size));
    ok = size == 0 || std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
  }
  std::fclose(file);
  return ok;
}

PairBytes LoadPairBytes(const FilePair& pair) {
  PairBytes bytes;
  if (!ReadWholeFile(pair.textPath, bytes.text)) throw KorvaneError(std::string(kMsgOpenFileFailed));
  if (!ReadWholeFile(pair.wavePath, bytes.wave)) {
    std::string other = pair.wavePath.string();
    bool tried = false;
    if (!other.empty() && (other.back() == 'D' || other.back() == 'd')) {
      other.back() = other.back() == 'D' ? 'd' : 'D';
      tried = ReadWholeFile(other, bytes.wave);
    }
    if (!tried) throw KorvaneError(std::string(kMsgOpenFileFailed));
  }
  return bytes;
}

void SavePairBytes(const FilePair& pair, std::string_view text, std::string_view wave,
                   std::string_view textFailure) {
  const std::string textMessage(textFailure);
  const std::string waveMessage(kMsgCreateWaveform);
  if (pair.textPath.empty() || pair.textPath == pair.wavePath) throw KorvaneError(textMessage);

  const fs::path tmpText = Sibling(pair.textPath, ".korvane-tmp");
  const fs::path tmpWave = Sibling(pair.wavePath, ".korvane-tmp");
  const fs::path oldWave = Sibling(pair.wavePath, ".korvane-old");

  if (!WriteWholeFile(tmpText, text)) {
    RemoveQuietly(tmpText);
    throw KorvaneError(textMessage);
  }
  if (!WriteWholeFile(tmpWave, wave)) {
    RemoveQuietly(tmpText);
    RemoveQuietly(tmpWave);
    throw KorvaneError(waveMessage);
  }

  // Both complete: swap them in. The previous waveform file is kept aside
  // until the text file is in place, so that a failure in between can put
  // the old pair back.
  std::error_code error;
  const bool hadWave = fs::exists(pair.wavePath, error);
  if (hadWave) {
    fs::rename(pair.wavePath, oldWave, error);
    if (error) {
      RemoveQuietly(tmpText);
      RemoveQuietly(tmpWave);
      throw KorvaneError(waveMessage);
    }
  }
  fs::rename(tmpWave, pair.wavePath, error);
  if (error) {
    if (hadWave) fs::rename(oldWave, pair.wavePath, error);
    RemoveQuietly(tmpText);
    RemoveQuietly(tmpWave);
    throw KorvaneError(waveMessage);
  }
  fs::rename(tmpText, pair.textPath, error);
  if (error) {
    std::error_code ignored;
    if (hadWave) {
      fs::rename(oldWave, pair.wavePath, ignored);
    } else {
      fs::remove(pair.wavePath, ignored);
    }
    RemoveQuietly(tmpText);
    throw KorvaneError(textMessage);
  }
  if (hadWave) RemoveQuietly(oldWave);
}

}  // namespace korvane
