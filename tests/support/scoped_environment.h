#pragma once
// Sets (or unsets) an environment variable for one test and restores it afterwards;
// tzset() follows, so TZ takes effect at once.

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

namespace pl3::test {

class ScopedEnvironment {
  public:
    ScopedEnvironment(std::string name, const std::optional<std::string>& value)
        : name_(std::move(name)) {
        if (const char* old = std::getenv(name_.c_str())) old_ = old;
        apply(value);
    }
    ~ScopedEnvironment() { apply(old_); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

  private:
    void apply(const std::optional<std::string>& value) {
#ifdef _WIN32
        // An empty value removes the variable.
        ::_putenv_s(name_.c_str(), value ? value->c_str() : "");
        ::_tzset();
#else
        if (value) {
            ::setenv(name_.c_str(), value->c_str(), 1);
        } else {
            ::unsetenv(name_.c_str());
        }
        ::tzset();
#endif
    }

    std::string name_;
    std::optional<std::string> old_;
};

}  // namespace pl3::test
