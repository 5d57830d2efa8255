#include "ui/control_states.h"

#include <iterator>

#include "res/resource.h"

namespace {

enum : signed char { kOff = 0, kOn = 1, kKeep = -1 };

struct StateRow {
  int id;
  signed char idle, transmitting, noDevice;
};

constexpr StateRow kStates[] = {
    {IDC_CALIBRATE, kOn, kOff, kKeep},      {IDC_QUERY, kOn, kOff, kKeep}, {IDC_MODIFY_SERVERS, kOn, kOff, kKeep},
    {IDC_START, kOn, kOff, kOff},           {IDC_STOP, kOff, kOn, kOff},   {IDC_MODE, kOn, kOff, kOff},
    {IDC_STATION, kOn, kOff, kOff},          {IDC_STANDARD_TIME, kOn, kOff, kOff},
};

}  // namespace

void ApplyControlState(CDialog& dialog, ControlState state) {
  for (const StateRow& row : kStates) {
    const signed char wanted = state == ControlState::Idle           ? row.idle
                               : state == ControlState::Transmitting ? row.transmitting
                                                                     : row.noDevice;
    if (wanted == kKeep) continue;
    if (CWnd* control = dialog.GetDlgItem(row.id)) control->EnableWindow(wanted == kOn);
  }
}
