#include <windows.h>

#include <string>

#include "core/DataManager.h"
#include "core/TextUtils.h"
#include "setup/MainWnd.h"
#include "setup/Startup.h"

namespace {

#ifdef TOVIK_DEV_ENDPOINTS
// Development builds only (the x86_64 test build): TOVIK_DEV_API_URL points both API endpoints at a
// local stand-in so that the demo and the end-to-end tests install without the product's servers.
// The shipped build is compiled without this and always talks to the product API.
void UseDevelopmentEndpoints() {
  wchar_t url[512] = {};
  const DWORD length = ::GetEnvironmentVariableW(L"TOVIK_DEV_API_URL", url, 512);
  if (length == 0 || length >= 512) return;
  const std::string endpoint = WideToUtf8(url);
  DataManager::Instance()->SetApiEndpoints(endpoint, endpoint);
}
#else
void UseDevelopmentEndpoints() {}
#endif

void RunWizardWindow(HINSTANCE instance) {
  UseDevelopmentEndpoints();
  CMainWnd wizard(instance);
  if (!wizard.Create(nullptr, kWizardWindowTitle, 0x16000000, 0, 0, 0, 0, 0)) return;
  wizard.CenterOnOwner();
  wizard.RunModal();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) { return RunSetup(instance, &RunWizardWindow); }
