// Parameterised tests are named by their cases' `name` field: readable in `ctest -N`, and the
// same from build to build (GoogleTest's default is a byte dump of the parameter).
#pragma once

#include <gtest/gtest.h>

#include <string>

struct CaseName {
    template <typename Case>
    std::string operator()(const testing::TestParamInfo<Case>& info) const {
        return info.param.name;
    }
};
