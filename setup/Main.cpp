#include <windows.h>

#include "setup/Startup.h"

namespace {

// The wizard window joins here once it exists; until then start-up ends after the instance check.
void RunWizardWindow(HINSTANCE) {}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) { return RunSetup(instance, &RunWizardWindow); }
