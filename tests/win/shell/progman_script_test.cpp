// createProgramGroup against a scripted PROGMAN server on a thread of its own:
// what each command looks like on the wire (bytes and NUL), which failures end
// the script, the execute timeout, and no server at all. Wine's own PROGMAN
// server is taken down first so that every conversation reaches the script.
#include <windows.h>
#include <ddeml.h>

#include "engine/handles.h"
#include "engine/session.h"
#include "shell/progman.h"
#include "tests/win/common/shell_probe.h"
#include "check.h"

enum ServerMode { AcceptAll, RejectReplaceItem, RejectHelpAddItem, SilentAtProgramAddItem };

enum { MAX_COMMANDS = 20, COMMAND_CAPACITY = 1200, SERVER_WAIT_MS = 30000 };

struct Received {
    DWORD size;
    char bytes[COMMAND_CAPACITY];
};

// Shared with the server thread; guarded by logLock.
static CRITICAL_SECTION logLock;
static ServerMode serverMode;
static Received received[MAX_COMMANDS];
static int receivedCount;
static int connectCount;
static int disconnectCount;

static DWORD serverInstance;
static HSZ serverTopic;

static bool startsWith(const char *text, const char *head)
{
    return strncmp(text, head, strlen(head)) == 0;
}

static HDDEDATA onExecute(HDDEDATA data)
{
    Received entry;
    entry.size = DdeGetData(data, nullptr, 0, 0);
    memset(entry.bytes, 0, sizeof entry.bytes);
    DdeGetData(data, (LPBYTE)entry.bytes, sizeof entry.bytes - 1, 0);
    EnterCriticalSection(&logLock);
    int index = receivedCount;
    if (receivedCount < MAX_COMMANDS)
        received[receivedCount++] = entry;
    LeaveCriticalSection(&logLock);

    switch (serverMode) {
    case RejectReplaceItem:
        if (startsWith(entry.bytes, "[ReplaceItem("))
            return (HDDEDATA)DDE_FNOTPROCESSED;
        break;
    case RejectHelpAddItem:
        if (startsWith(entry.bytes, "[AddItem(") && strstr(entry.bytes, "\\Vorn.hlp\""))
            return (HDDEDATA)DDE_FNOTPROCESSED;
        break;
    case SilentAtProgramAddItem:
        // Step 4 gets no answer until the client has given up on it: the next thing
        // the client posts to this thread is its terminate.
        if (index == 3)
            MsgWaitForMultipleObjects(0, nullptr, FALSE, SERVER_WAIT_MS, QS_POSTMESSAGE);
        break;
    case AcceptAll:
        break;
    }
    return (HDDEDATA)DDE_FACK;
}

static HDDEDATA CALLBACK serverCallback(UINT type, UINT, HCONV, HSZ first, HSZ, HDDEDATA data,
                                        ULONG_PTR, ULONG_PTR)
{
    switch (type) {
    case XTYP_CONNECT:
        return (HDDEDATA)(ULONG_PTR)(DdeCmpStringHandles(first, serverTopic) == 0);
    case XTYP_CONNECT_CONFIRM:
        EnterCriticalSection(&logLock);
        ++connectCount;
        LeaveCriticalSection(&logLock);
        return 0;
    case XTYP_DISCONNECT:
        EnterCriticalSection(&logLock);
        ++disconnectCount;
        LeaveCriticalSection(&logLock);
        return 0;
    case XTYP_EXECUTE:
        return onExecute(data);
    }
    return 0;
}

static HANDLE serverReady;
static bool serverUp;

static DWORD WINAPI serverThread(void *)
{
    HSZ service = 0;
    serverUp = DdeInitializeA(&serverInstance, serverCallback,
                              APPCLASS_STANDARD | CBF_SKIP_REGISTRATIONS | CBF_SKIP_UNREGISTRATIONS,
                              0) == DMLERR_NO_ERROR;
    if (serverUp) {
        service = DdeCreateStringHandleA(serverInstance, "PROGMAN", CP_WINANSI);
        serverTopic = DdeCreateStringHandleA(serverInstance, "PROGMAN", CP_WINANSI);
        serverUp = service && serverTopic && DdeNameService(serverInstance, service, 0, DNS_REGISTER);
    }
    SetEvent(serverReady);
    MSG message;
    while (serverUp && GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    if (serverInstance) {
        DdeNameService(serverInstance, 0, 0, DNS_UNREGISTER);
        DdeUninitialize(serverInstance);
        serverInstance = 0;
    }
    return 0;
}

static HANDLE server;
static DWORD serverThreadId;

static bool startServer()
{
    serverReady = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    server = CreateThread(nullptr, 0, serverThread, nullptr, 0, &serverThreadId);
    WaitForSingleObject(serverReady, SERVER_WAIT_MS);
    CloseHandle(serverReady);
    return serverUp;
}

static void stopServer()
{
    PostThreadMessageA(serverThreadId, WM_QUIT, 0, 0);
    CHECK(WaitForSingleObject(server, SERVER_WAIT_MS) == WAIT_OBJECT_0, "server thread ended");
    CloseHandle(server);
}

static void resetLog(ServerMode mode)
{
    EnterCriticalSection(&logLock);
    serverMode = mode;
    receivedCount = 0;
    connectCount = 0;
    disconnectCount = 0;
    LeaveCriticalSection(&logLock);
}

static int disconnects()
{
    EnterCriticalSection(&logLock);
    int count = disconnectCount;
    LeaveCriticalSection(&logLock);
    return count;
}

static bool conversationStateClear()
{
    return serviceHandle == 0 && topicHandle == 0 && conversation == 0;
}

// Checks that command index arrived as exactly its text and one NUL.
static void checkBytes(int index, const char *expected)
{
    const Received &entry = received[index];
    DWORD size = (DWORD)strlen(expected) + 1;
    CHECK(entry.size == size, "command %d: %lu bytes, expected %lu", index + 1,
          (unsigned long)entry.size, (unsigned long)size);
    CHECK(memcmp(entry.bytes, expected, size) == 0, "command %d: got '%s', expected '%s'",
          index + 1, entry.bytes, expected);
}

// Every command as it must arrive for the folder C:\Program Files\Vorn.
static const char *const SCRIPT_FOR_PROGRAM_FILES[] = {
    "[CreateGroup(\"Vorn\")]",
    "[ShowGroup(\"Vorn\",1)]",
    "[ReplaceItem(\"Vorn\")]",
    "[AddItem(\"C:\\Program Files\\Vorn\\Vorn.exe\",\"Vorn\",,0,,,\"C:\\Program Files\\Vorn\")]",
    "[ReplaceItem(\"Vorn Help\")]",
    "[AddItem(\"C:\\Program Files\\Vorn\\Vorn.hlp\",\"Vorn Help\",,0,,,\"C:\\Program Files\\Vorn\")]",
    "[ReplaceItem(\"IRC Intro\")]",
    "[AddItem(\"C:\\Program Files\\Vorn\\IRCintro.hlp\",\"IRC Intro\",,0,,,\"C:\\Program Files\\Vorn\")]",
    "[ReplaceItem(\"Readme.txt\")]",
    "[AddItem(\"C:\\Program Files\\Vorn\\readme.txt\",\"Readme.txt\",,,,,\"C:\\Program Files\\Vorn\")]",
    "[ReplaceItem(\"Versions.txt\")]",
    "[AddItem(\"C:\\Program Files\\Vorn\\versions.txt\",\"Versions.txt\",,,,,\"C:\\Program Files\\Vorn\")]",
    "[DeleteItem(\"Vorn32\")]",
};

// Runs the script once against the server in the given mode and checks what every
// run must show: the answer, how many commands arrived, one conversation that was
// ended, and no handle left behind. Returns how long createProgramGroup took.
static DWORD runScript(const char *name, ServerMode mode, const char *folder, bool expectedResult,
                       int expectedCommands)
{
    printf("-- %s\n", name);
    resetLog(mode);
    strcpy(session.destinationFolder, folder);
    DWORD start = GetTickCount();
    bool result = createProgramGroup();
    DWORD elapsed = GetTickCount() - start;
    CHECK(result == expectedResult, "%s: result %d", name, result);
    CHECK(receivedCount == expectedCommands, "%s: %d commands arrived, expected %d", name,
          receivedCount, expectedCommands);
    CHECK(connectCount == 1, "%s: %d conversations", name, connectCount);
    CHECK(waitUntil([] { return disconnects() == 1; }, SERVER_WAIT_MS),
          "%s: conversation not ended", name);
    CHECK(conversationStateClear(), "%s: conversation state left behind", name);
    return elapsed;
}

int main()
{
    InitializeCriticalSection(&logLock);
    ddeInstance = startDdeClient();
    CHECK(ddeInstance != 0, "client instance");

    // Wine's own server is taken out of the way once it is up, so that every
    // conversation reaches the script.
    CHECK(waitForWineProgman(ddeInstance, SERVER_WAIT_MS), "Wine's PROGMAN server never came up");
    CHECK(removeForeignDdeServers(ddeInstance), "Wine's PROGMAN server still answers");

    // No server: false at once, before any command, and nothing left open.
    strcpy(session.destinationFolder, "C:\\Program Files\\Vorn");
    DWORD start = GetTickCount();
    CHECK(!createProgramGroup(), "no server: result true");
    CHECK(GetTickCount() - start < 4000, "no server: took %lu ms", GetTickCount() - start);
    CHECK(conversationStateClear(), "no server: conversation state left behind");

    // No DDE instance at all.
    DWORD instance = ddeInstance;
    ddeInstance = 0;
    CHECK(!createProgramGroup(), "no instance: result true");
    CHECK(conversationStateClear(), "no instance: conversation state left behind");
    ddeInstance = instance;

    if (!startServer()) {
        printf("FAIL: scripted server did not start\n");
        return 1;
    }

    // Failing optional commands do not matter; every byte is as the script says.
    runScript("ReplaceItem rejected", RejectReplaceItem, "C:\\Program Files\\Vorn", true, 13);
    for (int i = 0; i < receivedCount && i < 13; ++i)
        checkBytes(i, SCRIPT_FOR_PROGRAM_FILES[i]);
    CHECK(received[3].size == 80, "program AddItem: %lu bytes, expected 80",
          (unsigned long)received[3].size);

    // A required command rejected: nothing after it is sent; the folder's final
    // backslash goes in unchanged.
    runScript("help AddItem rejected", RejectHelpAddItem, "C:\\Vorn\\", false, 6);
    if (receivedCount == 6)
        checkBytes(5, "[AddItem(\"C:\\Vorn\\\\Vorn.hlp\",\"Vorn Help\",,0,,,\"C:\\Vorn\\\")]");

    // The longest folder the session holds gives the longest command, 646 characters.
    char longest[PATH_CAPACITY];
    memset(longest, 'v', PATH_CAPACITY - 1);
    memcpy(longest, "C:\\", 3);
    longest[PATH_CAPACITY - 1] = 0;
    runScript("299-character folder", AcceptAll, longest, true, 13);
    CHECK(receivedCount == 13 && received[11].size == 647, "versions AddItem: %lu bytes, expected 647",
          (unsigned long)received[11].size);

    // A required command not answered: the client gives up after its 5000 ms.
    DWORD elapsed = runScript("program AddItem unanswered", SilentAtProgramAddItem,
                              "C:\\Program Files\\Vorn", false, 4);
    CHECK(elapsed >= 4900 && elapsed < 9000, "unanswered: took %lu ms", (unsigned long)elapsed);

    stopServer();
    DdeUninitialize(ddeInstance);
    return checksResult();
}
