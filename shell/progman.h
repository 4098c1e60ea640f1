// The Program Manager group, created through DDE.
#pragma once
#include <windows.h>
#include <ddeml.h>

enum { COMMAND_BUFFER_SIZE = 900 };   // longest command: 646 characters with a 299-character folder

// The open conversation; every value is 0 outside createProgramGroup.
extern HSZ serviceHandle;
extern HSZ topicHandle;
extern HCONV conversation;

bool progmanConnect();
bool progmanExecute(const char *command);
void progmanDisconnect();
bool createProgramGroup();
