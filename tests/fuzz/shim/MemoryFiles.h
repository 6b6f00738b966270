// The files the shim's CreateFileW, ReadFile, _wfopen and the rest work on:
// held in memory by path, so that a target's run touches no disk. Paths
// compare as on Windows: without case (ASCII letters) and with "/" taken for
// "\". Folders need not exist.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace MemoryFiles {

void Put(const wchar_t* path, const unsigned char* bytes, size_t length);
void Put(const wchar_t* path, const std::vector<unsigned char>& bytes);
// False when there is no such file.
bool Get(const wchar_t* path, std::vector<unsigned char>* bytes);
bool Exists(const wchar_t* path);
// Forgets every file and closes every handle (a handle left open is a
// reader's leak: Clear answers how many there were).
int Clear();
// The paths of every file, in path order.
std::vector<std::u16string> List();

} // namespace MemoryFiles
