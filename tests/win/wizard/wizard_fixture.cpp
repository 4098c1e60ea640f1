#include "tests/win/wizard/wizard_fixture.h"

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "engine/feedback.h"
#include "engine/handles.h"
#include "wizard/controls.h"
#include "wizard/licence.h"

static bool paintsOverallBar = true;

void setPaintsOverallBar(bool paints)
{
    paintsOverallBar = paints;
}

static INT_PTR CALLBACK testDialogProc(HWND dialog, UINT message, WPARAM, LPARAM)
{
    if (message != WM_PAINT)
        return FALSE;
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(dialog, &paint);
    RECT frame = controlRect(dialog, ID_ICON_FRAME);
    DrawIcon(dc, frame.left, frame.top, LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(ICON_WIZARD)));
    if (paintsOverallBar && IsWindowVisible(GetDlgItem(dialog, ID_STATUS_LINE)))
        drawOverallBar(dc, nullptr);
    EndPaint(dialog, &paint);
    return TRUE;
}

HWND createWizard()
{
    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), "INSTALL_DLG", nullptr, testDialogProc, 0);
    if (!dialog)
        return nullptr;
    wizardDialog = dialog;
    SetWindowTextA(dialog, "Vorn v6.02 Installation");
    SetDlgItemTextA(dialog, ID_WELCOME_TEXT,
                    "Welcome to the Vorn installation program! This program will install Vorn v6.02 on your computer.");
    SetDlgItemTextA(dialog, ID_WELCOME_CONTINUE, "");
    SetDlgItemTextA(dialog, ID_LICENCE_TEXT, licenceText());
    SetDlgItemTextA(dialog, ID_FOLDER_FIELD, "C:\\Program Files\\Vorn");
    for (int id = ID_BACKUP_FILES; id <= ID_CREATE_ICONS; ++id)
        CheckDlgButton(dialog, id, BST_CHECKED);
    drainMessages();
    return dialog;
}

void destroyWizard(HWND dialog)
{
    DestroyWindow(dialog);
    wizardDialog = nullptr;
    drainMessages();
}

void drainMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

RECT controlRect(HWND dialog, int id)
{
    RECT rect = {};
    GetWindowRect(GetDlgItem(dialog, id), &rect);
    MapWindowPoints(HWND_DESKTOP, dialog, (POINT *)&rect, 2);
    return rect;
}

Pixels copyPixels(HDC dc, RECT area)
{
    Pixels pixels = {area.left, area.top, area.right - area.left, area.bottom - area.top, nullptr, nullptr};
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = pixels.width;
    info.bmiHeader.biHeight = -pixels.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void *bits = nullptr;
    pixels.bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    pixels.bits = (unsigned *)bits;
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, pixels.bitmap);
    BitBlt(memory, 0, 0, pixels.width, pixels.height, dc, area.left, area.top, SRCCOPY);
    GdiFlush();
    SelectObject(memory, old);
    DeleteDC(memory);
    return pixels;
}

COLORREF pixelAt(const Pixels &pixels, int x, int y)
{
    x -= pixels.left;
    y -= pixels.top;
    if (!pixels.bits || x < 0 || y < 0 || x >= pixels.width || y >= pixels.height)
        return CLR_INVALID;
    unsigned value = pixels.bits[(size_t)y * pixels.width + x];
    return RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
}

void freePixels(Pixels &pixels)
{
    if (pixels.bitmap)
        DeleteObject(pixels.bitmap);
    pixels.bitmap = nullptr;
    pixels.bits = nullptr;
}

// PNG with stored (uncompressed) deflate blocks: no compressor needed.
static uint32_t crcTable[256];

static uint32_t crc32(uint32_t crc, const uint8_t *data, size_t length)
{
    if (!crcTable[1])
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            crcTable[n] = c;
        }
    crc = ~crc;
    for (size_t i = 0; i < length; ++i)
        crc = crcTable[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

static void putBig32(uint8_t *out, uint32_t value)
{
    out[0] = (uint8_t)(value >> 24);
    out[1] = (uint8_t)(value >> 16);
    out[2] = (uint8_t)(value >> 8);
    out[3] = (uint8_t)value;
}

static void writeChunk(FILE *file, const char *type, const uint8_t *data, uint32_t length)
{
    uint8_t head[8];
    putBig32(head, length);
    memcpy(head + 4, type, 4);
    uint32_t crc = crc32(crc32(0, head + 4, 4), data, length);
    uint8_t tail[4];
    putBig32(tail, crc);
    fwrite(head, 1, 8, file);
    fwrite(data, 1, length, file);
    fwrite(tail, 1, 4, file);
}

static bool writePng(const char *path, const uint8_t *bgr, int width, int height, int stride)
{
    size_t rawLength = (size_t)height * (1 + 3 * width);
    uint8_t *raw = (uint8_t *)malloc(rawLength);
    size_t blocks = rawLength / 65535 + 1;
    uint8_t *zlib = (uint8_t *)malloc(2 + rawLength + 5 * blocks + 4);
    if (!raw || !zlib) {
        free(raw);
        free(zlib);
        return false;
    }
    uint8_t *row = raw;
    for (int y = 0; y < height; ++y) {
        *row++ = 0;  // filter: none
        const uint8_t *pixel = bgr + (size_t)y * stride;
        for (int x = 0; x < width; ++x, pixel += 4) {
            *row++ = pixel[2];
            *row++ = pixel[1];
            *row++ = pixel[0];
        }
    }
    size_t at = 0;
    zlib[at++] = 0x78;
    zlib[at++] = 0x01;
    uint32_t a = 1, b = 0;
    for (size_t i = 0; i < rawLength; ++i) {
        a = (a + raw[i]) % 65521;
        b = (b + a) % 65521;
    }
    for (size_t done = 0; done < rawLength;) {
        size_t length = rawLength - done < 65535 ? rawLength - done : 65535;
        zlib[at++] = done + length == rawLength ? 1 : 0;
        zlib[at++] = (uint8_t)length;
        zlib[at++] = (uint8_t)(length >> 8);
        zlib[at++] = (uint8_t)~length;
        zlib[at++] = (uint8_t)(~length >> 8);
        memcpy(zlib + at, raw + done, length);
        at += length;
        done += length;
    }
    putBig32(zlib + at, (b << 16) | a);
    at += 4;

    FILE *file = fopen(path, "wb");
    bool ok = file != nullptr;
    if (ok) {
        static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
        uint8_t header[13];
        putBig32(header, (uint32_t)width);
        putBig32(header + 4, (uint32_t)height);
        header[8] = 8;   // bits per channel
        header[9] = 2;   // RGB
        header[10] = header[11] = header[12] = 0;
        fwrite(signature, 1, 8, file);
        writeChunk(file, "IHDR", header, 13);
        writeChunk(file, "IDAT", zlib, (uint32_t)at);
        writeChunk(file, "IEND", nullptr, 0);
        ok = fclose(file) == 0;
    }
    free(raw);
    free(zlib);
    return ok;
}

bool saveScreenshot(HWND dialog, const char *path)
{
    SetForegroundWindow(dialog);  // an active caption, as the user sees it
    drainMessages();
    RedrawWindow(dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT window;
    GetWindowRect(dialog, &window);
    int width = window.right - window.left, height = window.bottom - window.top;

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void *bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    if (!memory || !bitmap) {
        if (memory)
            DeleteDC(memory);
        return false;
    }
    HGDIOBJ old = SelectObject(memory, bitmap);
    // The window as shown, frame and caption included: on a virtual desktop Wine
    // draws them into the window's surface, which the window DC reads back.
    HDC shown = GetWindowDC(dialog);
    bool ok = BitBlt(memory, 0, 0, width, height, shown, 0, 0, SRCCOPY);
    ReleaseDC(dialog, shown);
    GdiFlush();
    ok = ok && writePng(path, (const uint8_t *)bits, width, height, width * 4);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return ok;
}
