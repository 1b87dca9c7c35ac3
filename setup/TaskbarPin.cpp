#include "setup/TaskbarPin.h"

#include <windows.h>
#include <oleauto.h>
#include <shldisp.h>
#include <shlobj.h>

#include "core/ScopedHandle.h"
#include "setup/RegistryKey.h"

namespace {

constexpr DWORD kHandlerCapacity = 260;
constexpr REGSAM kReadWrite = KEY_READ | KEY_WRITE;

// A VARIANT holding a BSTR, cleared on destruction.
class CBstrVariant {
 public:
  explicit CBstrVariant(const std::wstring& text) {
    ::VariantInit(&m_value);
    m_value.vt = VT_BSTR;
    m_value.bstrVal = ::SysAllocStringLen(text.c_str(), static_cast<UINT>(text.size()));
  }
  ~CBstrVariant() { ::VariantClear(&m_value); }
  CBstrVariant(const CBstrVariant&) = delete;
  CBstrVariant& operator=(const CBstrVariant&) = delete;
  bool IsValid() const { return m_value.bstrVal != nullptr; }
  const VARIANT& Get() const { return m_value; }

 private:
  VARIANT m_value;
};

// The pin command's class id as the system registers it; false when there is none (Wine, or
// systems that dropped the command).
bool ReadPinCommandHandler(wchar_t (&handler)[kHandlerCapacity]) {
  CRegistryKey command;
  if (command.Open(HKEY_LOCAL_MACHINE, kTaskbarPinCommandKey, KEY_READ) != ERROR_SUCCESS) return false;
  DWORD size = kHandlerCapacity;
  return command.ReadString(kCommandHandlerValue, handler, size) == ERROR_SUCCESS;
}

void InvokeTemporaryVerb(const std::wstring& folder, const std::wstring& linkName) {
  CScopedComPtr<IShellDispatch> shell;
  if (FAILED(::CoCreateInstance(CLSID_Shell, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER,
                                IID_IShellDispatch, shell.ReceiveVoid())))
    return;
  CBstrVariant folderName(folder);
  if (!folderName.IsValid()) return;
  CScopedComPtr<Folder> shellFolder;
  if (FAILED(shell->NameSpace(folderName.Get(), shellFolder.Receive())) || !shellFolder) return;
  BSTR itemName = ::SysAllocStringLen(linkName.c_str(), static_cast<UINT>(linkName.size()));
  if (!itemName) return;
  CScopedComPtr<FolderItem> item;
  HRESULT parsed = shellFolder->ParseName(itemName, item.Receive());
  ::SysFreeString(itemName);
  if (FAILED(parsed) || !item) return;
  CBstrVariant verb(kTemporaryVerb);
  if (verb.IsValid()) item->InvokeVerb(verb.Get());
}

void RemoveTemporaryVerb() {
  CRegistryKey verbs;
  if (verbs.Open(HKEY_CURRENT_USER, kShellVerbsKey, kReadWrite) != ERROR_SUCCESS) return;
  (void)verbs.DeleteTree(kTemporaryVerb);
}

}  // namespace

std::wstring GetTaskbarFolder() {
  wchar_t appData[MAX_PATH] = {};
  if (!::SHGetSpecialFolderPathW(nullptr, appData, CSIDL_APPDATA, FALSE)) return std::wstring();
  return std::wstring(appData) + L"\\Microsoft\\Internet Explorer\\Quick Launch\\User Pinned\\TaskBar";
}

void PinToTaskbar(const std::wstring& folder, const std::wstring& linkName) {
  wchar_t handler[kHandlerCapacity] = {};
  if (!ReadPinCommandHandler(handler)) return;
  bool written = false;
  {
    CRegistryKey verb;
    if (verb.Create(HKEY_CURRENT_USER, (std::wstring(kShellVerbsKey) + L"\\" + kTemporaryVerb).c_str(), nullptr, 0,
                    kReadWrite, nullptr) != ERROR_SUCCESS)
      return;
    written = verb.WriteString(kCommandHandlerValue, handler, REG_SZ) == ERROR_SUCCESS;
  }
  // The verb is offered for every file type, so it must not outlive this call even when its
  // value could not be written.
  if (written) InvokeTemporaryVerb(folder, linkName);
  RemoveTemporaryVerb();
}
