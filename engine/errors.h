// Every error and question the installer shows, in one table: its number, text
// and caption "Vorn Installation Error [n]".
#pragma once

enum {
    ERR_FOLDER_CREATE = 1,
    ERR_SCAN_READ = 2,
    ERR_TEMP_READ = 3,
    ERR_TARGET_OPEN = 4,
    ERR_DECODE = 5,
    ERR_BACKUP_FOLDER = 6,
    ERR_BACKUP_MOVE = 7,
    ERR_PUMP_OPEN = 9,
    ERR_CRC = 10,
    ERR_TEMP_CREATE = 11,
    ERR_NO_SEGMENT = 14,
    ERR_PROGRAM_GROUP = 15,
    // Added by the engine: faults it refuses instead of cutting or ignoring.
    ERR_PATH_TOO_LONG = 16,   // a path in the destination folder would not fit
    ERR_TEMP_WRITE = 17,      // the temporary file could not be written in full
    ERR_PUMP_READ = 18,       // reading the installer's file failed during the pump
};

// The text of error number, or a null pointer for an unknown number.
const char *installErrorText(int number);

// Shows error number in a modal box owned by wizardDialog, with the error icon and
// an OK button. Questions ([15]) are asked by their callers with the same texts.
void showInstallError(int number);

// Writes "Vorn Installation Error [n]" into caption (capacity 40).
void installErrorCaption(char *caption, int number);
