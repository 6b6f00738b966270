// Texts of the login error codes the servers send in TLV 0x08.
#pragma once

#include "JOVString.h"

// The plug-in's language text for the code, its English text when the language
// file has none, or an empty text for a code the table does not know.
CJOVString GetLoginErrorText(unsigned short code);
