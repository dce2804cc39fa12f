#pragma once

#include <string>

// Why a disc's name has no place in a check list, whose names are CP932.
namespace cp932_name {

// For a UTF-8 name without a CP932 form that reads back as itself: its first character that has
// none, and whether CP932 has no form of it or one that reads back as another character.
std::string WhyUnwritable(const std::string& utf8);

// The CP932 name that a list written by hand would hold for it, each character that CP932 writes
// only as another taken as that other; empty when a character has no CP932 form at all.
std::string Nearest(const std::string& utf8);

}  // namespace cp932_name
