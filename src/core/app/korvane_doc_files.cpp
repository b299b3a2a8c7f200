// Placeholder implementation; replaced by the file layer.
#include "core/app/korvane_doc.h"

namespace korvane {

void CKorvaneDoc::OnOpenDocument(const std::filesystem::path&) { throw KorvaneError("打开文件失败！"); }
void CKorvaneDoc::OnSaveDocument(const std::filesystem::path&) {
  throw KorvaneError(std::string(kMsgUnknownFileType));
}
void CKorvaneDoc::SaveResults(const std::filesystem::path&) {
  throw KorvaneError(std::string(kMsgOpenFileFirst));
}
void CKorvaneDoc::ResetAfterLoad() {}

}  // namespace korvane
