#include "wizard/licence.h"

// One paragraph a line: the multi-line edit control wraps long lines itself and
// breaks lines only at CR LF.
static const char LICENCE_TEXT[] =
    "VORN 6.02 LICENCE AGREEMENT\r\n"
    "\r\n"
    "Please read this agreement before you install Vorn. By choosing Yes you accept its terms; by choosing No "
    "you leave the installation and nothing is copied to your computer.\r\n"
    "\r\n"
    "1. Evaluation. You may install Vorn and try it free of charge for thirty days. After that period you "
    "should either register your copy or remove it from your computer.\r\n"
    "\r\n"
    "2. Registration. A registered copy may be used by one person, on any computer that this person uses, "
    "for as long as the person wishes.\r\n"
    "\r\n"
    "3. Passing it on. You may give unchanged copies of the installation program to others, provided that no "
    "fee is charged and that this agreement travels with every copy. You may not sell Vorn, rent it out or "
    "include it in a commercial package without written permission.\r\n"
    "\r\n"
    "4. Changes. You may not modify, decompile or disassemble the program files, nor remove the notices that "
    "they contain.\r\n"
    "\r\n"
    "5. Your conduct. Vorn connects you to chat networks run by others. You are responsible for what you send "
    "through it and for keeping the rules of every network and channel that you join.\r\n"
    "\r\n"
    "6. No warranty. Vorn is provided as it is, without any warranty, express or implied, including fitness "
    "for a particular purpose. The authors are not liable for any loss of data, profit or time that comes "
    "from using or being unable to use the program.\r\n"
    "\r\n"
    "7. Ending. This licence ends when you break any of its terms; you must then remove every copy of Vorn in "
    "your possession.\r\n"
    "\r\n"
    "8. Your information. The installer sends nothing about you or your computer anywhere. Vorn itself talks "
    "only to the servers that you choose to connect to.\r\n"
    "\r\n"
    "Do you accept all the terms of this agreement?";

const char *licenceText()
{
    return LICENCE_TEXT;
}
