// One line to the debug output (OutputDebugString) for each alert played,
// bubble shown, answered or removed, tray change and version-check outcome,
// so that a run of the program can be followed from outside. Any thread.
#pragma once

// printf-style (%ls for wide strings); the line gets the prefix "JOV: " and a line end.
void DebugLine(const wchar_t* format, ...);
