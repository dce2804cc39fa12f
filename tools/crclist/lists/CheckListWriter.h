#pragma once

#include <string>

#include "checklist/CheckList.h"

// Writes a check list as CP932 text with CR LF line ends that the loader reads back member for
// member; empty members are left out.
namespace check_list_writer {

// False, with the value in unwritable, when a value has no form that reads back as itself.
bool Write(const CheckList& list, std::string& text, std::string& unwritable);

// A value as one word where the tokenizer reads it as one, else between the quotes that it does
// not hold; false when it holds both, or a byte that the reader would pair with the next one
// though it starts no CP932 character.
bool FormatValue(const std::string& value, std::string& written);

}  // namespace check_list_writer
