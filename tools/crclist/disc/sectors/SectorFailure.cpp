#include "disc/sectors/SectorFailure.h"

#include "disc/sectors/CdSector.h"

std::string SectorFailure::Where() const {
  return "sector " + std::to_string(lba) + " (" + cd_sector::Msf(lba) + ")";
}

std::string SectorFailure::InStructure(const std::string& what) const {
  if (pastEnd) {
    return "the image is truncated or its records point past its end (" + what + " at sector " +
           std::to_string(lba) + ")";
  }
  return "cannot read " + what + ": " + Where() + " is unreadable: " + reason;
}
