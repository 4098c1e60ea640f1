#include "engine/errors.h"

#include "engine/handles.h"

#include <stdio.h>

namespace {

const char READ_PROBLEM[] =
    "There seems to be a problem reading the installation file.\n\n"
    "Please try running the installation program again!";
const char COPY_PROBLEM[] =
    "There seems to be a problem copying files to their destination.\n\n"
    "Please try running the installation program again!";
const char CORRUPT[] =
    "The installation file seems to be corrupt!\n\n"
    "Please try running the installation program again or download a new version!";

struct InstallError {
    int number;
    const char *text;
};

const InstallError ERRORS[] = {
    {ERR_FOLDER_CREATE,
     "There seems to be a problem creating the directory you specified.\n\n"
     "Please try using a different directory name!"},
    {ERR_SCAN_READ, READ_PROBLEM},
    {ERR_TEMP_READ, READ_PROBLEM},
    {ERR_TARGET_OPEN, COPY_PROBLEM},
    {ERR_DECODE, COPY_PROBLEM},
    {ERR_BACKUP_FOLDER,
     "There seems to be a problem creating the backup directory.\n\n"
     "Please try installing to a different directory!"},
    {ERR_BACKUP_MOVE,
     "There seems to be a problem backing up your original files.\n\n"
     "Please try installing to a different directory!"},
    {ERR_PUMP_OPEN, READ_PROBLEM},
    {ERR_CRC, CORRUPT},
    {ERR_TEMP_CREATE,
     "There seems to be a problem extracting files from the installation file.\n\n"
     "Please try running the installation program again!"},
    {ERR_NO_SEGMENT, CORRUPT},
    {ERR_PROGRAM_GROUP,
     "There seems to be a problem adding Vorn icons to the Program Manager!\n\n"
     "Do you want me to try again?"},
    {ERR_PATH_TOO_LONG,
     "The directory name you specified is too long.\n\n"
     "Please try using a shorter directory name!"},
    {ERR_TEMP_WRITE,
     "There seems to be a problem writing a temporary file. Your disk may be full.\n\n"
     "Please free some disk space and try running the installation program again!"},
    {ERR_PUMP_READ, READ_PROBLEM},
};

}  // namespace

const char *installErrorText(int number)
{
    for (const InstallError &error : ERRORS)
        if (error.number == number)
            return error.text;
    return nullptr;
}

void installErrorCaption(char *caption, int number)
{
    snprintf(caption, 40, "Vorn Installation Error [%d]", number);
}

void showInstallError(int number)
{
    char caption[40];
    installErrorCaption(caption, number);
    MessageBoxA(wizardDialog, installErrorText(number), caption, MB_OK | MB_ICONERROR);
}
