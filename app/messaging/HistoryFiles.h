// The message history: one file a contact, "<protocol>_<account>_<contact>.vdh"
// in the "History" folder beside the program (format: HistoryFormat.h).
// Every operation opens its file, does its work and closes it; one lock
// serialises the operations of the process, so an append that meets a read
// waits for it instead of losing its message. The lock is never held while
// the contact list or an account is asked anything.
#pragma once

#include "JOVArray.h"
#include "JOVString.h"
#include "ServicesManager.h"
#include "messaging/ChatEntry.h"

// Result codes of the file operations.
enum HistoryResult {
    kHistoryOk = 0,
    kHistoryCannotOpen = 1,
    kHistoryBadHeader = 2,
    kHistoryOtherVersion = 3,
    kHistoryIoFailed = 4,  // a write failed, or a record is cut or damaged
};

// Kind 0: "Hist Save"; kind 1: also "Hist Save Not in list". True without a
// settings store and for other kinds.
bool GetHistorySaving(Services::CServicesManager& bus, int kind);
void SetHistorySaving(Services::CServicesManager& bus, int kind, bool value);

// Empty when a part of the name is empty or the program's folder is unknown.
// A path past the Win32 limit comes absolute, after "\\?\". For a name
// holding "%" it may be the file stored under the name it had before "%" was
// escaped, while there is none under today's.
CJOVString GetHistoryFilePath(Services::CServicesManager& bus, unsigned int contactId);

// Writes nothing (and answers 0) when the settings say not to save.
int AppendHistoryMessage(Services::CServicesManager& bus, unsigned int contactId, unsigned char kind,
                         unsigned char direction, unsigned char flag, unsigned long time, const CJOVString& text);
// Appends every message (or the last n) to messages, in file order, each
// whole however many records hold it. A damaged record ends the reading with
// kHistoryIoFailed after the good ones.
int ReadHistory(Services::CServicesManager& bus, unsigned int contactId, CJOVArray<SMessage>& messages);
int ReadHistoryTail(Services::CServicesManager& bus, unsigned int contactId, int n, CJOVArray<SMessage>& messages);
bool DeleteHistory(Services::CServicesManager& bus, unsigned int contactId);

// What an append needs of the contact list and the account, asked first so
// that a caller may append while holding a lock of its own.
struct HistoryTarget {
    bool save = false;
    CJOVString path;
    CJOVString accountName;  // the contact's "Account name" and "CL Alias",
    CJOVString alias;        // for the header of a new file
};
HistoryTarget GetHistoryTarget(Services::CServicesManager& bus, unsigned int contactId);
// A text longer than a record holds goes into consecutive records of the same
// time, direction, flag and kind, all appended at once; the readers join them
// into one message again.
int AppendHistoryRecord(const HistoryTarget& target, unsigned char kind, unsigned char direction, unsigned char flag,
                        unsigned long time, const CJOVString& text);

// The folder the files go to (with its trailing backslash); empty: "History"
// beside the program. Tests keep their files apart with it.
void SetHistoryFolder(const CJOVString& folder);
