// The stand-in keeps every account's hive as a key of its own HKEY_USERS, always "loaded".
#include "platform/hive.h"

namespace tessmar::platform {
namespace {

class StandInHive : public HiveMount {
  public:
    explicit StandInHive(std::string key) : key_(std::move(key)) {}
    const std::string& key() const override { return key_; }
    Status unload() override { return {}; }

  private:
    std::string key_;
};

}  // namespace

Result<std::unique_ptr<HiveMount>> mountHive(const HiveRequest& request) {
    return std::make_unique<StandInHive>(request.standInKey);
}

}  // namespace tessmar::platform
