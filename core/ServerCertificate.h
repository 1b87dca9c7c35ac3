// A second, independent check of the certificate an HTTPS server presented: the chain must lead to
// a root this machine trusts and the certificate must name the host. libcurl's TLS layer checks the
// same on Windows; this check does not depend on the TLS provider doing it.
#pragma once

#include <cstdint>
#include <string>

typedef void CURL;

// For a transfer on handle that has ended (CURLOPT_CERTINFO must have been set before it). True for
// a plain-HTTP transfer; false with a reason when the chain or the name does not verify. A handle
// that makes several transfers passes the same verifiedConnection each time (start: ~0): a
// connection libcurl kept alive shows no chain again and is trusted only if it passed before.
bool VerifyServerCertificate(CURL* handle, std::string& error, uint64_t* verifiedConnection = nullptr);

// The host name of a URL: no scheme, user information, port or IPv6 brackets.
std::string HostOfUrl(const std::string& url);
