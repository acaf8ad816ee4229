// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "RuntimeError.h"

#include <memory>

// The object a reference holds; an empty reference is the error
// "Object variable or With block variable not set", never a crash.
template <typename T>
T &Required(const std::shared_ptr<T> &object)
{
    if (!object)
        throw RuntimeError::ObjectNotSet();
    return *object;
}
