// The window program. Before main() runs: the single-instance guard, then
// the application object (destroyed in the reverse order at exit).
#include "app/instance_guard.h"
#include "app/tempiola_app.h"
#include "platform/user_language.h"
#include "res/language.h"

namespace {

const bool g_guardCreated = (CreateInstanceGuard(), true);

}  // namespace

CTempiolaApp theApp;

int main(int argc, char** argv) {
  res::UseLanguage(platform::UserReadsChinese() ? res::Language::Chinese : res::Language::English);
  return AfxWinMain(argc, argv);
}
