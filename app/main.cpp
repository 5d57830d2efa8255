// The window program. Before main() runs: the single-instance guard, then
// the application object (destroyed in the reverse order at exit).
#include "app/instance_guard.h"
#include "app/tempiola_app.h"

namespace {

const bool g_guardCreated = (CreateInstanceGuard(), true);

}  // namespace

CTempiolaApp theApp;

int main(int argc, char** argv) { return AfxWinMain(argc, argv); }
