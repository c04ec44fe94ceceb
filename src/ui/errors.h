#pragma once

#include "os/exceptions.h"

namespace ui {

// A layout that does not match the form that loads it.
class EComponentError : public os::Exception {
public:
    using os::Exception::Exception;
    const char* ClassName() const override { return "EComponentError"; }
};

} // namespace ui
