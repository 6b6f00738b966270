// Sound schemes: folders under "Sounds" beside the program, each with a
// "_sounds.ini" naming the wav files of the four standard alerts. Used by the
// alert manager and the sound options page; any thread.
#pragma once

#include <vector>

#include "JOVArray.h"
#include "JOVString.h"

inline constexpr wchar_t kDefaultSoundScheme[] = L"JOV PDA sounds";
inline constexpr int kSchemeAlertCount = 4;
inline constexpr int kMaxSchemeValueLength = 259;

// programFolder (with its trailing backslash) + "Sounds\" + scheme + "\".
CJOVString SoundSchemeFolder(const CJOVString& programFolder, const CJOVString& scheme);

// Reads the scheme folder's "_sounds.ini": the header "[Sounds]" CR LF, then
// the first four "key=value" entries in file order, each value a file name
// relative to the folder. Appends folder + value for each value read; true
// only when all four were read. A value longer than 259 characters, or one
// the file ends inside, fails the read and is not appended.
bool ReadSchemeFile(const CJOVString& schemeFolder, std::vector<CJOVString>* paths);

// Appends a newly allocated copy (free with delete[]) of the name of every
// folder under "Sounds" that holds "_sounds.ini"; out's count is set to 0
// first, its strings not freed. False when "Sounds" cannot be listed.
bool ListSoundSchemes(CJOVArray<wchar_t*>* out);
bool ListSoundSchemes(CJOVArray<wchar_t*>* out, const CJOVString& programFolder);
// The scheme's four full paths, newly allocated as above; true only when all
// four were read.
bool ReadSoundScheme(const wchar_t* schemeName, CJOVArray<wchar_t*>* out);
bool ReadSoundScheme(const wchar_t* schemeName, CJOVArray<wchar_t*>* out, const CJOVString& programFolder);
// Whether folder + "\_sounds.ini" exists.
bool SoundSchemeExists(const wchar_t* folder);
