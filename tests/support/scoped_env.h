#pragma once

#include <optional>
#include <string>

// Sets an environment variable, or removes it when the value is none, for the life of the object;
// then puts back what was there before.
class ScopedEnv {
public:
    ScopedEnv(std::string name, const std::optional<std::string>& value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    static void Apply(const std::string& name, const std::optional<std::string>& value);

    std::string m_name;
    std::optional<std::string> m_previous;
};
