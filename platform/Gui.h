#pragma once

#include <functional>

namespace ulv::Gui {

// Workers never touch a widget: they hand the change to the UI thread here.

// True on the thread that runs the application's event loop (or when no
// application object exists yet).
bool IsUiThread();

// Queues fn to run on the UI thread and returns at once. Without an application
// object fn runs at once on the calling thread.
void Post(std::function<void()> fn);

// Runs fn on the UI thread and waits until it has run; on the UI thread itself it
// runs at once. For the few places where a worker must wait for the user (a box,
// a modal dialog). The UI thread must never wait on that worker in turn.
void Call(const std::function<void()>& fn);

} // namespace ulv::Gui
