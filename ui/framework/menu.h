// A window's system menu as the dialog layer keeps it: items appended after
// the system's own.
#pragma once

#include <string>
#include <vector>

#include "ui/framework/window_types.h"

class CMenu {
 public:
  struct Item {
    UINT flags;
    UINT id;
    std::string text;  // GBK
  };
  BOOL AppendMenu(UINT flags, UINT_PTR id = 0, const char* text = nullptr);
  const std::vector<Item>& Items() const { return items_; }
  void RemoveAll() { items_.clear(); }

 private:
  std::vector<Item> items_;
};
