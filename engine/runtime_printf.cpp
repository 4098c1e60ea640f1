// The installer formats with the C runtime's own printf. Any C++ standard header
// switches MinGW's stdio to its C99 replacement, which drags about 20 KB of float
// formatting into the installer; these two definitions take precedence over the
// library's and forward to msvcrt. Only %d, %u, %x, %s and %c are used here.
#include <stdarg.h>
#include <stddef.h>

extern "C" {

int __cdecl _vsnprintf(char *buffer, size_t count, const char *format, va_list args);
int __cdecl _vscprintf(const char *format, va_list args);

// C99 semantics over msvcrt's: always terminated, and the result is the length
// the whole text needs, so that callers can tell a cut text from a whole one.
int __cdecl __mingw_vsnprintf(char *buffer, size_t count, const char *format, va_list args)
{
    va_list again;
    va_copy(again, args);
    int written = count ? _vsnprintf(buffer, count, format, args) : -1;
    if (written < 0 || (size_t)written >= count) {
        if (count)
            buffer[count - 1] = 0;
        written = _vscprintf(format, again);
    }
    va_end(again);
    return written;
}

int __cdecl __mingw_snprintf(char *buffer, size_t count, const char *format, ...)
{
    va_list args;
    va_start(args, format);
    int written = __mingw_vsnprintf(buffer, count, format, args);
    va_end(args);
    return written;
}

}
