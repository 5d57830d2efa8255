// The dialog templates: frames, item order (the tab order) and the items
// that start hidden.
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "platform/text_encoding.h"
#include "res/resource.h"
#include "afx/dialog_template.h"

namespace {

std::vector<int> Ids(const DlgTemplate& t) {
  std::vector<int> ids;
  for (int i = 0; i < t.itemCount; ++i) ids.push_back(t.items[i].id);
  return ids;
}

TEST(Templates, FramesAndCaptions) {
  struct Expect {
    int id;
    short cx, cy;
    const char* caption;
  };
  for (const Expect& e : {Expect{IDD_ABOUTBOX, 235, 55, "关于 Tempiola"}, Expect{IDD_MAIN, 334, 193, "Tempiola"},
                          Expect{IDD_MODIFY_SERVER_LIST, 279, 149, "修改服务器列表"},
                          Expect{IDD_ADD_SERVER, 293, 65, "新增NTP服务器"}, Expect{IDD_HELP, 310, 244, "使用帮助"}}) {
    const DlgTemplate* t = FindDialogTemplate(e.id);
    ASSERT_NE(t, nullptr) << e.id;
    EXPECT_EQ(t->cx, e.cx);
    EXPECT_EQ(t->cy, e.cy);
    EXPECT_EQ(platform::GbkToUtf8(t->caption), e.caption);
    EXPECT_EQ(platform::GbkToUtf8(t->faceName), "宋体");
    EXPECT_EQ(t->pointSize, 12);
    EXPECT_TRUE(t->style & WS_SYSMENU);
  }
  EXPECT_EQ(FindDialogTemplate(101), nullptr);
  EXPECT_TRUE(FindDialogTemplate(IDD_MAIN)->style & WS_MINIMIZEBOX);
  EXPECT_FALSE(FindDialogTemplate(IDD_HELP)->style & WS_MINIMIZEBOX);
}

TEST(Templates, MainDialogItemsInTabOrderWithTheTestButtonsHidden) {
  const DlgTemplate& t = *FindDialogTemplate(IDD_MAIN);
  // The standard-time box follows the query button in the tab order, the
  // station list the mode list.
  EXPECT_EQ(Ids(t), (std::vector<int>{1005, 1007, 1016, 1000, 1010, 1001, 1014, 1011, 1012, 1013, 1006, 2, -1, 1008,
                                      1009, -1, -1, -1, -1, -1}));
  for (int i = 0; i < t.itemCount; ++i) {
    const DlgItemTemplate& item = t.items[i];
    const bool hidden = item.id == IDC_TEST_START || item.id == IDC_TEST_STOP;
    EXPECT_EQ((item.style & WS_VISIBLE) == 0, hidden) << item.id;
    if (item.itemClass == DlgItemClass::Button && item.id != IDC_STANDARD_TIME) {
      EXPECT_EQ(item.style & 0xF, BS_PUSHBUTTON) << "no default button in the main dialog";
    }
  }
  const DlgItemTemplate& info = t.items[10];
  EXPECT_EQ(info.itemClass, DlgItemClass::ListBox);
  EXPECT_EQ(info.style & (LBS_SORT | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT),
            LBS_SORT | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT);
  EXPECT_EQ((std::vector<short>{info.x, info.y, info.cx, info.cy}), (std::vector<short>{7, 71, 320, 86}));
}

TEST(Templates, EditorHelpAndAboutItems) {
  EXPECT_EQ(Ids(*FindDialogTemplate(IDD_MODIFY_SERVER_LIST)),
            (std::vector<int>{1, 2, -1, 1015, 1018, 1019, 1020, 1021, -1}));
  EXPECT_EQ(Ids(*FindDialogTemplate(IDD_ADD_SERVER)), (std::vector<int>{1, 2, -1, 1019, -1, 1020}));
  EXPECT_EQ(Ids(*FindDialogTemplate(IDD_HELP)), (std::vector<int>{1, 1021}));
  EXPECT_EQ(Ids(*FindDialogTemplate(IDD_ABOUTBOX)), (std::vector<int>{-1, -1, -1, 1}));
  const DlgItemTemplate& remark = FindDialogTemplate(IDD_ADD_SERVER)->items[4];
  EXPECT_EQ(platform::GbkToUtf8(remark.text), "备         注：");
  const DlgItemTemplate& help = FindDialogTemplate(IDD_HELP)->items[1];
  EXPECT_EQ(help.style & (ES_MULTILINE | ES_READONLY | ES_AUTOHSCROLL), ES_MULTILINE | ES_READONLY);
  EXPECT_EQ(FindDialogTemplate(IDD_ABOUTBOX)->items[0].imageId, IDI_MAIN);
  const IconResource* icon = FindIconResource(IDI_MAIN);
  ASSERT_NE(icon, nullptr);
  int w = 0, h = 0, colours = 0;
  ASSERT_EQ(std::sscanf(icon->xpmLarge[0], "%d %d %d", &w, &h, &colours), 3);
  EXPECT_EQ(w, 32);
  EXPECT_EQ(h, 32);
  EXPECT_LE(colours, 17) << "16 colours and transparency";
  ASSERT_EQ(std::sscanf(icon->xpmSmall[0], "%d %d %d", &w, &h, &colours), 3);
  EXPECT_EQ(w, 16);
  EXPECT_EQ(h, 16);
  EXPECT_LE(colours, 17);
}

}  // namespace
