// The Program Manager group, created through DDE.
#pragma once

enum { COMMAND_BUFFER_SIZE = 900 };

bool progmanConnect();
bool progmanExecute(const char *command);
void progmanDisconnect();
bool createProgramGroup();
