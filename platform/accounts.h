#pragma once
// The PC's accounts as the system knows them: their names, who runs the program, who is signed in
// to its session, who is an administrator. On Windows the system answers (advapi32, wtsapi32,
// netapi32); the stand-in elsewhere knows no accounts beyond its registry's ProfileList, so it
// answers none of these questions.
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tessmar::platform {

class Accounts {
  public:
    virtual ~Accounts() = default;

    // The account's name (UTF-8) as the system gives it for a SID such as "S-1-5-21-...-1001";
    // nullopt when the system cannot name it (a deleted account, a domain out of reach).
    virtual std::optional<std::string> nameOf(std::string_view sid) = 0;
    // The SID of an account name ("小明", or "PC\小明"); nullopt when there is no such account.
    virtual std::optional<std::string> sidOf(std::string_view name) = 0;
    // The account that runs the program.
    virtual std::optional<std::string> runningSid() = 0;
    // The account signed in to the session the program runs in. It differs from the running one
    // when a standard user's session started the program with an administrator's password.
    virtual std::optional<std::string> sessionSid() = 0;
    // Whether the account is a member of the local Administrators group.
    virtual bool isAdministrator(std::string_view sid) = 0;
    // A path as ProfileList holds it ("%SystemDrive%\Users\Default"), its variables expanded.
    virtual std::string expand(std::string_view path) = 0;
};

std::unique_ptr<Accounts> makeSystemAccounts();

}  // namespace tessmar::platform
