// Finding this program's windows by a part of their title.
#include <gtest/gtest.h>

#include "app/window_search.h"
#include "res/resource.h"
#include "ui/framework/testing/dialog_driver.h"
#include "ui/tempiola_dlg.h"

namespace {

TEST(WindowSearch, FindsTheTopmostWindowWhoseTitleContainsTheText) {
  CTempiolaDlg main;
  afxtest::Script script;
  script.Then([&](afxtest::Window& w) {
    EXPECT_EQ(FindWindowByTitle("Orlavine"), main.m_hWnd);
    EXPECT_EQ(FindWindowByTitle("rlav"), main.m_hWnd) << "a part of the title";
    EXPECT_EQ(FindWindowByTitle("orlavine"), 0u) << "case-sensitive";
    EXPECT_EQ(FindWindowByTitle("Tempiola"), 0u) << "the template caption was replaced";
    w.Click(IDC_HELP_BUTTON);
    w.Click(IDCANCEL);
  });
  script.Then([&](afxtest::Window& help) {
    // The help box is on top now; its title does not match, the main one does.
    EXPECT_EQ(FindWindowByTitle("Orlavine"), main.m_hWnd);
    EXPECT_EQ(FindWindowByTitle("\xCA\xB9\xD3\xC3"), help.Dialog().m_hWnd);  // 使用
    EXPECT_EQ(FindWindowByTitle(""), help.Dialog().m_hWnd) << "the empty text is in every title";
    help.Click(IDOK);
  });
  script.Run(main);
  EXPECT_EQ(FindWindowByTitle("Orlavine"), 0u);
}

}  // namespace
