#include "frontend/qt/named_icons.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QString>
#include <algorithm>
#include <array>
#include <map>
#include <string>

namespace vx::qt {
namespace {

struct NamedPicture {
  std::string_view name;  // the icon name without "~", extension and case
  IconPicture picture;
};

// Every icon name of the program, sorted by name. Theme names come from the freedesktop icon
// naming list where one means the same thing; the rest (the program's mark, the animation
// frames, task states and query match signs) are the program's own pictures alone.
constexpr auto kPictures = std::to_array<NamedPicture>({
    {"blank", {"", "vx-blank"}},  // deliberately empty: "nothing here" in lists and the toolbar
    {"bothtask", {"", "vx-task-both"}},
    {"busykey", {"", "vx-busykey-1"}},
    {"busykey2", {"", "vx-busykey-2"}},
    {"busykey3", {"", "vx-busykey-3"}},
    {"busykey4", {"", "vx-busykey-4"}},
    {"calendar", {"x-office-calendar", "x-office-calendar"}},
    {"cancel", {"process-stop", "process-stop"}},
    {"clip", {"edit-paste", "edit-paste"}},
    {"clipbrd", {"edit-paste", "edit-paste"}},
    {"close", {"window-close", "vx-close"}},
    {"contacts", {"x-office-address-book", "x-office-address-book"}},
    {"crdfle09", {"folder", "folder"}},
    {"cut", {"edit-delete", "edit-delete"}},
    {"disabled", {"", "dialog-error"}},
    {"done", {"", "vx-tick"}},
    {"email", {"internet-mail", "internet-mail"}},
    {"exit", {"application-exit", "system-log-out"}},
    {"fourstar", {"help-about", "dialog-information"}},
    {"green16", {"", "vx-green"}},
    {"insert", {"list-add", "list-add"}},
    {"keydown",
     {"preferences-desktop-keyboard-shortcuts", "preferences-desktop-keyboard-shortcuts"}},
    {"mail", {"mail-forward", "mail-forward"}},
    {"more", {"", "format-justify-fill"}},
    {"movedown", {"go-down", "go-down"}},
    {"moveup", {"go-up", "go-up"}},
    {"msg", {"internet-group-chat", "internet-group-chat"}},
    {"msgtask", {"internet-group-chat", "internet-group-chat"}},
    {"msgwiz16", {"", "vx-wizard-message"}},
    {"notdone", {"", "appointment"}},
    {"now", {"media-playback-start", "media-playback-start"}},
    {"ok", {"dialog-ok", "vx-tick"}},
    {"open", {"document-open", "document-open"}},
    {"pick", {"edit-find", "edit-find"}},
    {"prgwiz16", {"", "vx-wizard-program"}},
    {"progtsk2", {"application-x-executable", "application-x-executable"}},
    {"quickst", {"media-seek-forward", "media-seek-forward"}},
    {"resched", {"appointment-new", "appointment-new"}},
    {"restore", {"view-restore", "preferences-system-windows"}},
    {"rtfmailfilter", {"system-search", "system-search"}},
    {"rtfmailfirst", {"go-first", "go-first"}},
    {"rtfmailinsert", {"mail-message-new", "mail-message-new"}},
    {"rtfmaillast", {"go-last", "go-last"}},
    {"rtfmailnext", {"go-next", "go-next"}},
    {"rtfmailprevious", {"go-previous", "go-previous"}},
    {"rtfmailprint", {"document-print", "document-print"}},
    {"rtfmailview", {"document-print-preview", "document-print-preview"}},
    {"sched", {"x-office-calendar", "x-office-calendar"}},
    {"scrwiz16", {"", "vx-wizard-script"}},
    {"skip", {"media-skip-forward", "media-skip-forward"}},
    {"skipped", {"", "vx-task-skipped"}},
    {"snooze", {"appointment-soon", "appointment"}},
    {"speaker2", {"audio-volume-high", "audio-volume-high"}},
    {"sqbe_bw", {"", "vx-match-begins"}},
    {"sqbe_co", {"", "vx-match-contains"}},
    {"sqbe_ed", {"", "vx-match-day"}},
    {"sqbe_em", {"", "vx-match-month"}},
    {"sqbe_emd", {"", "vx-match-month-day"}},
    {"sqbe_eq", {"", "vx-match-equals"}},
    {"sqbe_ew", {"", "vx-match-ends"}},
    {"sqbe_ey", {"", "vx-match-year"}},
    {"sqbe_eym", {"", "vx-match-year-month"}},
    {"sqbe_ge", {"", "vx-match-more-or-equal"}},
    {"sqbe_go", {"edit-clear", "edit-clear"}},
    {"sqbe_gt", {"", "vx-match-more"}},
    {"sqbe_hlp", {"system-search", "system-search"}},
    {"sqbe_ig", {"", "vx-match-ignore"}},
    {"sqbe_ir", {"", "vx-match-inside"}},
    {"sqbe_le", {"", "vx-match-less-or-equal"}},
    {"sqbe_lt", {"", "vx-match-less"}},
    {"sqbe_mv", {"", "vx-match-several"}},
    {"sqbe_nco", {"", "vx-match-not-contains"}},
    {"sqbe_neq", {"", "vx-match-not-equals"}},
    {"sqbe_or", {"", "vx-match-outside"}},
    {"st_lkup", {"edit-find", "edit-find"}},
    {"stopscr", {"", "vx-script-stop"}},
    {"timedate", {"preferences-system-time", "appointment"}},
    {"todo", {"", "vx-todo"}},
    {"tododoc", {"", "vx-todo"}},
    {"torntask", {"text-x-script", "text-x-script"}},
    {"tray", {"", "vx-tray"}},
    {"traybus2", {"", "vx-tray-busy-2"}},
    {"traybusy", {"", "vx-tray-busy-1"}},
    {"winpyr", {"document-properties", "document-properties"}},
    {"wizard", {"edit-find", "edit-find"}},
    {"wrench16", {"preferences-system", "preferences-system"}},
    // Main's status picture: the scheduler working, and scripts running ("s"), seven frames.
    {"wrka", {"", "vx-working-1"}},
    {"wrkas", {"", "vx-scripting-1"}},
    {"wrkb", {"", "vx-working-2"}},
    {"wrkbs", {"", "vx-scripting-2"}},
    {"wrkc", {"", "vx-working-3"}},
    {"wrkcs", {"", "vx-scripting-3"}},
    {"wrkd", {"", "vx-working-4"}},
    {"wrkds", {"", "vx-scripting-4"}},
    {"wrke", {"", "vx-working-5"}},
    {"wrkes", {"", "vx-scripting-5"}},
    {"wrkf", {"", "vx-working-6"}},
    {"wrkfs", {"", "vx-scripting-6"}},
    {"wrkg", {"", "vx-working-7"}},
    {"wrkgs", {"", "vx-scripting-7"}},
    {"xpcheck", {"", "vx-tick"}},
});

constexpr bool SortedByName() {
  for (std::size_t i = 1; i < kPictures.size(); ++i) {
    if (!(kPictures[i - 1].name < kPictures[i].name)) return false;
  }
  return true;
}
static_assert(SortedByName(), "kPictures is searched by halves");

// "~Done.ICO", "done_ico" and "done.ico" all name the picture "done".
std::string BaseName(std::string_view name) {
  std::string base;
  for (char c : name) base += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  while (!base.empty() && (base.front() == '~' || base.front() == '!')) base.erase(base.begin());
  for (std::string_view ext : {".ico", "_ico", ".bmp", "_bmp", ".png", "_png", ".gif", "_gif"}) {
    if (base.size() > ext.size() && base.ends_with(ext)) {
      base.resize(base.size() - ext.size());
      break;
    }
  }
  return base;
}

// The program's own picture in every size it is kept in; Qt scales the nearest one for others.
QIcon OwnPicture(std::string_view file) {
  QIcon icon;
  const QString stem = QString::fromUtf8(file.data(), static_cast<qsizetype>(file.size()));
  for (int size : {16, 22, 32}) {
    icon.addFile(QStringLiteral(":/vx/icons/%1/%2.png").arg(size).arg(stem), QSize(size, size));
  }
  return icon;
}

QIcon Resolve(const IconPicture& picture) {
  QIcon own = OwnPicture(picture.file);
  if (picture.theme.empty()) return own;
  return QIcon::fromTheme(
      QString::fromUtf8(picture.theme.data(), static_cast<qsizetype>(picture.theme.size())), own);
}

QIcon Make(std::string_view name) {
  if (const IconPicture* picture = FindIconPicture(name)) return Resolve(*picture);
  // A picture the user chose (a task's own icon file).
  const QString file = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
  if (!file.isEmpty() && QFileInfo(file).isFile()) {
    QIcon icon(file);
    if (!icon.isNull()) return icon;
  }
  if (!name.empty()) qWarning("No picture for the icon name \"%s\"", std::string(name).c_str());
  return {};
}

// Pictures are kept while the application lives; the cache empties as it ends, before the
// pixmaps' owner goes.
std::map<std::string, QIcon, std::less<>>& Cache() {
  static std::map<std::string, QIcon, std::less<>> cache;
  return cache;
}

void ClearCache() { Cache().clear(); }

}  // namespace

const IconPicture* FindIconPicture(std::string_view name) {
  const std::string base = BaseName(name);
  auto it = std::lower_bound(
      kPictures.begin(), kPictures.end(), base,
      [](const NamedPicture& row, const std::string& key) { return row.name < key; });
  return it != kPictures.end() && it->name == base ? &it->picture : nullptr;
}

QIcon FallbackIcon(std::string_view name) {
  const IconPicture* picture = FindIconPicture(name);
  return picture ? OwnPicture(picture->file) : QIcon();
}

QIcon NamedIcon(std::string_view name) {
  auto& cache = Cache();
  if (cache.empty()) qAddPostRoutine(ClearCache);
  // A change of the desktop's theme changes what the theme names show.
  static QString cached_theme;
  if (QIcon::themeName() != cached_theme) {
    cache.clear();
    cached_theme = QIcon::themeName();
  }
  auto it = cache.find(name);
  if (it != cache.end()) return it->second;
  QIcon icon = Make(name);
  cache.emplace(std::string(name), icon);
  return icon;
}

QIcon ProgramIcon() { return NamedIcon("tray_ico"); }

QIcon MessageBoxIcon(MessageIcon icon) {
  static constexpr IconPicture kInformation{"dialog-information", "dialog-information"};
  static constexpr IconPicture kWarning{"dialog-warning", "dialog-warning"};
  static constexpr IconPicture kQuestion{"dialog-question", "help-browser"};
  static constexpr IconPicture kError{"dialog-error", "dialog-error"};
  switch (icon) {
    case MessageIcon::Information:
      return Resolve(kInformation);
    case MessageIcon::Exclamation:
      return Resolve(kWarning);
    case MessageIcon::Question:
      return Resolve(kQuestion);
    case MessageIcon::Hand:
      return Resolve(kError);
    case MessageIcon::None:
      break;
  }
  return {};
}

}  // namespace vx::qt
