#pragma once

#include <optional>
#include <string_view>

namespace tessaro {

// Bounds on a tag's number, as a rule (population>1000000) or a look's tags (population>999999) write them.

// The whole of s as a decimal number ("-12.5"), if it is one.
std::optional<double> number(std::string_view s);
// "<", "<=", ">" or ">=".
bool is_bound_op(std::string_view op);
// Whether x meets the bound "op limit".
bool meets(std::string_view op, double limit, double x);
// Whether every value that meets "rule_op b" meets "look_op a" too.
bool implies(std::string_view rule_op, double b, std::string_view look_op, double a);

}  // namespace tessaro
