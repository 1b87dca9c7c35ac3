// Every text the wizard sets itself, in simplified and traditional Chinese, and the choice between
// the two from the user's locale. The window applies them; this unit only knows the words.
#pragma once

#include <windows.h>

#include <string>

namespace WizardTexts {

// A text in both scripts.
struct TBilingual {
  const wchar_t* simplified;
  const wchar_t* traditional;
  const wchar_t* Pick(bool useSimplified) const { return useSimplified ? simplified : traditional; }
};

enum class TTextProperty { Text, ToolTip };

// One control text that the language switch sets, in the order they are set.
struct TControlText {
  const wchar_t* controlName;
  TTextProperty property;
  TBilingual text;
};

// The control texts of the language switch, in order.
const TControlText* ControlTexts(size_t& count);

// Texts chosen at the moment they are shown.
extern const TBilingual kOkButton;
extern const TBilingual kCancelButton;
extern const TBilingual kQuitQuestion;
extern const TBilingual kFolderQuestion;
extern const TBilingual kOpenWebSiteButton;
extern const TBilingual kAgreementNeededTip;
extern const TBilingual kFolderDialogTitle;
extern const TBilingual kFavoritesWarning;
extern const TBilingual kInvalidFolder;

// Texts that are the same whatever the language.
constexpr wchar_t kWindowTitle[] = L"安装向导-岚鹊加速器";
constexpr wchar_t kFavoritesOk[] = L"确定";
constexpr wchar_t kErrorRequestConfig[] = L"网络错误，请求安装配置失败";
constexpr wchar_t kErrorRequestData[] = L"网络错误，请求安装数据失败";
constexpr wchar_t kErrorExtract[] = L"安装错误，解压失败";
constexpr wchar_t kProgressFormat[] = L"%d%%";

// The language codes handed to the client and the API.
constexpr wchar_t kCodeSimplified[] = L"zh-cn";
constexpr wchar_t kCodeTraditional[] = L"zh-tw";
inline const wchar_t* LanguageCode(bool useSimplified) {
  return useSimplified ? kCodeSimplified : kCodeTraditional;
}

// Whether a locale reads traditional Chinese: its native language name is "中文(繁体)", or it is
// Chinese of Taiwan, Hong Kong or Macao. nativeName is null when the name could not be read.
bool IsTraditionalLocale(LCID lcid, const wchar_t* nativeName);

// The same decision for the current user.
bool UserPrefersTraditional();

}  // namespace WizardTexts
