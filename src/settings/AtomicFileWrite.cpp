// What both platforms' safe file writes share: the temporary name and the messages.
#include "settings/AtomicFileWrite.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <random>
#include <system_error>

#include "link/SystemReason.h"
#include "settings/SettingsMessages.h"
#include "settings/TemporaryName.h"

namespace orsa::settings {

std::filesystem::path temporaryNameBeside(const std::filesystem::path& target) {
  static std::atomic<unsigned> counter{0};
  std::random_device device;
  const auto stamp = static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
  char suffix[64];
  std::snprintf(suffix, sizeof suffix, ".%08x%04x%05llx.tmp", device(), counter.fetch_add(1) & 0xFFFFu,
                stamp & 0xFFFFFull);
  std::filesystem::path temporary = target;
  temporary += suffix;
  return temporary;
}

std::string_view FileWriteResult::message() const {
  switch (failure) {
    case Failure::None:
      return {};
    case Failure::Open:
      return messages::kFileOpenFailed;
    case Failure::Write:
      return messages::kFileWriteFailed;
  }
  return {};
}

std::string FileWriteResult::detail() const {
  return failure == Failure::None ? std::string() : link::systemReason(error);
}

}  // namespace orsa::settings
