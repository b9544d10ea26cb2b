#include "program/organiser/capture_clipboard.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>

#include "datadll/dictionary/clipboard_tables.h"
#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/table_managers.h"
#include "framework/file_manager.h"
#include "platform/active_window.h"
#include "program/common/program_services.h"
#include "runtime/dates.h"
#include "runtime/sha256.h"
#include "runtime/storage/file.h"
#include "runtime/window/dialogs.h"

namespace vx {
namespace {

constexpr std::size_t kContentsBytes = 8192;

platform::ActiveWindow& FrontWindow() {
  if (platform::ActiveWindow* installed = CurrentProgramServices().clipboard_front)
    return *installed;
  static std::once_flag once;
  static std::unique_ptr<platform::ActiveWindow> desktop;
  std::call_once(once, [] { desktop = platform::MakeX11ActiveWindow(); });
  return *desktop;
}

// Whether the text, padded with blanks, sorts above a single blank: its first character other
// than a blank must be printable (a leading tab or line break keeps it out).
bool AboveBlank(std::string_view text) {
  for (const char c : text) {
    if (c != ' ') return static_cast<unsigned char>(c) > ' ';
  }
  return false;
}

// Whether the stored entry is `text`, trailing blanks aside. The field is 8 KB, nearly all of
// it padding, and this runs on every tick: the padding is compared with blanks a block at a
// time, which costs a fraction of clipping the field word by word.
bool HoldsText(const String<kContentsBytes>& field, std::string_view text) {
  text = ClipView(text);
  if (text.size() > kContentsBytes) return false;
  if (std::memcmp(field.data(), text.data(), text.size()) != 0) return false;
  static constexpr std::size_t kBlock = 256;
  static const std::string blanks(kBlock, ' ');
  for (std::size_t at = text.size(); at < kContentsBytes; at += kBlock) {
    const std::size_t n = std::min(kBlock, kContentsBytes - at);
    if (std::memcmp(field.data() + at, blanks.data(), n) != 0) return false;
  }
  return true;
}

}  // namespace

std::string ClipboardHashKey(std::string_view text) { return Sha256Hex(ClipView(text)); }

void TrimClipboardEntries(std::string_view current) {
  const std::int32_t limit = MAXCLIPBOARDENTRIES;
  if (limit <= 0) return;
  storage::File& file = ACCESS_CLIPBOARD->file();
  if (file.Records() <= limit) return;
  CLI = CLIPBOARD_RECORD{};
  if (ACCESS_CLIPBOARD->Set(CLI_KEYCLIPKEEP) != 0) return;
  for (std::int32_t pass = 0; pass < limit; ++pass) {
    if (ACCESS_CLIPBOARD->TryNext() != 0) break;
    // Entries to keep sort last: from the first one on, nothing more may go.
    if (CLI.ClipKeep != 0) break;
    if (!(CLI.ClipContents == current)) ACCESS_CLIPBOARD->TryDelete();
    if (file.Records() <= limit) break;
  }
}

void CaptureClipboard() {
  const std::string clipboard = CLIPBOARD();
  const std::string_view text = CutUtf8(clipboard, kContentsBytes);
  if (HoldsText(CLI.ClipContents, text)) return;
  if (!AboveBlank(clipboard)) return;
  if (ACCESS_CLIPBOARD->UseFile() != 0) return;

  TrimClipboardEntries(text);
  CLI = CLIPBOARD_RECORD{};
  CLI.ClipContents = text;
  CLI.ClipHashKey = ClipboardHashKey(CLI.ClipContents.view());
  CLI.ClipDate = TODAY();
  CLI.ClipTime = CLOCK();
  CLI.Category = "General";
  const std::string title = FrontWindow().Title();
  if (!title.empty()) CLI.Category = title;
  // A text stored already is refused by the unique key on its digest: the older entry stays as
  // it is and nothing is said.
  ACCESS_CLIPBOARD->TryInsert();
  CLI.ClipContents = text;
}

}  // namespace vx
