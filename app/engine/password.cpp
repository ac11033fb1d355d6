#include "app/engine/password.h"

#include <string_view>

namespace orvantix {

namespace {
// Never change these: stored passwords depend on them.
constexpr std::string_view kClearAlphabet =
    "LxQVAXDCiHPhZFgqmTdRWc82bas1vYB4wOf9KIorJjuSpN5yn0ektG7zU6lE3M";
constexpr std::string_view kStoredAlphabet =
    "bqTjHgCyQdK9PRN34fAln6JSYZu2wpeUtzkmIOxV1FMcrihBGWX8sv7DLEo0a5";

std::string Translate(const std::string& text, std::string_view from, std::string_view to) {
  std::string result;
  result.reserve(text.size());
  for (char c : text) {
    const auto p = from.find(c);
    if (p == std::string_view::npos) return {};
    result += to[p];
  }
  return result;
}
}  // namespace

std::string EncodePassword(const std::string& clear) {
  return Translate(clear, kClearAlphabet, kStoredAlphabet);
}

std::string DecodePassword(const std::string& stored) {
  return Translate(stored, kStoredAlphabet, kClearAlphabet);
}

}  // namespace orvantix
