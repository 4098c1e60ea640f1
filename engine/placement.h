// Placing each segment as its file in the destination folder, with backup,
// keep-settings and rollback.
#pragma once

int createDestinationFolder();                 // 1, or 2 after error [1]
int placeSlot(const char *source);             // StepResult
int prepareTarget(const char *path);           // 1, 2 (backup failed) or Skip
int decodeToDestination(const char *source, const char *target);  // 1, or 0 after rollback
void rollback();
void deleteWithRetry(const char *path);
