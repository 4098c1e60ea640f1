// What the shell holds, for the Windows test programs: shell links read back, and
// Wine's own Program Manager, the DDE server of its desktop process, which a
// test waits for or takes out of the way.
//
// Typical use, for a test that needs no Program Manager or runs its own:
//     DWORD client = startDdeClient();
//     check(waitForWineProgman(client, 30000), "Wine's server came up");
//     check(removeForeignDdeServers(client), "no server answers");
#pragma once
#include <windows.h>

// A link's target and working folder through IShellLinkA; each buffer holds
// MAX_PATH characters and is empty when the link cannot be read. COM must be
// initialised on this thread.
bool readLink(const char *path, char *target, char *folder);

// A client-only DDEML instance whose callback ignores everything; 0 on failure.
DWORD startDdeClient();

// True when service PROGMAN answers on topic PROGMAN; the conversation is ended
// at once.
bool progmanAnswers(DWORD client);

// Wine's desktop process registers its PROGMAN server some time after this
// process first uses the desktop: waits for it, pumping this thread's messages;
// false once timeoutMs has passed.
bool waitForWineProgman(DWORD client, DWORD timeoutMs);

// Closes the DDE server-name windows of every other process, which ends their
// name registrations; true when PROGMAN no longer answers.
bool removeForeignDdeServers(DWORD client);
