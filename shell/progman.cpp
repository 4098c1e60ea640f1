// The Program Manager group: a fixed script of execute transactions sent to
// service PROGMAN, topic PROGMAN, in one conversation per run.
#include "shell/progman.h"

#include <stdio.h>
#include <string.h>

#include "engine/handles.h"
#include "engine/session.h"

HSZ serviceHandle;
HSZ topicHandle;
HCONV conversation;

enum { EXECUTE_TIMEOUT_MS = 5000 };

static const char PROGMAN_NAME[] = "PROGMAN";

struct ScriptStep {
    const char *format;   // takes destinationFolder twice when withFolder
    bool withFolder;
    bool required;        // a failure ends the script with false
};

static const ScriptStep SCRIPT[] = {
    {"[CreateGroup(\"Vorn\")]", false, true},
    {"[ShowGroup(\"Vorn\",1)]", false, false},
    {"[ReplaceItem(\"Vorn\")]", false, false},
    {"[AddItem(\"%s\\Vorn.exe\",\"Vorn\",,0,,,\"%s\")]", true, true},
    {"[ReplaceItem(\"Vorn Help\")]", false, false},
    {"[AddItem(\"%s\\Vorn.hlp\",\"Vorn Help\",,0,,,\"%s\")]", true, true},
    {"[ReplaceItem(\"IRC Intro\")]", false, false},
    {"[AddItem(\"%s\\IRCintro.hlp\",\"IRC Intro\",,0,,,\"%s\")]", true, true},
    {"[ReplaceItem(\"Readme.txt\")]", false, false},
    {"[AddItem(\"%s\\readme.txt\",\"Readme.txt\",,,,,\"%s\")]", true, true},
    {"[ReplaceItem(\"Versions.txt\")]", false, false},
    {"[AddItem(\"%s\\versions.txt\",\"Versions.txt\",,,,,\"%s\")]", true, true},
    {"[DeleteItem(\"Vorn32\")]", false, false},
};

bool progmanConnect()
{
    serviceHandle = 0;
    topicHandle = 0;
    conversation = 0;
    if (ddeInstance == 0)
        return false;
    serviceHandle = DdeCreateStringHandleA(ddeInstance, PROGMAN_NAME, CP_WINANSI);
    if (serviceHandle == 0)
        return false;
    topicHandle = DdeCreateStringHandleA(ddeInstance, PROGMAN_NAME, CP_WINANSI);
    if (topicHandle == 0)
        return false;
    conversation = DdeConnect(ddeInstance, serviceHandle, topicHandle, nullptr);
    return conversation != 0;
}

bool progmanExecute(const char *command)
{
    DWORD resultWord = 0;   // not read: only the transaction's own result counts
    HDDEDATA answer = DdeClientTransaction(
        (LPBYTE)command, (DWORD)strlen(command) + 1, conversation, 0, CF_TEXT,
        XTYP_EXECUTE, EXECUTE_TIMEOUT_MS, &resultWord);
    return answer != 0;
}

void progmanDisconnect()
{
    // Results ignored: there is nothing left to do when ending fails.
    if (conversation != 0) {
        DdeDisconnect(conversation);
        conversation = 0;
    }
    if (topicHandle != 0) {
        DdeFreeStringHandle(ddeInstance, topicHandle);
        topicHandle = 0;
    }
    if (serviceHandle != 0) {
        DdeFreeStringHandle(ddeInstance, serviceHandle);
        serviceHandle = 0;
    }
}

// Formats one step into command; false when it would not fit (never cut).
static bool formatStep(const ScriptStep &step, char *command)
{
    int length;
    if (step.withFolder)
        length = snprintf(command, COMMAND_BUFFER_SIZE, step.format,
                          session.destinationFolder, session.destinationFolder);
    else
        length = snprintf(command, COMMAND_BUFFER_SIZE, "%s", step.format);
    return length >= 0 && length < COMMAND_BUFFER_SIZE;
}

bool createProgramGroup()
{
    bool result = progmanConnect();
    for (size_t i = 0; result && i < sizeof SCRIPT / sizeof SCRIPT[0]; ++i) {
        char command[COMMAND_BUFFER_SIZE];
        bool sent = formatStep(SCRIPT[i], command) && progmanExecute(command);
        if (!sent && SCRIPT[i].required)
            result = false;
    }
    progmanDisconnect();
    return result;
}
