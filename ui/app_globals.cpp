#include "ui/app_globals.h"

char g_exeDir[kExeDirSize] = {0};
