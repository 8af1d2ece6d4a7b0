// Whether an X server at a DISPLAY address takes a client, so that the
// platform picks the Qt backend only where its windows can open: a DISPLAY
// left behind by a session that has ended, a server whose connection queue
// is full, or one that refuses the connection (no authorisation) would
// otherwise make the program abort or hang inside Qt instead of ending with
// the platform's message.
#pragma once

#include <string_view>

namespace platform::dialog::qt {

// Connects as Qt's X client library does (the same address forms, the same
// authorisation) and sees the server accept the connection. The attempt
// runs in a child process that is given up after `waitMs` milliseconds, so
// that a server that never answers cannot hold the program.
//
// A connection the server took stays open until ReleaseXDisplayCheck (or
// the next check, or the end of the process): an X server whose last
// client leaves resets itself and turns new clients away for a moment, so
// on a server with no other client, letting go at once could make the
// program's own connection, made right after, fail.
bool XDisplayReachable(std::string_view display, int waitMs = 2000);
void ReleaseXDisplayCheck();

}  // namespace platform::dialog::qt
