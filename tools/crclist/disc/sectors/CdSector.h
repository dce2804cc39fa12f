#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// A CD sector as a drive reads it raw, checked as the drive checks it before it hands out the
// sector's user data.
namespace cd_sector {

constexpr std::uint32_t kRawSize = 2352;

// Null when the raw sector at that disc address holds 2048 bytes of data that its sync, header
// and EDC vouch for, with data pointing at them; otherwise why the drive would fail it.
const char* Check(const std::uint8_t* raw, std::uint32_t lba, const std::uint8_t*& data);

// The error detection code of those bytes: a CRC of its own polynomial,
// (x^16 + x^15 + x^2 + 1)(x^16 + x^2 + x + 1), taken low bit first from 0.
std::uint32_t Edc(const std::uint8_t* bytes, std::size_t size);

// The address as minutes, seconds and frames ("00:02:16"), as a sector's header writes it:
// 150 frames after the disc address.
std::string Msf(std::uint32_t lba);

}  // namespace cd_sector
