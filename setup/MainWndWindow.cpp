// The wizard window itself: creation, messages, pages, the controls' notifications, the folder and
// the language. The install side of CMainWnd (steps, progress values, workers) is in MainWnd.cpp.
#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>

#include <cwchar>

#include "core/ControlManager.h"
#include "core/DataManager.h"
#include "core/MachineFacts.h"
#include "core/NetManager.h"
#include "core/SystemHelpers.h"
#include "core/TextUtils.h"
#include "core/WriteLogFile.h"
#include "setup/CaptionHitTest.h"
#include "setup/ClientContract.h"
#include "setup/InstallFolder.h"
#include "setup/MainWnd.h"
#include "setup/MessageBoxEx.h"
#include "setup/Startup.h"
#include "setup/WizardTexts.h"
#include "ui/controls/ComboUI.h"
#include "ui/controls/ControlUI.h"
#include "ui/controls/LayoutUI.h"
#include "ui/controls/OptionUI.h"
#include "ui/controls/ProgressUI.h"
#include "ui/core/LayoutBuilder.h"

using namespace SkinUI;
using namespace ClientContract;

#define LOG_SOURCE L".\\MainWnd.cpp"

namespace {

constexpr int kBoxWidth = 444;
constexpr int kBoxHeight = 266;

template <class T>
T* FindAs(CWindowManagerUI& manager, const wchar_t* name, const wchar_t* interfaceName) {
  CControlUI* control = manager.ControlByName(name);
  return control ? static_cast<T*>(control->CastToInterface(interfaceName)) : nullptr;
}

}  // namespace

// ---- window messages ----

LRESULT CMainWnd::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      HandleCreate();
      return 0;
    case WM_SIZE: {
      bool handled = false;
      const LRESULT result = HandleSize(message, wParam, lParam, handled);
      if (handled) return result;
      break;
    }
    case WM_NCCALCSIZE:
      return 0;
    case WM_NCHITTEST:
      return HandleHitTest(lParam);
    case WM_KEYDOWN:
      if (wParam == VK_RETURN) {
        HandleEnterKey();
        return 0;
      }
      break;
    case WM_SYSCOMMAND:
      // The system close command only hides the wizard; starting the program again shows it.
      if ((wParam & 0xFFF0) == SC_CLOSE) {
        Show(false);
        return 0;
      }
      if ((wParam & 0xFFF0) == SC_KEYMENU) return 0;
      return CWindowWnd::ProcessMessage(message, wParam, lParam);
    case kProgressCompleteMessage:
      if (m_pageTab) m_pageTab->SelectItem(kPageFinished, false);
      SaveLanguage();
      return 0;
    case kQuitRequestMessage:
      ExitSetup();
      return 0;
    default:
      if (HandleDispatchMessage(message)) return 0;
      break;
  }
  LRESULT result = 0;
  if (m_manager.HandleWindowMessage(message, wParam, lParam, result)) return result;
  return CWindowWnd::ProcessMessage(message, wParam, lParam);
}

void CMainWnd::HandleCreate() {
  LONG style = ::GetWindowLongW(Handle(), GWL_STYLE);
  style = (style & ~(WS_CAPTION | WS_THICKFRAME)) | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  ::SetWindowLongW(Handle(), GWL_STYLE, style);
  AttachWindow(Handle(), this);
  m_manager.Attach(Handle(), L"");
  CLayoutBuilder builder;
  CControlUI* root = builder.Create(L"main.xml", nullptr, nullptr, &m_manager, nullptr);
  if (!root) WRITE_LOG(L"skin main.xml could not be built: %s", builder.ErrorMessage().c_str());
  m_manager.SetRoot(root);
  m_manager.AddListener(this);
}

LRESULT CMainWnd::HandleSize(UINT, WPARAM, LPARAM, bool& handled) {
  const SIZE corner = m_manager.RoundCorner();
  if (!::IsIconic(Handle()) && (corner.cx != 0 || corner.cy != 0)) {
    RECT window = {};
    ::GetWindowRect(Handle(), &window);
    ::OffsetRect(&window, -window.left, -window.top);
    HRGN region = ::CreateRoundRectRgn(0, 0, window.right + 1, window.bottom + 1, corner.cx, corner.cy);
    // The window owns the region from here on.
    if (region && !::SetWindowRgn(Handle(), region, TRUE)) ::DeleteObject(region);
  }
  handled = false;
  return 0;
}

LRESULT CMainWnd::HandleHitTest(LPARAM lParam) {
  return HitTestCaptionBand(Handle(), m_manager, lParam, {L"Button", L"Option", L"Combo"});
}

// Enter presses the page's own main button: install on the start and custom pages (only when the
// agreement is given, as the button itself), nothing while the install runs, and "立即体验" on the
// finished page. It never starts a second worker.
bool CMainWnd::HandleEnterKey() {
  if (!m_pageTab) return false;
  switch (m_pageTab->SelectedIndex()) {
    case kPageStart:
    case kPageCustom: {
      CControlUI* button = m_pageTab->SelectedIndex() == kPageStart ? m_installBtn : m_installBtn1;
      if (!button || !button->IsEnabled() || IsWorkerRunning()) return false;
      return BeginInstall();
    }
    case kPageFinished:
      if (CControlUI* start = m_manager.ControlByName(L"immediate_startup_btn")) OnClick(start);
      return true;
    default:
      return false;
  }
}

// ---- start ----

void CMainWnd::InitWizard() {
  DetectLanguage();
  SetWindowIcons(101);
  ::SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  ::SetWindowPos(Handle(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  if (GetModuleDirectory(nullptr).find(L"\\Favorites\\") != std::wstring::npos) {
    ShowMessageBoxEx(Handle(), WizardTexts::kFavoritesWarning.Pick(IsSimplified()), 1, WizardTexts::kFavoritesOk,
                     WizardTexts::kCancelButton.simplified, kBoxWidth, kBoxHeight);
    PostMsg(kQuitRequestMessage);
    return;
  }
  m_pathEdit = m_manager.ControlByName(L"path_edit");
  SetFolderBox(InitialFolder());
  m_selectedFolder = m_pathEdit ? m_pathEdit->GetText().c_str() : L"";
  FindControls();
  ApplyLanguage(LanguageItem() == 0);

  DataManager::Instance()->SetClientInfo("100", 1, 1);
  NetManager::Instance()->InitNetwork(g_workDir);
  CWindowMultiThreadManager::Instance();
  ::CreateDirectoryW((g_workDir + L"cache").c_str(), nullptr);
  DataManager::Instance()->SetInnerIp(GetLocalIp());
}

std::wstring CMainWnd::InitialFolder() const {
  wchar_t system[256] = {};
  ::GetSystemDirectoryW(system, 255);
  const std::wstring systemDir = system;
  std::wstring folder = systemDir.substr(0, systemDir.find(L'\\')) + L"\\Program Files (x86)\\tovik";
  std::wstring uninstaller;
  if (ReadRegistryValue(HKEY_LOCAL_MACHINE, kUninstallKey, kUninstallString, REG_SZ, uninstaller)) {
    const size_t slash = uninstaller.rfind(L'\\');
    const std::wstring earlier = slash == std::wstring::npos ? std::wstring() : uninstaller.substr(0, slash);
    if (!earlier.empty()) folder = earlier.substr(0, 1023);
  }
  return folder;
}

void CMainWnd::FindControls() {
  m_agreeOpt = FindAs<COptionUI>(m_manager, L"agree_opt", L"Option");
  m_agreeOpt1 = FindAs<COptionUI>(m_manager, L"agree_opt1", L"Option");
  m_powerUpOpt = FindAs<COptionUI>(m_manager, L"power_up_opt", L"Option");
  if (m_powerUpOpt) m_powerUpOpt->SetSelected(true, true);
  m_installBtn = m_manager.ControlByName(L"immediate_install_btn");
  m_installBtn1 = m_manager.ControlByName(L"immediate_install_btn1");
  m_pageTab = FindAs<CTabLayoutUI>(m_manager, L"child_page_tab", L"TabLayout");
  m_fastStartBarOpt = FindAs<COptionUI>(m_manager, L"fast_start_bar_opt", L"Option");
  m_createDesktopIconOpt = FindAs<COptionUI>(m_manager, L"create_desktop_icon_opt", L"Option");
  m_progressBar = FindAs<CProgressUI>(m_manager, L"setup_process", L"Progress");
  m_background = m_manager.ControlByName(L"win_vert_layout");
  m_spaceLine = m_manager.ControlByName(L"space_line_lab");
  if (m_createDesktopIconOpt) m_createDesktopIconOpt->SetSelected(true, true);
  if (m_progressBar) {
    m_progressBar->SetMinValue(0);
    m_progressBar->SetMaxValue(100);
    m_progressBar->SetValue(0);
  }
  m_progressLabel = m_manager.ControlByName(L"progress_tip_lab");
  m_langCombo = m_manager.ControlByName(L"lang_select_combo");
}

// ---- notifications ----

void CMainWnd::OnNotification(TNotifyMsg& msg) {
  if (msg.type == L"windowinit") {
    InitWizard();
    return;
  }
  if (!msg.sender) return;
  if (msg.type == L"click") {
    OnClick(msg.sender);
  } else if (msg.type == L"itemselect") {
    if (msg.sender == m_langCombo) ApplyLanguage(LanguageItem() == 0);
  } else if (msg.type == L"selectchanged") {
    if (msg.sender == m_agreeOpt) OnAgreementChanged(m_agreeOpt, m_agreeOpt1);
    else if (msg.sender == m_agreeOpt1) OnAgreementChanged(m_agreeOpt1, m_agreeOpt);
  } else if (msg.type == L"textchanged") {
    if (msg.sender == m_pathEdit) m_pathEdit->SetToolTip(m_pathEdit->GetText().c_str());
  } else if (msg.type == L"timer") {
    if (msg.wParam == kProgressTimerId) OnProgressTick();
  }
}

void CMainWnd::OnClick(CControlUI* sender) {
  const CUIString name = sender->GetName();
  if (name == L"close_btn") {
    QuitWithQuestion();
  } else if (name == L"min_btn") {
    ::ShowWindow(Handle(), SW_MINIMIZE);
  } else if (name == L"selected_path_btn") {
    BrowseForFolder();
  } else if (name == L"self_install_btn") {
    ShowPage(kPageCustom);
  } else if (name == L"immediate_install_btn" || name == L"immediate_install_btn1") {
    BeginInstall();
  } else if (name == L"show_policy_btn" || name == L"show_policy_btn1") {
    ::ShellExecuteW(nullptr, L"open", ProductTermsUrl(), L"", L"", SW_SHOWNORMAL);
  } else if (name == L"return_btn") {
    ShowPage(kPageStart);
  } else if (name == L"immediate_startup_btn") {
    const std::wstring client = m_installFolder + L"\\" + kClientExe;
    ::ShellExecuteW(nullptr, L"open", client.c_str(), kClientStartArgument, L"", SW_SHOWNORMAL);
    ExitSetup();
    m_exitProcess(0);
  }
}

void CMainWnd::QuitWithQuestion() {
  if (!m_pageTab || m_pageTab->SelectedIndex() != kPageFinished) {
    const bool simplified = IsSimplified();
    if (Ask(WizardTexts::kQuitQuestion.Pick(simplified), 2, WizardTexts::kOkButton.Pick(simplified),
            WizardTexts::kCancelButton.Pick(simplified)) != 1)
      return;
  }
  ExitSetup();
  m_exitProcess(0);
}

int CMainWnd::Ask(const wchar_t* text, int buttons, const wchar_t* okText, const wchar_t* cancelText) {
  return ShowMessageBoxEx(Handle(), text, buttons, okText, cancelText, kBoxWidth, kBoxHeight);
}

void CMainWnd::OnAgreementChanged(COptionUI* source, COptionUI* mirror) {
  if (!source) return;
  if (mirror) mirror->SetSelected(source->IsSelected(), false);
  const bool agreed = source->IsSelected();
  const wchar_t* tip = agreed ? L"" : WizardTexts::kAgreementNeededTip.Pick(IsSimplified());
  for (CControlUI* button : {m_installBtn, m_installBtn1}) {
    if (!button) continue;
    button->SetEnabled(agreed);
    button->SetToolTip(tip);
  }
}

void CMainWnd::OnProgressTick() {
  const int value = TickProgress();
  if (m_progressBar) m_progressBar->SetValue(value);
  if (m_progressLabel) {
    wchar_t text[64] = {};
    _snwprintf(text, 63, WizardTexts::kProgressFormat, value);
    m_progressLabel->SetText(text);
  }
  if (value >= 100) {
    StopProgressTimer();
    PostMsg(kProgressCompleteMessage);
  }
}

// ---- pages ----

void CMainWnd::ShowPage(int index) {
  if (m_pageTab) m_pageTab->SelectItem(index, false);
  ResizeForPage(index == kPageCustom);
}

void CMainWnd::ResizeForPage(bool tall) {
  SetClientSize(kWidth, tall ? kTallHeight : kShortHeight);
  if (m_spaceLine) m_spaceLine->SetVisible(tall);
  if (m_background)
    m_background->SetBackImage(tall ? L"file='bkimage/main_bk.png' source='0,0,800,550'"
                                    : L"file='bkimage/main_bk.png' source='0,0,800,430'");
}

// ---- folder and install ----

void CMainWnd::SetFolderBox(const std::wstring& folder) {
  if (!m_pathEdit) return;
  m_pathEdit->SetText(folder.c_str());
  m_pathEdit->SetToolTip(folder.c_str());
}

// Only a full path is taken from the box, in its normal form; anything else is explained and the
// wizard stays where it is.
bool CMainWnd::TakeFolderFromBox() {
  const std::wstring typed = m_pathEdit ? m_pathEdit->GetText().c_str() : m_selectedFolder;
  std::wstring folder;
  if (!NormaliseInstallFolder(typed, folder)) {
    WRITE_LOG(L"install folder refused: [%s]", typed.c_str());
    const bool simplified = IsSimplified();
    Ask(WizardTexts::kInvalidFolder.Pick(simplified), 1, WizardTexts::kOkButton.Pick(simplified),
        WizardTexts::kCancelButton.Pick(simplified));
    return false;
  }
  if (folder != typed) SetFolderBox(folder);
  m_selectedFolder = folder;
  return true;
}

bool CMainWnd::ConfirmFolder() {
  wchar_t message[128] = {};
  if (!IsDirectoryEmpty(m_selectedFolder, message, 127) && message[0] == 0) {
    const bool simplified = IsSimplified();
    if (Ask(WizardTexts::kFolderQuestion.Pick(simplified), 2, WizardTexts::kOkButton.Pick(simplified),
            WizardTexts::kCancelButton.Pick(simplified)) != 1)
      return false;
    // A folder holding other things gets its own "tovik" subfolder; an earlier install is reused.
    if (!PathExists(m_selectedFolder + L"\\" + kClientExe)) m_selectedFolder += L"\\tovik";
  }
  return true;
}

bool CMainWnd::BeginInstall() {
  if (IsWorkerRunning()) return false;
  if (!TakeFolderFromBox() || !ConfirmFolder()) return false;
  TInstallOptions options;
  options.desktopIcon = m_createDesktopIconOpt && m_createDesktopIconOpt->IsSelected();
  options.taskbarPin = m_fastStartBarOpt && m_fastStartBarOpt->IsSelected();
  options.powerUp = m_powerUpOpt && m_powerUpOpt->IsSelected();
  SetInstallOptions(options);
  if (m_langCombo) m_langCombo->SetVisible(false);
  if (m_pageTab) m_pageTab->SelectItem(kPageProgress, false);
  RestartProgressTimer(kBaseProgressPeriodMs);
  SaveLanguage();
  ResizeForPage(false);
  return StartInstallWorker();
}

void CMainWnd::BrowseForFolder() {
  BROWSEINFOW browse = {};
  browse.lpszTitle = WizardTexts::kFolderDialogTitle.Pick(IsSimplified());
  browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN | BIF_EDITBOX | BIF_NEWDIALOGSTYLE;
  PIDLIST_ABSOLUTE chosen = ::SHBrowseForFolderW(&browse);
  if (!chosen) return;
  wchar_t path[1024] = {};
  ::SHGetPathFromIDListW(chosen, path);
  ::CoTaskMemFree(chosen);
  if (path[0] == 0) return;
  std::wstring folder = path;
  // A drive root comes back with its backslash; do not double it.
  if (folder.back() != L'\\') folder += L'\\';
  m_selectedFolder = folder + L"tovik";
  SetFolderBox(m_selectedFolder);
}

void CMainWnd::ExitSetup() {
  if (Handle()) Show(false);
  TerminateWorkers();
  if (Handle()) Close(0);
}

// ---- language ----

void CMainWnd::DetectLanguage() {
  m_simplified = 1;
  SelectLanguageItem(0);
  if (WizardTexts::UserPrefersTraditional()) {
    SelectLanguageItem(1);
    m_simplified = 0;
  }
}

void CMainWnd::ApplyLanguage(bool simplified) {
  m_simplified = simplified ? 1 : 0;
  size_t count = 0;
  const WizardTexts::TControlText* texts = WizardTexts::ControlTexts(count);
  for (size_t i = 0; i < count; ++i) {
    CControlUI* control = m_manager.ControlByName(texts[i].controlName);
    if (!control) continue;
    const wchar_t* text = texts[i].text.Pick(simplified);
    if (texts[i].property == WizardTexts::TTextProperty::ToolTip) control->SetToolTip(text);
    else control->SetText(text);
  }
}

void CMainWnd::SaveLanguage() {
  const wchar_t* code = WizardTexts::LanguageCode(LanguageItem() == 0);
  DataManager::Instance()->SetLang(WideToAnsi(code));
  ::WritePrivateProfileStringW(L"config", L"lang", code, (m_selectedFolder + L"\\local.cfg").c_str());
}

// The language list's current item; item 0 is simplified Chinese.
SkinUI::CComboUI* CMainWnd::LanguageList() {
  // Detection runs before the other controls are looked up, so the list is found on first use.
  if (!m_langCombo) m_langCombo = m_manager.ControlByName(L"lang_select_combo");
  return dynamic_cast<SkinUI::CComboUI*>(m_langCombo);
}

int CMainWnd::LanguageItem() const {
  auto* combo = dynamic_cast<SkinUI::CComboUI*>(m_langCombo);
  return combo ? combo->SelectedIndex() : m_languageItem;
}

void CMainWnd::SelectLanguageItem(int index) {
  m_languageItem = index;
  // Without the focus and without a notification: the caller applies the language itself.
  if (SkinUI::CComboUI* combo = LanguageList()) combo->SelectItem(index, false, false);
}

// ---- the real window as the install's view ----

void CMainWnd::RestartProgressTimer(int periodMs) {
  if (m_progressBar) m_manager.StartTimer(m_progressBar, kProgressTimerId, periodMs);
}

void CMainWnd::StopProgressTimer() {
  if (m_progressBar) m_manager.StopTimer(m_progressBar, kProgressTimerId);
}

void CMainWnd::ShowErrorBox(const std::wstring& text) {
  const bool simplified = IsSimplified();
  Ask(text.c_str(), 2, WizardTexts::kOkButton.Pick(simplified), WizardTexts::kOpenWebSiteButton.Pick(simplified));
}

void CMainWnd::EndSetup() {
  ExitSetup();
  m_exitProcess(0);
}
