// Screenshots of windows as PNG files: the screen's pixels under the window,
// written as an uncompressed PNG (stored deflate blocks), which every viewer reads.
#include "tests/win/e2e/screenshot.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

unsigned long crcTable[256];

void makeCrcTable()
{
    for (unsigned n = 0; n < 256; ++n) {
        unsigned long c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320UL ^ (c >> 1) : c >> 1;
        crcTable[n] = c;
    }
}

unsigned long crcUpdate(unsigned long crc, const unsigned char *data, size_t length)
{
    for (size_t i = 0; i < length; ++i)
        crc = crcTable[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return crc;
}

void putBig32(unsigned char *out, unsigned long value)
{
    out[0] = (unsigned char)(value >> 24);
    out[1] = (unsigned char)(value >> 16);
    out[2] = (unsigned char)(value >> 8);
    out[3] = (unsigned char)value;
}

void writeChunk(FILE *file, const char *type, const unsigned char *data, size_t length)
{
    unsigned char head[8];
    putBig32(head, (unsigned long)length);
    memcpy(head + 4, type, 4);
    fwrite(head, 1, 8, file);
    if (length)
        fwrite(data, 1, length, file);
    unsigned long crc = crcUpdate(0xFFFFFFFFUL, head + 4, 4);
    crc = crcUpdate(crc, data, length) ^ 0xFFFFFFFFUL;
    unsigned char tail[4];
    putBig32(tail, crc);
    fwrite(tail, 1, 4, file);
}

// The zlib stream of raw (filter 0) RGB rows, in stored blocks of at most 65535 bytes.
unsigned char *storedZlib(const unsigned char *raw, size_t rawLength, size_t *outLength)
{
    size_t blocks = rawLength / 65535 + 1;
    unsigned char *out = (unsigned char *)malloc(2 + rawLength + blocks * 5 + 4);
    if (!out)
        return nullptr;
    size_t at = 0;
    out[at++] = 0x78;
    out[at++] = 0x01;
    size_t done = 0;
    unsigned long a = 1, b = 0;
    do {
        size_t length = rawLength - done < 65535 ? rawLength - done : 65535;
        out[at++] = done + length == rawLength ? 1 : 0;
        out[at++] = (unsigned char)length;
        out[at++] = (unsigned char)(length >> 8);
        out[at++] = (unsigned char)~length;
        out[at++] = (unsigned char)(~length >> 8);
        memcpy(out + at, raw + done, length);
        for (size_t i = 0; i < length; ++i) {
            a = (a + raw[done + i]) % 65521;
            b = (b + a) % 65521;
        }
        at += length;
        done += length;
    } while (done < rawLength);
    putBig32(out + at, (b << 16) | a);
    *outLength = at + 4;
    return out;
}

}  // namespace

bool saveWindowPng(HWND window, const char *path)
{
    RECT area;
    if (!GetWindowRect(window, &area))
        return false;
    int width = area.right - area.left;
    int height = area.bottom - area.top;
    if (width <= 0 || height <= 0)
        return false;

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;   // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void *bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    SelectObject(memory, old);

    size_t rowLength = 1 + (size_t)width * 3;
    size_t rawLength = rowLength * height;
    unsigned char *raw = (unsigned char *)malloc(rawLength);
    bool ok = raw != nullptr;
    if (ok) {
        const unsigned char *pixels = (const unsigned char *)bits;
        for (int y = 0; y < height; ++y) {
            unsigned char *row = raw + rowLength * y;
            row[0] = 0;
            for (int x = 0; x < width; ++x) {
                const unsigned char *bgra = pixels + ((size_t)y * width + x) * 4;
                row[1 + x * 3] = bgra[2];
                row[2 + x * 3] = bgra[1];
                row[3 + x * 3] = bgra[0];
            }
        }
    }
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    size_t zlibLength = 0;
    unsigned char *zlib = ok ? storedZlib(raw, rawLength, &zlibLength) : nullptr;
    free(raw);
    FILE *file = zlib ? fopen(path, "wb") : nullptr;
    if (!file) {
        free(zlib);
        return false;
    }
    makeCrcTable();
    static const unsigned char SIGNATURE[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    fwrite(SIGNATURE, 1, 8, file);
    unsigned char header[13];
    putBig32(header, width);
    putBig32(header + 4, height);
    header[8] = 8;    // bits per channel
    header[9] = 2;    // RGB
    header[10] = header[11] = header[12] = 0;
    writeChunk(file, "IHDR", header, sizeof header);
    writeChunk(file, "IDAT", zlib, zlibLength);
    writeChunk(file, "IEND", nullptr, 0);
    free(zlib);
    return fclose(file) == 0;
}
