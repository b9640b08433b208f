#pragma once

namespace ulv {

class ModemSession;

// The session a page works on: its host's, or the program's before a host exists.
ModemSession& PageSession();
// A page may start a task: there is a host, its port is open and no task runs.
bool PageCanStartTask();

} // namespace ulv
