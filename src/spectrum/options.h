#pragma once
// The value of an option group: the options are looked at in the order
// given, and each selected one sets the value (so a later one would win).

#include "forms/widgets.h"

#include <utility>
#include <vector>

namespace spectrum {

inline double selectedOptionValue(const std::vector<forms::OptionButton*>& options,
                                  std::initializer_list<std::pair<int, double>> table, double current)
{
    for (const auto& [index, value] : table)
        if (options[size_t(index)]->value())
            current = value;
    return current;
}

}  // namespace spectrum
