// Question tokens in template texts: the token forms, answers kept by prompt, cancel, the
// last-value token, field widths and the guards for unclosed and self-repeating tokens.
#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "datadll/dictionary/global_queues.h"
#include "program/scripts/template_tokens.h"

namespace vx {
namespace {

// Answers the prompts from a list (nullopt = Cancel) and records each as "Kind:prompt".
class ScriptedAsker : public TemplateTokenAsker {
 public:
  std::deque<std::optional<std::string>> answers;
  std::vector<std::string> asked;

  bool TemplateTokenAskText(std::string_view prompt) override { return Answer("Text", prompt); }
  bool TemplateTokenAskFile(std::string_view prompt) override { return Answer("File", prompt); }
  bool TemplateTokenAskWindow(std::string_view prompt) override { return Answer("Window", prompt); }

 private:
  bool Answer(std::string_view kind, std::string_view prompt) {
    asked.push_back(std::string(kind) + ":" + std::string(prompt));
    if (answers.empty()) ADD_FAILURE() << "unexpected prompt " << asked.back();
    std::optional<std::string> answer = answers.empty() ? std::nullopt : answers.front();
    if (!answers.empty()) answers.pop_front();
    if (!answer) return false;
    StoreTemplateTokenAnswer(prompt, *answer);
    return true;
  }
};

class ExpandTemplateTokensTest : public ::testing::Test {
 protected:
  ExpandTemplateTokensTest() { Reset(); }
  ~ExpandTemplateTokensTest() override { Reset(); }
  static void Reset() {
    TOKENQUEUE.Free();
    TQ = TOKENQUEUE_RECORD{};
  }

  std::string Expand(std::string text, int expected_result = 1, std::size_t length = 255) {
    EXPECT_EQ(ExpandTemplateTokens(text, length, ask_), expected_result) << text;
    return text;
  }

  ScriptedAsker ask_;
};

struct TokenCase {
  std::string in;
  std::vector<std::optional<std::string>> answers;
  std::string expected;
  std::vector<std::string> asked;
};

TEST_F(ExpandTemplateTokensTest, TokenForms) {
  const std::vector<TokenCase> cases = {
      {"no tokens [DATE] here", {}, "no tokens [DATE] here", {}},
      {"", {}, "", {}},
      {"copy [? File Source file] to [?]",
       {"/tmp/a.txt"},
       "copy /tmp/a.txt to /tmp/a.txt",
       {"File:Source file"}},
      {"[? Window Editor window]!", {"Untitled - *"}, "Untitled - *!", {"Window:Editor window"}},
      {"Hello [? Text Your name].", {"Ann"}, "Hello Ann.", {"Text:Your name"}},
      {"[?FILE ]", {"f"}, "f", {"File:FILE"}},  // blank but no prompt: the kind word
      {"[?file]", {"f"}, "f", {"File:FILE"}},   // kind word in any case, no blank
      {"[?   window   Main  ]", {"w"}, "w", {"Window:Main"}},
      {"[?text]", {"t"}, "t", {"Text:TEXT"}},
      {"[? Folder] and [? folder]", {"/srv"}, "/srv and /srv", {"Text:Folder"}},
      {"[? Source file]", {"s"}, "s", {"Text:Source file"}},  // a name may hold blanks
      {"[? Filename]", {"n"}, "n", {"Text:Filename"}},        // not the kind word FILE
      {"a[? ]b", {}, "ab", {}},                               // nothing answered yet: empty value
      {"[? Text x].", {"v  "}, "v.", {"Text:x"}},             // answers are clipped
      {"[? Text x] [? Text y] [?]", {"1", "2"}, "1 2 2", {"Text:x", "Text:y"}},
  };
  for (const TokenCase& c : cases) {
    Reset();
    ask_.asked.clear();
    ask_.answers.assign(c.answers.begin(), c.answers.end());
    EXPECT_EQ(Expand(c.in), c.expected) << "for: " << c.in;
    EXPECT_EQ(ask_.asked, c.asked) << "for: " << c.in;
    EXPECT_TRUE(ask_.answers.empty()) << "for: " << c.in;
  }
}

TEST_F(ExpandTemplateTokensTest, NamedAnswersServeLaterCopiesUntilTheQueueIsEmptied) {
  ask_.answers = {"/data"};
  EXPECT_EQ(Expand("cd [? Folder]"), "cd /data");
  EXPECT_EQ(Expand("ls [? FOLDER]/x"), "ls /data/x");
  // A TEXT token always asks, and its answer replaces the kept one.
  ask_.answers = {"/home"};
  EXPECT_EQ(Expand("[? Text Folder]"), "/home");
  EXPECT_EQ(Expand("[? Folder]"), "/home");
  EXPECT_EQ(ask_.asked, (std::vector<std::string>{"Text:Folder", "Text:Folder"}));
  EXPECT_EQ(TOKENQUEUE.Records(), 1);

  Reset();  // the script wizard empties the queue
  ask_.answers = {"/opt"};
  EXPECT_EQ(Expand("[? Folder]"), "/opt");
  EXPECT_EQ(ask_.asked.size(), 3u);
}

TEST_F(ExpandTemplateTokensTest, CancelLeavesTheTextUnchanged) {
  ask_.answers = {"one", std::nullopt};
  EXPECT_EQ(Expand("[? Text A] [? File B] [? Window C]", 0), "[? Text A] [? File B] [? Window C]");
  EXPECT_EQ(ask_.asked, (std::vector<std::string>{"Text:A", "File:B"}));
  // The answer given before the cancel is kept.
  ASSERT_EQ(TOKENQUEUE.Records(), 1);
  TOKENQUEUE.Get(1);
  EXPECT_EQ(TQ.VALUE, "one");

  ask_.answers = {std::nullopt};
  EXPECT_EQ(Expand("x [? Unknown]", 0), "x [? Unknown]");
}

TEST_F(ExpandTemplateTokensTest, AnswersHoldingTokensAreExpandedToo) {
  ask_.answers = {"[? Text Inner]", "deep"};
  EXPECT_EQ(Expand("<[? Text Outer]>"), "<deep>");
}

TEST_F(ExpandTemplateTokensTest, UnclosedAndSelfRepeatingTokensEnd) {
  ask_.answers = {"v"};
  EXPECT_EQ(Expand("[? Text A] then [? File B"), "v then [? File B");

  // "[?]" answering "[?]" would bring itself back for ever; the expansion stops and returns.
  ask_.answers = {"[?]"};
  EXPECT_EQ(Expand("[? Text Loop]"), "[?]");
  // A named answer that names itself likewise.
  StoreTemplateTokenAnswer("SELF", "a[? Self]");
  const std::string self = Expand("[? Self]");
  EXPECT_EQ(self.rfind("aaaa", 0), 0u);
  EXPECT_LE(self.size(), 255u);
}

TEST_F(ExpandTemplateTokensTest, ResultIsCutToTheFieldWidth) {
  ask_.answers = {std::string(100, 'x')};
  EXPECT_EQ(Expand("ab[? Text Long]cd", 1, 80), "ab" + std::string(78, 'x'));

  // A cut never splits a character.
  StoreTemplateTokenAnswer("E", "\xE2\x82\xAC\xE2\x82\xAC");  // two three-byte signs
  EXPECT_EQ(Expand("ab[?E]", 1, 6), "ab\xE2\x82\xAC");

  String<20> field("run [? File Program]");
  ask_.answers = {"/usr/bin/long-program-name"};
  EXPECT_EQ(ExpandTemplateTokens(field, ask_), 1);
  EXPECT_EQ(field, "run /usr/bin/long-pr");
}

TEST_F(ExpandTemplateTokensTest, AnswersAreStoredByUpperCasePromptInPromptOrder) {
  StoreTemplateTokenAnswer("beta", "2");
  StoreTemplateTokenAnswer("Alpha", "1");
  StoreTemplateTokenAnswer("BETA", "3");
  ASSERT_EQ(TOKENQUEUE.Records(), 2);
  TOKENQUEUE.Get(1);
  EXPECT_EQ(TQ.PROMPT, "ALPHA");
  TOKENQUEUE.Get(2);
  EXPECT_EQ(TQ.PROMPT, "BETA");
  EXPECT_EQ(TQ.VALUE, "3");
}

TEST(TokenPromptTest, PromptAfterTheFirstBlank) {
  EXPECT_EQ(TokenPrompt("File Source file] rest"), "Source file");
  EXPECT_EQ(TokenPrompt("File]  x y]"), "");
  EXPECT_EQ(TokenPrompt("File  ]"), "");
  EXPECT_EQ(TokenPrompt("Text  padded  ]"), "padded");
}

}  // namespace
}  // namespace vx
