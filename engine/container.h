// The payload container: ten compressed segments between four-character markers,
// found by scanning the installer's own file from its first byte. Portable: used by
// the installer, by vornpack and by the host tests.
#pragma once
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>

enum { SCAN_BLOCK = 1024 };

// Standard reflected CRC-32 (polynomial 0xEDB88320), one table lookup per byte.
extern const uint32_t CRC32_TABLE[256];

inline uint32_t crc32Byte(uint32_t reg, unsigned char byte)
{
    return CRC32_TABLE[(reg ^ byte) & 0xFF] ^ (reg >> 8);
}

// Whole-buffer CRC-32 (initial register 0xFFFFFFFF, final complement).
uint32_t crc32(const void *data, size_t length);

// The matching rule shared by the scan, the pump and the host tool. pos counts
// the marker characters matched so far (0..3) and carries over between calls.
enum { MatchPending = -1, MatchMarker = -2 };

// Feeds one byte. Returns MatchMarker when the byte completes a marker,
// MatchPending when it extends a partial match, and otherwise n >= 0: the data
// bytes are the first n marker characters followed by the byte itself.
inline int matchMarkerByte(const char *marker, int32_t *pos, int byte)
{
    if (byte == (unsigned char)marker[*pos]) {
        if (++*pos < 4)
            return MatchPending;
        *pos = 0;
        return MatchMarker;
    }
    int matched = *pos;
    *pos = 0;
    return matched;
}

// CRC-32 of the segments' data bytes of the container in an open stream, read
// from its current position in blocks of SCAN_BLOCK; 0 when no segment byte was
// found or a read failed. The stream is not closed.
uint32_t scanPayloadStream(FILE *file, const char *marker);

// The same for a file path; 0 also when the file cannot be opened. Shows the
// wait cursor while it reads and leaves no file open.
uint32_t scanPayloadCrc(const char *path);
