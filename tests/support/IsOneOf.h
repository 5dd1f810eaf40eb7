#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>

namespace vorelle::test {

// For an outcome that the threads' timing may decide either of two sound
// ways: success when `text` is one of `allowed`, else a failure that shows it.
inline ::testing::AssertionResult IsOneOf(const std::string& text, std::initializer_list<std::string_view> allowed)
{
    for (std::string_view candidate : allowed)
        if (text == candidate)
            return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "unexpected: \"" << text << "\"";
}

}  // namespace vorelle::test
