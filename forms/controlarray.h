// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/checked.h"

#include <array>

// Controls that share one name and are told apart by an index from First to Last.
// Asking for an element that does not exist is a run-time failure.
template<typename Control, int First, int Last>
class ControlArray
{
public:
    Control *operator[](int index) const
    {
        if (index < First || index > Last)
            throw RuntimeError("control array element does not exist");
        return m_controls[size_t(index - First)];
    }

    void set(int index, Control *control) { m_controls.at(size_t(index - First)) = control; }

private:
    std::array<Control *, size_t(Last - First + 1)> m_controls {};
};
