// Command routing of the dialog layer: the object that owns a message map.
#pragma once

#include "afx/exception.h"
#include "ui/framework/message_map.h"

class CCmdTarget : public CObject {
 public:
  ~CCmdTarget() override = default;

  // Routes a command (BN_CLICKED or CN_UPDATE_COMMAND_UI) through the map;
  // TRUE when a row took it.
  virtual BOOL OnCmdMsg(UINT id, UINT code, CCmdUI* cmdUI);

  // The busy cursor, shown over every window of the program until the
  // matching EndWaitCursor.
  void BeginWaitCursor();
  void EndWaitCursor();

 protected:
  static const AFX_MSGMAP* GetThisMessageMap();
  virtual const AFX_MSGMAP* GetMessageMap() const;
  // The first row of this object's maps (most derived first) that matches.
  const AFX_MSGMAP_ENTRY* FindMessageEntry(UINT message, UINT code, UINT id) const;
  const AFX_MSGMAP_ENTRY* FindMessageEntryAfter(const AFX_MSGMAP_ENTRY* after, UINT message, UINT code, UINT id) const;
  friend class CDialog;
  friend struct AfxDialogAccess;
};
