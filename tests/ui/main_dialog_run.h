// Runs the main window under a script, as the window suites do: the body is
// the first step, moreSteps add the steps after it (the message boxes it
// opens); a body that leaves the window open has it closed with Cancel.
#pragma once

#include <gtest/gtest.h>

#include <functional>

#include "res/resource.h"
#include "ui/framework/testing/dialog_driver.h"
#include "ui/tempiola_dlg.h"

namespace ui_test {

using MoreSteps = std::function<void(afxtest::Script&)>;

inline void RunMainDialog(CTempiolaDlg& dlg, const std::function<void(afxtest::Window&)>& body,
                          const MoreSteps& moreSteps = nullptr) {
  afxtest::Script script;
  script.Then([&](afxtest::Window& w) {
    body(w);
    if (w.IsRunning()) w.Click(IDCANCEL);
  });
  if (moreSteps) moreSteps(script);
  EXPECT_EQ(script.Run(dlg), IDCANCEL);
}

inline void WithMainDialog(const std::function<void(afxtest::Window&, CTempiolaDlg&)>& body,
                           const MoreSteps& moreSteps = nullptr) {
  CTempiolaDlg dlg;
  RunMainDialog(dlg, [&](afxtest::Window& w) { body(w, dlg); }, moreSteps);
}

}  // namespace ui_test
