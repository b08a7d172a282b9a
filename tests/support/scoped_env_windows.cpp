#include <cstdlib>

#include "support/scoped_env.h"

// The C run-time's own environment, which getenv reads; an empty value removes the variable.
void ScopedEnv::Apply(const std::string& name, const std::optional<std::string>& value) {
    _putenv_s(name.c_str(), value ? value->c_str() : "");
}
