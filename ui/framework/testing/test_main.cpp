// main() of the window test programs: GoogleTest over a started toolkit.
// Listing the tests needs no display.
#include <gtest/gtest.h>

#include <cstdio>

#include "ui/framework/testing/dialog_driver.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();
  if (!afxtest::StartToolkit(argc, argv)) {
    std::fprintf(stderr, "cannot open the display; run the window tests through ctest (it starts Xvfb)\n");
    return 1;
  }
  const int result = RUN_ALL_TESTS();
  afxtest::StopToolkit();
  return result;
}
