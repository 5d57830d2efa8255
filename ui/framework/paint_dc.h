// Painting a window: the paint context of OnPaint and the system's sizes.
#pragma once

#include <memory>

#include "ui/framework/window_types.h"

class CWnd;

// A paint context for OnPaint.
class CPaintDC {
 public:
  explicit CPaintDC(CWnd* window);
  ~CPaintDC();
  CPaintDC(const CPaintDC&) = delete;
  CPaintDC& operator=(const CPaintDC&) = delete;
  void DrawIcon(int x, int y, HICON icon);
  void EraseBackground();
  UINT_PTR GetSafeHdc() const { return reinterpret_cast<UINT_PTR>(this); }

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

int GetSystemMetrics(int index);
