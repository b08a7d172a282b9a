#pragma once

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <string_view>

// The lines of a text, each without its line feed, for a range-for loop:
//   for (std::string_view line : TextLines(text)) ...
// A final line feed does not begin another, empty line.
class TextLines {
public:
    class Iterator {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = std::string_view;
        using difference_type = std::ptrdiff_t;

        Iterator(std::string_view text, std::size_t start) : m_text(text), m_start(start), m_end(LineEnd()) {}
        std::string_view operator*() const { return m_text.substr(m_start, m_end - m_start); }
        Iterator& operator++() {
            m_start = std::min(m_end + 1, m_text.size());
            m_end = LineEnd();
            return *this;
        }
        bool operator==(const Iterator& other) const { return m_start == other.m_start; }

    private:
        std::size_t LineEnd() const { return std::min(m_text.find('\n', m_start), m_text.size()); }

        std::string_view m_text;
        std::size_t m_start;
        std::size_t m_end;
    };

    explicit TextLines(std::string_view text) : m_text(text) {}
    Iterator begin() const { return Iterator(m_text, 0); }
    Iterator end() const { return Iterator(m_text, m_text.size()); }

private:
    std::string_view m_text;
};
