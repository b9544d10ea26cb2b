#include "runtime/message_box.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

TEST(MessageBox, ValidAnswerFallsBackToTheDefault) {
  const MessageBoxRequest yes_no{"c", "t", MessageIcon::Question, BUTTON_YES | BUTTON_NO,
                                 BUTTON_NO};
  EXPECT_EQ(ValidAnswer(yes_no, BUTTON_YES), BUTTON_YES);
  EXPECT_EQ(ValidAnswer(yes_no, BUTTON_OK), BUTTON_NO);
  EXPECT_EQ(ValidAnswer(yes_no, BUTTON_YES | BUTTON_NO), BUTTON_NO);  // not one button
  const MessageBoxRequest bad_default{"c", "t", MessageIcon::None, BUTTON_RETRY | BUTTON_CANCEL,
                                      BUTTON_OK};
  EXPECT_EQ(ValidAnswer(bad_default, 0), BUTTON_RETRY);
}

}  // namespace
}  // namespace vx
