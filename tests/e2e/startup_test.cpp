// The real exe, started from outside as a user's PC starts it.
#include <gtest/gtest.h>

#include "app/control_ids.h"
#include "support/process.h"
#include "support/recorder.h"

namespace {

TEST(ToolStartup, OpensWithItsInitialTextsAndEndsWithEscAndCodeZero) {
  Tool tool;
  tool.folder = MakeTestFolder("startup");
  ASSERT_TRUE(StartTool(&tool));
  EXPECT_EQ(ControlTextOf(ToolControl(tool, kId编辑框1)), "100");
  EXPECT_EQ(ControlTextOf(ToolControl(tool, kId编辑框3)), "20");
  EXPECT_EQ(ControlTextOf(ToolControl(tool, kId编辑框2)), "");
  EXPECT_EQ(ControlTextOf(ToolControl(tool, kId编辑框4)), "");
  ActivateTool(tool);
  PressKey(VK_ESCAPE);
  EXPECT_EQ(WaitForToolExit(&tool, 3000), 0);
}

}  // namespace
