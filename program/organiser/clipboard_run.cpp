#include "program/organiser/clipboard_run.h"

#include <algorithm>

#include "program/common/help_links.h"
#include "runtime/text_functions.h"
#include "runtime/window/dialogs.h"

namespace vx {
namespace {

constexpr std::size_t kMostLinkBytes = 255;

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

// A link ends before a blank, a quote or any control character: what follows is other text.
bool EndsLink(char c) {
  return static_cast<unsigned char>(c) <= ' ' || c == '"' || c == '\'' || c == 0x7f;
}

std::string LinkFrom(std::string_view contents, std::size_t at) {
  std::string_view rest = contents.substr(at, kMostLinkBytes);
  std::size_t end = 0;
  while (end < rest.size() && !EndsLink(rest[end])) ++end;
  return std::string(CutUtf8(rest, end));
}

// A scheme and something after it: a bare "mailto:" opens nothing.
bool HasTarget(std::string_view link) {
  const std::size_t colon = link.find(':');
  return colon != std::string_view::npos && colon + 1 < link.size();
}

// The name of a program or shortcut ending at `marker_end`: a quoted name whole, else from the
// last blank before it.
std::string NameEndingAt(std::string_view contents, std::size_t marker_at, std::size_t marker_end) {
  const bool quoted = contents.substr(0, marker_end + 1).find('"') != std::string_view::npos;
  std::size_t start = marker_at;
  while (start > 0) {
    const char c = contents[start - 1];
    if (c == '"' || (EndsLink(c) && !(quoted && c == ' '))) break;
    --start;
  }
  return std::string(contents.substr(start, marker_end - start));
}

}  // namespace

ClipboardRunTargets FindClipboardRunTargets(std::string_view contents) {
  ClipboardRunTargets targets;
  const std::string lower = Lower(contents);
  auto add_link = [&](std::string link) {
    if (!HasTarget(link)) return;
    for (const std::string& known : targets.links) {
      if (known == link) return;
    }
    targets.links.push_back(std::move(link));
  };
  const std::size_t http = std::min(lower.find("http:"), lower.find("https:"));
  if (http != std::string::npos) add_link(LinkFrom(contents, http));
  if (const std::size_t mail = lower.find("mailto:"); mail != std::string::npos)
    add_link(LinkFrom(contents, mail));
  if (contents.starts_with("www")) add_link("http://" + LinkFrom(contents, 0));
  for (std::string_view marker : {".exe", ".lnk", ".url"}) {
    const std::size_t at = lower.find(marker);
    if (at != std::string::npos)
      targets.not_started.push_back(NameEndingAt(contents, at, at + marker.size()));
  }
  return targets;
}

void RunClipboardText(std::string_view contents) {
  const ClipboardRunTargets targets = FindClipboardRunTargets(ClipView(contents));
  std::string not_started;
  if (!targets.not_started.empty()) {
    not_started = "Programs and shortcuts (.exe, .lnk, .url) are not started on this system:";
    for (const std::string& name : targets.not_started) not_started += "\n    " + name;
  }
  if (targets.links.empty()) {
    MESSAGE("This entry holds no web or mail link to open." +
                (not_started.empty() ? std::string() : "\n\n" + not_started),
            "Run", MessageIcon::Information);
    return;
  }
  std::string question = targets.links.size() == 1 ? "Open this link?\n" : "Open these links?\n";
  for (const std::string& link : targets.links) question += "\n    " + link;
  if (!not_started.empty()) question += "\n\n" + not_started;
  if (MESSAGE(question, "Run", MessageIcon::Question, BUTTON_YES | BUTTON_NO, BUTTON_NO) !=
      BUTTON_YES)
    return;
  for (const std::string& link : targets.links) OpenHelpLink(link, "Run");
}

}  // namespace vx
