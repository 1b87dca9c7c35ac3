#include "setup/WizardTexts.h"

#include <iterator>

namespace WizardTexts {

namespace {

constexpr TControlText kControlTexts[] = {
    {L"immediate_install_btn", TTextProperty::ToolTip, {L"请先勾选服务协议", L"請先勾選服務協議"}},
    {L"show_policy_lab", TTextProperty::Text, {L"同意", L"同意"}},
    {L"show_policy_btn1", TTextProperty::Text, {L" <<用户许可协议>>", L" <<用戶許可協議>>"}},
    {L"show_policy_btn", TTextProperty::Text, {L" <<用户许可协议>>", L" <<用戶許可協議>>"}},
    {L"self_install_btn", TTextProperty::Text, {L"自定义", L"自定義"}},
    {L"return_btn", TTextProperty::Text, {L"自定义", L"自定義"}},
    {L"setup_path_lab", TTextProperty::Text, {L"安装路径：", L"安裝路徑："}},
    {L"selected_path_btn", TTextProperty::Text, {L"更改路径", L"更改路径"}},
    {L"create_desktop_icon_opt", TTextProperty::Text, {L"创建桌面图标", L"創建桌面圖標"}},
    {L"fast_start_bar_opt", TTextProperty::Text, {L"创建到快速启动栏", L"創建到快速啟動欄"}},
    {L"power_up_opt", TTextProperty::Text, {L"开机自启动", L"開機自啟動"}},
    {L"immediate_startup_btn", TTextProperty::Text, {L"立即体验", L"立即體驗"}},
    {L"progress_tip_lab_desc", TTextProperty::Text, {L"正在安装中，请稍后...", L"正在安裝中，請稍後..."}},
    {L"immediate_install_btn", TTextProperty::Text, {L"立即安装", L"立即安裝"}},
    {L"immediate_install_btn1", TTextProperty::Text, {L"立即安装", L"立即安裝"}},
};

constexpr WORD kSubLangTaiwan = 1;
constexpr WORD kSubLangHongKong = 3;
constexpr WORD kSubLangMacao = 5;

}  // namespace

const TBilingual kOkButton = {L"确定", L"確定"};
const TBilingual kCancelButton = {L"取消", L"取消"};
const TBilingual kQuitQuestion = {L"安装尚未完成，确定退出吗？", L"安裝尚未完成，確定退出嗎"};
const TBilingual kFolderQuestion = {L"此路径下已有文件存在，确定继续安装吗？", L"此路徑下已有文件存在，確定繼續安裝嗎"};
const TBilingual kOpenWebSiteButton = {L"打开官网", L"開啟官網"};
const TBilingual kAgreementNeededTip = {L"需同意《岚鹊服务协议与隐私政策》", L"需同意《岚鹊服務協議與隱私政策》"};
const TBilingual kFolderDialogTitle = {L"请选择要安装的路径", L"請選擇要安裝的路徑"};
const TBilingual kFavoritesWarning = {L"缺少必要权限！请勿在 收藏夹 或者包含 Favorites 的目录下运行。",
                                      L"缺少必要權限！請勿在 收藏夾 或者包含 Favorites 的目錄下運行。"};
// Shown when the folder box holds something that is not a full path to a folder.
const TBilingual kInvalidFolder = {L"安装路径无效，请选择一个完整的文件夹路径。", L"安裝路徑無效，請選擇一個完整的資料夾路徑。"};

const TControlText* ControlTexts(size_t& count) {
  count = std::size(kControlTexts);
  return kControlTexts;
}

bool IsTraditionalLocale(LCID lcid, const wchar_t* nativeName) {
  if (nativeName && wcscmp(nativeName, L"中文(繁体)") == 0) return true;
  WORD primary = static_cast<WORD>(lcid & 0x3FF);
  WORD sub = static_cast<WORD>((lcid & 0xFFFF) >> 10);
  return primary == LANG_CHINESE && (sub == kSubLangTaiwan || sub == kSubLangHongKong || sub == kSubLangMacao);
}

bool UserPrefersTraditional() {
  LCID lcid = ::GetUserDefaultLCID();
  wchar_t name[256] = {};
  bool haveName = ::GetLocaleInfoW(lcid, LOCALE_SNATIVELANGNAME, name, 256) != 0;
  return IsTraditionalLocale(lcid, haveName ? name : nullptr);
}

}  // namespace WizardTexts
