#include "base/win32_seams.h"

Win32Seams gSeams = {MessageBoxA, ExitProcess};
