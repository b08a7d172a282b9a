#pragma once

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>

// Sets an environment variable, or removes it when the value is none, for the life of the object;
// then puts back what was there before.
class ScopedEnv {
public:
    ScopedEnv(std::string name, const std::optional<std::string>& value) : m_name(std::move(name)) {
        if (const char* previous = std::getenv(m_name.c_str())) {
            m_previous = previous;
        }
        Apply(m_name, value);
    }
    ~ScopedEnv() { Apply(m_name, m_previous); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    static void Apply(const std::string& name, const std::optional<std::string>& value);

    std::string m_name;
    std::optional<std::string> m_previous;
};
