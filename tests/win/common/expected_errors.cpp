#include "tests/win/common/expected_errors.h"

#include <stdio.h>

const char *expectedErrorText(int number)
{
    switch (number) {
    case 1:
        return "There seems to be a problem creating the directory you specified.\n\n"
               "Please try using a different directory name!";
    case 2:
    case 3:
    case 9:
    case 18:
        return "There seems to be a problem reading the installation file.\n\n"
               "Please try running the installation program again!";
    case 4:
    case 5:
        return "There seems to be a problem copying files to their destination.\n\n"
               "Please try running the installation program again!";
    case 6:
        return "There seems to be a problem creating the backup directory.\n\n"
               "Please try installing to a different directory!";
    case 7:
        return "There seems to be a problem backing up your original files.\n\n"
               "Please try installing to a different directory!";
    case 10:
    case 14:
        return "The installation file seems to be corrupt!\n\n"
               "Please try running the installation program again or download a new version!";
    case 11:
        return "There seems to be a problem extracting files from the installation file.\n\n"
               "Please try running the installation program again!";
    case 15:
        return "There seems to be a problem adding Vorn icons to the Program Manager!\n\n"
               "Do you want me to try again?";
    case 16:
        return "The directory name you specified is too long.\n\n"
               "Please try using a shorter directory name!";
    case 17:
        return "There seems to be a problem writing a temporary file. Your disk may be full.\n\n"
               "Please free some disk space and try running the installation program again!";
    default:
        return nullptr;
    }
}

void expectedErrorCaption(char *caption, int number)
{
    snprintf(caption, 40, "Vorn Installation Error [%d]", number);
}
