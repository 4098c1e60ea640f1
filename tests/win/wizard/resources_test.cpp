// The resources as compiled into the program: the INSTALL_DLG template read back
// field by field (the resource compiler adds styles of its own unless told not
// to), the two icons, the manifest and the licence text.
#include <stdio.h>
#include <string.h>

#include <windows.h>

#include "tests/win/common/ui_probe.h"
#include "wizard/licence.h"

enum { BUTTON = 0x80, EDIT = 0x81, STATIC = 0x82 };

struct ControlCase {
    int id, kind;
    DWORD style;
    short x, y, cx, cy;
    const char *text;
};

static const ControlCase CONTROLS[31] = {
    {150, STATIC, 0x50020000, 13, 565, 172, 10, "Vorn will be installed in the folder shown below."},
    {151, STATIC, 0x50020000, 13, 581, 169, 19,
     "If you would like to install Vorn in a different folder, click on browse and select a new folder."},
    {154, STATIC, 0x50000000, 24, 605, 71, 8, "&Destination folder:"},
    {152, EDIT, 0x50810080, 22, 615, 145, 12, ""},
    {153, BUTTON, 0x50010000, 170, 614, 32, 14, "&Browse"},
    {155, STATIC, 0x50020000, 13, 637, 150, 10, "Installation options:"},
    {156, BUTTON, 0x50010003, 32, 649, 122, 12, "Back&up any existing Vorn files"},
    {157, BUTTON, 0x50010003, 32, 662, 122, 12, "&Keep my current Vorn settings"},
    {158, BUTTON, 0x50010003, 32, 675, 92, 12, "&Create shortcut icons"},
    {159, STATIC, 0x50020000, 22, 692, 173, 17,
     "To install Vorn, please click the Install button, or click the Cancel button to exit."},
    {180, STATIC, 0x50020000, 13, 862, 126, 11, "Installation of Vorn was successful!"},
    {181, STATIC, 0x50020000, 13, 881, 181, 18,
     "After you close this window, you can run Vorn, connect to a server, and start chatting!"},
    {182, STATIC, 0x50020000, 13, 907, 185, 27,
     "If you are new to Vorn, you might want to read the first few sections of the Vorn help file before you "
     "start. The sections are short and give a good general introduction."},
    {183, BUTTON, 0x50010003, 22, 938, 81, 12, "&Read Vorn Help file"},
    {184, BUTTON, 0x50010003, 22, 952, 81, 12, "&Launch Vorn"},
    {185, STATIC, 0x50020000, 13, 973, 186, 11, "To end the installation, please click the Finish button."},
    {120, STATIC, 0x48820000, 187, 10, 21, 20, ""},
    {121, BUTTON, 0x50010000, 83, 162, 40, 16, "< &Back"},
    {1, BUTTON, 0x50010001, 127, 162, 40, 16, "&Next >"},
    {2, BUTTON, 0x50010000, 174, 162, 40, 16, "Cancel"},
    {130, STATIC, 0x50020000, 13, 233, 144, 27,
     "Welcome to the Vorn installation program! This program will install Vorn on your computer."},
    {131, STATIC, 0x50020000, 13, 267, 194, 19,
     "If you have a previous copy of Vorn installed, please make sure that it is not running during the "
     "installation."},
    {132, STATIC, 0x50020000, 13, 294, 196, 20,
     "It is also advised that you close all other applications before installing Vorn."},
    {140, STATIC, 0x50020000, 13, 361, 166, 28, ""},
    {141, EDIT, 0x50A10844, 11, 390, 201, 93, ""},
    {142, STATIC, 0x50020000, 13, 487, 187, 20, ""},
    {170, STATIC, 0x50020000, 47, 759, 102, 10, "Scanning..."},
    {171, BUTTON, 0x50000007, 44, 770, 107, 3, ""},
    {172, STATIC, 0x50020000, 47, 776, 72, 10, "Install Progress:"},
    {173, BUTTON, 0x50000007, 44, 786, 107, 18, ""},
    {133, STATIC, 0x50020000, 13, 321, 186, 11, "To continue, please click the Next button."},
};

// A reader over the template's words.
struct Reader {
    const BYTE *at, *end;
    bool ok;
};

static WORD word(Reader *r)
{
    if (r->at + 2 > r->end) {
        r->ok = false;
        return 0;
    }
    WORD value = (WORD)(r->at[0] | r->at[1] << 8);
    r->at += 2;
    return value;
}

static DWORD dword(Reader *r)
{
    DWORD low = word(r);
    return low | (DWORD)word(r) << 16;
}

static void align4(Reader *r, const BYTE *base)
{
    while ((r->at - base) % 4)
        r->at++;
}

// A zero-terminated UTF-16 text, ASCII only here.
static void text(Reader *r, char *out, int capacity)
{
    int n = 0;
    for (WORD c; (c = word(r)) != 0 && r->ok;)
        if (n < capacity - 1)
            out[n++] = c < 128 ? (char)c : '?';
    out[n] = 0;
}

// A name or ordinal: 0 none, 0xFFFF and a number, or a text (answered as -1).
static int nameOrOrdinal(Reader *r, char *out, int capacity)
{
    WORD first = word(r);
    out[0] = 0;
    if (first == 0)
        return 0;
    if (first == 0xFFFF)
        return word(r);
    r->at -= 2;
    text(r, out, capacity);
    return -1;
}

static void testTemplate()
{
    HRSRC found = FindResourceA(nullptr, "INSTALL_DLG", (LPCSTR)RT_DIALOG);
    if (!check(found != nullptr, "INSTALL_DLG is a named dialog resource"))
        return;
    const BYTE *base = (const BYTE *)LockResource(LoadResource(nullptr, found));
    Reader r = {base, base + SizeofResource(nullptr, found), true};
    char buffer[256];

    // An extended template would begin with 1 and 0xFFFF instead of the style.
    check(dword(&r) == 0x90C800C4, "plain template with the dialog style");
    check(dword(&r) == 0, "dialog extended style");
    check(word(&r) == 31, "31 controls");
    short x = (short)word(&r), y = (short)word(&r), cx = (short)word(&r), cy = (short)word(&r);
    check(x == 34 && y == 26 && cx == 221 && cy == 183, "position and size");
    check(nameOrOrdinal(&r, buffer, sizeof buffer) == 0, "no menu");
    check(nameOrOrdinal(&r, buffer, sizeof buffer) == 0, "system dialog class");
    text(&r, buffer, sizeof buffer);
    check(strcmp(buffer, "Vorn Installer") == 0, "title");
    check(word(&r) == 8, "font size");
    text(&r, buffer, sizeof buffer);
    check(strcmp(buffer, "MS Sans Serif") == 0, "font name");

    for (const ControlCase &c : CONTROLS) {
        align4(&r, base);
        DWORD style = dword(&r), extended = dword(&r);
        short values[4];
        for (short &v : values)
            v = (short)word(&r);
        int id = word(&r);
        int kind = nameOrOrdinal(&r, buffer, sizeof buffer);
        char title[256];
        nameOrOrdinal(&r, title, sizeof title);
        WORD extra = word(&r);
        r.at += extra;
        char what[128];
        snprintf(what, sizeof what, "control %d (found %d): style %08lX, kind %d", c.id, id, style, kind);
        check(r.ok && id == c.id && style == c.style && extended == 0 && kind == c.kind && values[0] == c.x &&
                  values[1] == c.y && values[2] == c.cx && values[3] == c.cy && strcmp(title, c.text) == 0,
              what);
    }
}

// Both icons: one 32 x 32 image in 16 colours.
static void testIcons()
{
    for (int number = 1; number <= 2; ++number) {
        char what[64];
        HRSRC group = FindResourceA(nullptr, MAKEINTRESOURCEA(number), (LPCSTR)RT_GROUP_ICON);
        snprintf(what, sizeof what, "icon %d present", number);
        if (!check(group != nullptr, what))
            continue;
        const BYTE *dir = (const BYTE *)LockResource(LoadResource(nullptr, group));
        // Header of 6 bytes, then entries of 14: width, height, colours, ...
        WORD count = (WORD)(dir[4] | dir[5] << 8);
        const BYTE *entry = dir + 6;
        WORD bits = (WORD)(entry[6] | entry[7] << 8);
        WORD imageId = (WORD)(entry[12] | entry[13] << 8);
        snprintf(what, sizeof what, "icon %d: one image of 32 x 32 in 16 colours", number);
        check(count == 1 && entry[0] == 32 && entry[1] == 32 && entry[2] == 16 && bits == 4, what);
        HRSRC image = FindResourceA(nullptr, MAKEINTRESOURCEA(imageId), (LPCSTR)RT_ICON);
        const BITMAPINFOHEADER *header =
            image ? (const BITMAPINFOHEADER *)LockResource(LoadResource(nullptr, image)) : nullptr;
        snprintf(what, sizeof what, "icon %d image is a 4-bit 32 x 32 bitmap", number);
        check(header && header->biWidth == 32 && header->biHeight == 64 && header->biBitCount == 4, what);
        HICON icon = (HICON)LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(number), IMAGE_ICON, 32, 32, 0);
        snprintf(what, sizeof what, "icon %d loads", number);
        check(icon != nullptr, what);
    }
}

static void testManifest()
{
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    if (!check(found != nullptr, "manifest resource 1 of type 24"))
        return;
    DWORD size = SizeofResource(nullptr, found);
    char xml[2048];
    if (!check(size < sizeof xml, "manifest size"))
        return;
    memcpy(xml, LockResource(LoadResource(nullptr, found)), size);
    xml[size] = 0;
    // Collapse white space so that the checks do not depend on line breaks.
    char flat[2048];
    int n = 0;
    for (DWORD i = 0; i < size; ++i) {
        bool space = xml[i] == ' ' || xml[i] == '\r' || xml[i] == '\n' || xml[i] == '\t';
        if (space && (n == 0 || flat[n - 1] == ' '))
            continue;
        flat[n++] = space ? ' ' : xml[i];
    }
    flat[n] = 0;
    const char *expected[] = {
        "<assemblyIdentity name=\"Vorn.Vorn.Vorn\" version=\"1.0.0.0\" processorArchitecture=\"X86\" "
        "type=\"win32\"/>",
        "<description>Internet Relay Chat Software</description>",
        "<dependency> <dependentAssembly> <assemblyIdentity type=\"win32\" "
        "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\" processorArchitecture=\"X86\" "
        "language=\"*\"/> </dependentAssembly> </dependency>",
    };
    for (const char *part : expected) {
        char what[96];
        snprintf(what, sizeof what, "manifest holds %.60s", part);
        check(strstr(flat, part) != nullptr, what);
    }
    int identities = 0, dependencies = 0;
    for (const char *p = flat; (p = strstr(p, "<assemblyIdentity")); ++p)
        ++identities;
    for (const char *p = flat; (p = strstr(p, "<dependentAssembly")); ++p)
        ++dependencies;
    check(identities == 2 && dependencies == 1, "one identity and exactly one dependency");
}

static void testLicence()
{
    const char *text = licenceText();
    size_t length = strlen(text);
    check(length >= 1500 && length <= 1900, "licence text of about 1,700 characters");
    bool crlf = true;
    for (size_t i = 0; i < length; ++i) {
        if (text[i] == '\n')
            crlf = crlf && i > 0 && text[i - 1] == '\r';
        if (text[i] == '\r')
            crlf = crlf && text[i + 1] == '\n';
    }
    check(crlf && strchr(text, '\n') != nullptr, "licence lines separated by CR LF");
}

int main()
{
    testTemplate();
    testIcons();
    testManifest();
    testLicence();
    return testExitCode();
}
