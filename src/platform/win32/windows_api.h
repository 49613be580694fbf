#ifndef PELLOQUIN_PLATFORM_WIN32_WINDOWS_API_H_
#define PELLOQUIN_PLATFORM_WIN32_WINDOWS_API_H_

// The one way into <windows.h> for this backend: lean, without the min and
// max macros, and without the MessageBox macro, which would rename
// platform::MessageBox wherever both are visible.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#undef MessageBox

#endif  // PELLOQUIN_PLATFORM_WIN32_WINDOWS_API_H_
