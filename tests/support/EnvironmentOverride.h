// Sets or clears an environment variable for one scope, and puts back what
// was there before: for tests of what the toy reads from its environment.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace testing_support {

class EnvironmentOverride {
public:
    EnvironmentOverride(const char* variable, const char* value) : name(variable)
    {
        if (const char* old = std::getenv(variable))
            previous = old;
        if (value != nullptr)
            setenv(variable, value, 1);
        else
            unsetenv(variable);
    }
    ~EnvironmentOverride()
    {
        if (previous)
            setenv(name.c_str(), previous->c_str(), 1);
        else
            unsetenv(name.c_str());
    }
    EnvironmentOverride(const EnvironmentOverride&) = delete;
    EnvironmentOverride& operator=(const EnvironmentOverride&) = delete;

private:
    std::string name;
    std::optional<std::string> previous;
};

} // namespace testing_support
