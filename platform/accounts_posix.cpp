// The stand-in has no account database: the accounts are only what its ProfileList says, named by
// their profile folders, and none of them runs the program (the stand-in's HKEY_CURRENT_USER does).
#include "platform/accounts.h"

namespace tessmar::platform {
namespace {

class StandInAccounts : public Accounts {
  public:
    std::optional<std::string> nameOf(std::string_view) override { return std::nullopt; }
    std::optional<std::string> sidOf(std::string_view) override { return std::nullopt; }
    std::optional<std::string> runningSid() override { return std::nullopt; }
    std::optional<std::string> sessionSid() override { return std::nullopt; }
    bool isAdministrator(std::string_view) override { return false; }
    std::string expand(std::string_view path) override { return std::string(path); }
};

}  // namespace

std::unique_ptr<Accounts> makeSystemAccounts() {
    return std::make_unique<StandInAccounts>();
}

}  // namespace tessmar::platform
