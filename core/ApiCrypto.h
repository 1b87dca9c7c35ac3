// The encodings of the product API's replies: standard base64 and XXTEA with a length word.
#pragma once

#include <string>

// Standard alphabet; stops at the first "=" or at the first character outside the alphabet. A final
// group of two or three characters gives one or two bytes.
std::string Base64Decode(const std::string& text);

// XXTEA (Corrected Block TEA) decryption with a 16-byte key (shorter keys are padded with zeros).
// The last decrypted word is the plaintext length n, which must lie between 4w-7 and 4w-4 for w
// words. A single word is taken as it stands. False when the length does not fit or there is no data.
bool XxteaDecrypt(const std::string& data, const std::string& key, std::string& plain);
