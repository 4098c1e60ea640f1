// The error boxes as the user must see them, written out here on their own so that
// a slip in the installer's table cannot pass the tests that compare against it.
#pragma once

// The exact text of error box number, or a null pointer for a number without one.
const char *expectedErrorText(int number);

// "Vorn Installation Error [n]" into caption (capacity 40).
void expectedErrorCaption(char *caption, int number);
