// Byte access to stdio streams without a call per byte, as the runtimes' own
// getc/putc macros do it: a single byte at a time, or a run of bytes straight in
// the stream's buffer when it has them. Each run is exactly what the same number
// of single-byte calls would have done. The streams belong to one thread, so the
// lock-free forms are safe.
#pragma once
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>

#if defined(_WIN32)
// msvcrt: inline macros; under the UCRT they are calls, still without the lock.
#define STREAM_GET(stream) _getc_nolock(stream)
#define STREAM_PUT(byte, stream) _putc_nolock(byte, stream)
#elif defined(__getc_unlocked_body)
// glibc: the bodies of getc_unlocked/putc_unlocked, inline at every optimisation level.
#define STREAM_GET(stream) __getc_unlocked_body(stream)
#define STREAM_PUT(byte, stream) __putc_unlocked_body(byte, stream)
#else
#define STREAM_GET(stream) getc(stream)
#define STREAM_PUT(byte, stream) putc(byte, stream)
#endif

// Runs: how many bytes the buffer holds for reading (or has room for, writing)
// at *at, and the step past n of them (n no more than that count). A count of 0
// sends the caller to the single-byte forms, which refill or flush the buffer.
#if defined(_WIN32) && !defined(_UCRT)
// msvcrt: _cnt counts the bytes left to read, or the room left to write.
inline size_t readableRun(FILE *f, const uint8_t **at)
{
    *at = (const uint8_t *)f->_ptr;
    return f->_cnt > 0 ? (size_t)f->_cnt : 0;
}
inline void consumeRun(FILE *f, size_t n) { f->_ptr += n; f->_cnt -= (int)n; }
inline size_t writableRun(FILE *f, uint8_t **at)
{
    *at = (uint8_t *)f->_ptr;
    return f->_cnt > 0 ? (size_t)f->_cnt : 0;
}
inline void commitRun(FILE *f, size_t n) { f->_ptr += n; f->_cnt -= (int)n; }
#elif defined(__getc_unlocked_body)
// glibc: the read and write areas are the pointer pairs its macros test.
inline size_t readableRun(FILE *f, const uint8_t **at)
{
    *at = (const uint8_t *)f->_IO_read_ptr;
    return f->_IO_read_ptr < f->_IO_read_end ? (size_t)(f->_IO_read_end - f->_IO_read_ptr) : 0;
}
inline void consumeRun(FILE *f, size_t n) { f->_IO_read_ptr += n; }
inline size_t writableRun(FILE *f, uint8_t **at)
{
    *at = (uint8_t *)f->_IO_write_ptr;
    return f->_IO_write_ptr < f->_IO_write_end ? (size_t)(f->_IO_write_end - f->_IO_write_ptr) : 0;
}
inline void commitRun(FILE *f, size_t n) { f->_IO_write_ptr += n; }
#else
inline size_t readableRun(FILE *, const uint8_t **at) { *at = nullptr; return 0; }
inline void consumeRun(FILE *, size_t) {}
inline size_t writableRun(FILE *, uint8_t **at) { *at = nullptr; return 0; }
inline void commitRun(FILE *, size_t) {}
#endif
