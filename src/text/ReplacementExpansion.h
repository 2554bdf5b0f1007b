// Expansion of a replacement text for one match: group references and case changes.
#pragma once

#include <string>
#include <string_view>

namespace quirebook {

class Regex;

// `replacement` with every group reference replaced by the text of that group in the current
// match of `regex`:
//   $n, \n     group n; a second digit is taken when the two-digit number does not exceed
//              SubmatchCount
//   ${n}, ${name}, \g<name>   group by number or name (nothing when there is no such group)
//   \Fn \In \Ln \Un   group n with its first letter upper-cased and the rest lower-cased (F),
//              every word capitalised (I), lower-cased (L) or upper-cased (U)
//   $$, \$     a dollar sign;  \\  a backslash
// The last byte of the replacement is always copied as it is; anything else that is not one of
// these forms stays as written.
std::string ExpandReplacement(std::string_view replacement, const Regex& regex);

}  // namespace quirebook
