#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <ostream>
#include <string>

namespace vorelle::test {

// The base of every case of a parameterised test: its name, first in the
// case's braces, is what a failure prints for the case and, with `CaseName`
// as the suite's name generator, the case's part of the test's full name.
struct NamedCase {
    std::string name;
};

inline std::ostream& operator<<(std::ostream& os, const NamedCase& c) { return os << c.name; }

// INSTANTIATE_TEST_SUITE_P(Prefix, Suite, ::testing::Values(...), test::CaseName{}); a
// character a test's name cannot hold becomes '_'.
struct CaseName {
    template <typename ParamInfo>
    std::string operator()(const ParamInfo& info) const
    {
        std::string name = info.param.name;
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return name;
    }
};

}  // namespace vorelle::test

