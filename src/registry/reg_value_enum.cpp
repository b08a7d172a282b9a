#include "registry/reg_value_enum.h"

#include <algorithm>

std::string CRegValueEnum::DataText() const {
    const auto end = std::find(m_value.data.begin(), m_value.data.end(), uint8_t{0});
    return std::string(m_value.data.begin(), end);
}
