#include "program/scripts/bracket_expansion.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/fixed_string.h"

namespace vx {
namespace {

// The work buffer with a mark per byte: whether an answer put it there. The marks move with
// the text as brackets are replaced.
class ExpansionBuffer {
 public:
  explicit ExpansionBuffer(std::string_view text)
      : text_(CutUtf8(text, kExpansionBufferSize)), from_answer_(text_.size(), kFromText) {
    Measure();
  }

  std::size_t Length() const { return length_; }  // without trailing blanks
  char operator[](std::size_t i) const { return text_[i]; }
  bool FromAnswer(std::size_t i) const { return from_answer_[i] == kFromAnswer; }
  std::string_view Between(std::size_t open, std::size_t close) const {
    return std::string_view(text_).substr(open + 1, close - open - 1);
  }
  std::string Result() const { return std::string(ClipView(text_)); }

  void Erase(std::size_t i) {
    text_.erase(i, 1);
    from_answer_.erase(i, 1);
    Measure();
  }

  // Puts answer in place of the bracket from open to close and keeps within the buffer.
  void Replace(std::size_t open, std::size_t close, std::string_view answer) {
    text_.replace(open, close - open + 1, answer);
    from_answer_.replace(open, close - open + 1, answer.size(), kFromAnswer);
    text_.resize(CutUtf8(text_, kExpansionBufferSize).size());
    from_answer_.resize(text_.size());
    Measure();
  }

 private:
  void Measure() { length_ = ClipView(text_).size(); }

  // One mark per byte of text_, moved by the same erases and replacements (a string, so that
  // they move as fast as the text does).
  static constexpr char kFromText = 0;
  static constexpr char kFromAnswer = 1;

  std::string text_;
  std::string from_answer_;
  std::size_t length_ = 0;
};

}  // namespace

std::string ExpandBrackets(std::string_view text, const BracketResolver& resolve,
                           ExpansionWork* work) {
  ExpansionBuffer buffer(text);
  ExpansionWork done;
  const auto finish = [&] {
    if (work) *work = done;
    return buffer.Result();
  };

  // p is 0-based; a "[" in the last place cannot open anything, so the scan stops before it.
  std::size_t p = 0;
  while (p + 1 < buffer.Length()) {
    if (buffer[p] != '[' || buffer.FromAnswer(p)) {
      ++p;
      continue;
    }
    if (buffer[p + 1] == '[' || buffer[p + 1] == ']') {  // "[[" and "[]": the second one stays
      buffer.Erase(p);
      ++p;
      continue;
    }
    // One bracket and those nested in it. Each "]" resolves the innermost open name; when an
    // outer bracket is still open the scan goes back over the answer.
    std::vector<std::size_t> openings{p};
    std::size_t steps = 0;
    while (true) {
      ++p;
      ++steps;
      if (p >= buffer.Length()) break;  // never closed: the rest stays as it is
      if (steps > kBracketStepLimit || done.steps == kExpansionStepLimit) return finish();
      ++done.steps;
      if (buffer[p] == '[') {
        openings.push_back(p);
      } else if (buffer[p] == ']') {
        const std::size_t open = openings.back();
        openings.pop_back();
        ++done.resolutions;
        const std::string answer = resolve(buffer.Between(open, p));
        const std::string_view clipped = ClipView(answer);
        buffer.Replace(open, p, clipped);
        if (openings.empty()) {
          p = open + clipped.size();
          break;
        }
        p = open - 1;  // the next step lands on the answer's first character
      }
    }
  }
  return finish();
}

}  // namespace vx
