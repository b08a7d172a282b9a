#include <cstdlib>

#include "helpers/scoped_env.h"
#include "platform/wide_text_windows.h"

// The C run-time's own environment, which getenv reads, in UTF-16 so that no text is squeezed
// through the ANSI code page; an empty value removes the variable.
void ScopedEnv::Apply(const std::string& name, const std::optional<std::string>& value) {
    _wputenv_s(platform::WideFromUtf8(name).c_str(), value ? platform::WideFromUtf8(*value).c_str() : L"");
}
