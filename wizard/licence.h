// The licence agreement shown on the wizard's licence page (control 141).
#pragma once

// Plain text, lines separated by CR LF, zero-terminated; lives for the process.
const char *licenceText();
