#include "core/ServerCertificate.h"

#include <curl/curl.h>
#include <windows.h>
#include <wincrypt.h>

#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

#include "core/ScopedHandle.h"
#include "core/TextUtils.h"

namespace {

constexpr char kCertField[] = "Cert:";
constexpr uint64_t kNoConnection = ~0ull;

std::vector<BYTE> PemToDer(const std::string& pem) {
  DWORD size = 0;
  if (!::CryptStringToBinaryA(pem.c_str(), static_cast<DWORD>(pem.size()), CRYPT_STRING_BASE64HEADER, nullptr,
                              &size, nullptr, nullptr))
    return {};
  std::vector<BYTE> der(size);
  if (!::CryptStringToBinaryA(pem.c_str(), static_cast<DWORD>(pem.size()), CRYPT_STRING_BASE64HEADER, der.data(),
                              &size, nullptr, nullptr))
    return {};
  der.resize(size);
  return der;
}

// The presented certificates, leaf first, in a memory store that chain building may draw
// intermediates from.
bool CollectPresented(CURL* handle, HCERTSTORE store, CScopedCertContext& leaf) {
  curl_certinfo* info = nullptr;
  if (curl_easy_getinfo(handle, CURLINFO_CERTINFO, &info) != CURLE_OK || !info || info->num_of_certs <= 0)
    return false;
  for (int i = 0; i < info->num_of_certs; ++i) {
    for (curl_slist* field = info->certinfo[i]; field; field = field->next) {
      if (strncmp(field->data, kCertField, sizeof kCertField - 1) != 0) continue;
      std::vector<BYTE> der = PemToDer(field->data + sizeof kCertField - 1);
      if (der.empty()) return false;
      PCCERT_CONTEXT added = nullptr;
      if (!::CertAddEncodedCertificateToStore(store, X509_ASN_ENCODING, der.data(), static_cast<DWORD>(der.size()),
                                              CERT_STORE_ADD_ALWAYS, i == 0 ? &added : nullptr))
        return false;
      if (i == 0) leaf.Reset(added);
    }
  }
  return leaf.IsValid();
}

}  // namespace

std::string HostOfUrl(const std::string& url) {
  size_t start = url.find("://");
  start = start == std::string::npos ? 0 : start + 3;
  size_t end = url.find_first_of("/?#", start);
  std::string authority = url.substr(start, end == std::string::npos ? std::string::npos : end - start);
  size_t at = authority.rfind('@');
  if (at != std::string::npos) authority.erase(0, at + 1);
  if (!authority.empty() && authority[0] == '[') return authority.substr(1, authority.find(']') - 1);
  return authority.substr(0, authority.find(':'));
}

bool VerifyServerCertificate(CURL* handle, std::string& error, uint64_t* verifiedConnection) {
  char* effective = nullptr;
  curl_easy_getinfo(handle, CURLINFO_EFFECTIVE_URL, &effective);
  std::string url = effective ? effective : "";
  if (ChangeCase(false, url.substr(0, 8)) != "https://") return true;
  curl_socket_t socket = CURL_SOCKET_BAD;
  curl_easy_getinfo(handle, CURLINFO_ACTIVESOCKET, &socket);
  uint64_t connection = static_cast<uint64_t>(socket);
  uint64_t trusted = verifiedConnection ? std::exchange(*verifiedConnection, kNoConnection) : kNoConnection;

  CScopedCertStore presented(::CertOpenStore(CERT_STORE_PROV_MEMORY, 0, 0, 0, nullptr));
  CScopedCertContext leaf;
  if (!presented || !CollectPresented(handle, presented.Get(), leaf)) {
    // libcurl reports the chain only for a new connection; a kept-alive one is trusted when it is
    // the one this check passed before.
    if (socket != CURL_SOCKET_BAD && connection == trusted) {
      *verifiedConnection = connection;
      return true;
    }
    error = "the server presented no readable certificate";
    return false;
  }
  CERT_CHAIN_PARA chainPara{};
  chainPara.cbSize = sizeof chainPara;
  LPSTR serverAuth = const_cast<LPSTR>(szOID_PKIX_KP_SERVER_AUTH);
  chainPara.RequestedUsage.dwType = USAGE_MATCH_TYPE_AND;
  chainPara.RequestedUsage.Usage.cUsageIdentifier = 1;
  chainPara.RequestedUsage.Usage.rgpszUsageIdentifier = &serverAuth;
  CScopedCertChain chain;
  if (!::CertGetCertificateChain(nullptr, leaf.Get(), nullptr, presented.Get(), &chainPara, 0, nullptr,
                                 chain.Receive())) {
    error = "the certificate chain could not be built";
    return false;
  }
  // The chain must end in a trusted root; only a revocation state that could not be learnt is
  // forgiven. (Some policy providers pass a partial chain; the chain's own status does not.)
  DWORD chainErrors = chain.Get()->TrustStatus.dwErrorStatus &
                      ~static_cast<DWORD>(CERT_TRUST_REVOCATION_STATUS_UNKNOWN | CERT_TRUST_IS_OFFLINE_REVOCATION);
  if (chainErrors) {
    char reason[64];
    snprintf(reason, sizeof reason, "the certificate chain is not trusted (0x%08lX)",
             static_cast<unsigned long>(chainErrors));
    error = reason;
    return false;
  }
  std::wstring host = Utf8ToWide(HostOfUrl(url));
  SSL_EXTRA_CERT_CHAIN_POLICY_PARA ssl{};
  ssl.cbSize = sizeof ssl;
  ssl.dwAuthType = AUTHTYPE_SERVER;
  ssl.pwszServerName = &host[0];
  CERT_CHAIN_POLICY_PARA policyPara{};
  policyPara.cbSize = sizeof policyPara;
  policyPara.dwFlags = CERT_CHAIN_POLICY_IGNORE_ALL_REV_UNKNOWN_FLAGS;
  policyPara.pvExtraPolicyPara = &ssl;
  CERT_CHAIN_POLICY_STATUS status{};
  status.cbSize = sizeof status;
  if (!::CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain.Get(), &policyPara, &status) ||
      status.dwError != 0) {
    char reason[64];
    snprintf(reason, sizeof reason, "the server certificate does not verify (0x%08lX)",
             static_cast<unsigned long>(status.dwError));
    error = reason;
    return false;
  }
  if (verifiedConnection && socket != CURL_SOCKET_BAD) *verifiedConnection = connection;
  return true;
}
