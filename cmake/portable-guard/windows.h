#error "portable core code must not include <windows.h>; put Win32 calls in the shell"
