#pragma once
// The one run-time failure type: database errors and failed host calls alike.
// what() is the description a handler's error report shows.
#include <stdexcept>
#include <string>

namespace tesmira {

class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace tesmira
