// The sessions the test servers list, asked over loopback as an operator
// would: ejabberd through its HTTP API, Prosody through its console. Each
// answers full JIDs ("alice@localhost/JOV PDA"); empty when the server could
// not be asked.
#pragma once

#include <string>
#include <vector>

std::vector<std::string> EjabberdSessions(int httpPort);
std::vector<std::string> ProsodySessions(int consolePort);
