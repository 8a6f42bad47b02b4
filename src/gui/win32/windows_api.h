#pragma once

// The Windows API without its MessageBox macro, which would rename the driver's message box
// type (common::MessageBox); the function is called by its name MessageBoxW. Win32 views
// include this instead of <windows.h>.
#include <windows.h>
#undef MessageBox
