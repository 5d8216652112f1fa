#include "render/OtoLoadHost.h"

namespace tova {
namespace {
OtoLoadHost* g_host = nullptr;
}

OtoLoadHost* otoLoadHost() { return g_host; }
void setOtoLoadHost(OtoLoadHost* host) { g_host = host; }

}  // namespace tova
