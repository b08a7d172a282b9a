#include "support/scoped_env.h"

#include <cstdlib>

ScopedEnv::ScopedEnv(std::string name, const std::optional<std::string>& value) : m_name(std::move(name)) {
    if (const char* previous = std::getenv(m_name.c_str())) {
        m_previous = previous;
    }
    Apply(m_name, value);
}

ScopedEnv::~ScopedEnv() {
    Apply(m_name, m_previous);
}
