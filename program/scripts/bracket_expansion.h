// The bracket scan behind script-variable expansion, apart from how one name is resolved, so
// that its bounds can be checked with any resolver.
//
// Each "[" not written as "[[" or "[]" starts an expansion. Brackets nest: each "]" hands the
// text of the innermost open bracket to the resolver and puts the answer (trailing blanks cut)
// in its place. While an outer bracket is still open the scan goes back over the answer, so it
// can complete the outer name (and may hold brackets itself). Once the outermost bracket is
// closed, whatever answers put into the text is passed over: it is never scanned again at the
// outer level, where it could reopen the name it came from and begin the same round again.
//
// The work is bounded for every input. The text is cut to 16384 bytes and stays within them.
// A step moves the scan inside a bracket by one character: one bracket may take 5000 steps and
// the whole text 36384 (one for each byte of the text and 20000 over answers scanned again).
// Past either bound the text is returned as far as it got. A "[" never closed leaves the rest
// of the text as it is.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace vx {

inline constexpr std::size_t kExpansionBufferSize = 16384;
inline constexpr std::size_t kBracketStepLimit = 5000;
inline constexpr std::size_t kExpansionStepLimit = kExpansionBufferSize + 4 * kBracketStepLimit;

// What one expansion did: scanning steps inside brackets and names handed to the resolver.
struct ExpansionWork {
  std::size_t steps = 0;
  std::size_t resolutions = 0;
};

using BracketResolver = std::function<std::string(std::string_view name)>;

// Text with every bracketed name replaced by resolve's answer, trailing blanks cut. When work
// is given it receives what the expansion did.
std::string ExpandBrackets(std::string_view text, const BracketResolver& resolve,
                           ExpansionWork* work = nullptr);

}  // namespace vx
