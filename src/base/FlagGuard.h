#pragma once
// Raises a flag for the length of a scope and lowers it on every exit, exceptions included:
// "a command is running", "a save is in progress".
namespace tesmira {

class FlagGuard {
public:
    explicit FlagGuard(bool& flag) : m_flag(flag) { m_flag = true; }
    ~FlagGuard() { m_flag = false; }
    FlagGuard(const FlagGuard&) = delete;
    FlagGuard& operator=(const FlagGuard&) = delete;

private:
    bool& m_flag;
};

} // namespace tesmira
