// A conversation saved as a text file: UTF-8 after its byte order mark.
#pragma once

#include "JOVString.h"

enum HistoryExportResult {
    kExportOk = 0,
    kExportCannotCreate = 1,  // nothing written
    kExportShortWrite = 2,    // the file holds less than the text
};

// Creates (or replaces) the file at path and writes EF BB BF and the text in
// one write.
int SaveTextAsUtf8(const CJOVString& path, const wchar_t* text, int length);
