// An environment for BackendSelector that tests fill in, so that no test
// depends on, or changes, the variables the test process itself runs with.
#pragma once

#include "BackendSelector.h"

#include <map>
#include <string>

struct FakeEnvironment {
    std::map<std::string, std::string> values;

    portio::BackendSelector::Getenv getter() const
    {
        return [this](const char* name) -> const char* {
            auto it = values.find(name);
            return it == values.end() ? nullptr : it->second.c_str();
        };
    }
};
