// The reference text tables the details pages show coded values with
// (countries, occupations, languages and the rest). Each is read once from
// its file in the module folder when the module is attached and is read-only
// afterwards, so every thread reads them without a lock.
//
// File format: UTF-16 little-endian without byte-order mark, one "code;text"
// entry per line, lines ended by CR LF.
#pragma once

#include <windows.h>

#include <map>

#include "JOVString.h"

typedef std::map<int, CJOVString> TextTable;

enum TextTableKind {
    kCountries,
    kOccupations,
    kLanguages,
    kInterests,
    kGroups,
    kPastBackgrounds,
    kGenders,
    kMaritalStatuses,
    kTextTableCount
};

// The file a table is read from.
const wchar_t* GetTextTableFileName(TextTableKind kind);
// Reads a reference file into the table. A missing file is created empty.
// False when the file cannot be opened.
bool LoadTextTableFile(const CJOVString& path, TextTable& table);
// Reads the named file of the module folder into the table.
void LoadTextTable(const wchar_t* fileName, TextTable& table);
// Reads all eight tables of the module.
void LoadTextTables();
const TextTable& GetTextTable(TextTableKind kind);

// The text of the code, or an empty text; never adds to the table.
CJOVString FindText(const TextTable& table, int code);
// Fills a combo box with an empty first item (data 0) and one item per entry
// in code order, each item's data being its code.
void FillReferenceCombo(HWND dialog, int controlId, const TextTable& table);
