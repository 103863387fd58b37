#include "session.h"

#include "library.h"

namespace vlnk {
namespace {

// A plain pointer: no exit handler destroys what it points to.
Session* g_pSession = nullptr;

}  // namespace

Session::Session() = default;
Session::~Session() = default;

Session* TheSession() { return g_pSession; }

Session& CreateSession() {
  if (!g_pSession) g_pSession = new Session;
  return *g_pSession;
}

void DestroySession() {
  Session* session = g_pSession;
  g_pSession = nullptr;
  delete session;
}

}  // namespace vlnk
