#include "tag_bounds.h"

namespace tessaro {

// Read here, digit by digit: from_chars of a double loads the maths library, strtod follows the locale.
std::optional<double> number(std::string_view s) {
    const bool negative = !s.empty() && s.front() == '-';
    if (!s.empty() && (s.front() == '-' || s.front() == '+')) s.remove_prefix(1);
    double value = 0, scale = 1;
    bool digits = false, point = false;
    for (const char c : s) {
        if (c == '.' && !point) {
            point = true;
        } else if (c >= '0' && c <= '9') {
            digits = true;
            if (point) scale /= 10;
            value = value * 10 + (c - '0');
        } else {
            return std::nullopt;
        }
    }
    if (!digits) return std::nullopt;
    return (negative ? -value : value) * scale;
}

bool is_bound_op(std::string_view op) {
    return op == "<" || op == "<=" || op == ">" || op == ">=";
}

bool meets(std::string_view op, double limit, double x) {
    if (op == ">") return x > limit;
    if (op == ">=") return x >= limit;
    if (op == "<") return x < limit;
    return x <= limit;
}

bool implies(std::string_view rule_op, double b, std::string_view look_op, double a) {
    if (rule_op.front() != look_op.front()) return false;  // one bounds from below, the other from above
    // At the same limit a strict rule implies either; an inclusive one only an inclusive look.
    if (b == a) return rule_op.size() == 1 || look_op.size() == 2;
    return rule_op.front() == '>' ? b > a : b < a;
}

}  // namespace tessaro
