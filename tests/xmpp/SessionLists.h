// The sessions the test servers list, asked over loopback as an operator
// would: ejabberd through its HTTP API, Prosody through its console. Each
// answers full JIDs ("alice@localhost/JOV PDA"); empty when the server could
// not be asked. And ejabberd's log level, set the same way.
#pragma once

#include <string>
#include <vector>

std::vector<std::string> EjabberdSessions(int httpPort);
std::vector<std::string> ProsodySessions(int consolePort);
// "debug" logs every stanza each session sends and receives; "info" is the
// fixture's own. Answers whether ejabberd took it.
bool SetEjabberdLogLevel(int httpPort, const std::string& level);
