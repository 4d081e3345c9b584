// Tables indexed by an enum keep the enum value in each row, so that the
// compiler can tell when a row is missing or out of place.
#ifndef BMCUPDATE_PROCEDURE_ENUM_TABLE_H_
#define BMCUPDATE_PROCEDURE_ENUM_TABLE_H_

#include <cstddef>

// True when `rows` holds exactly `count` rows and row i has the key i.
template <typename Row, typename Enum, std::size_t kRows>
constexpr bool IsEnumTable(const Row (&rows)[kRows], Enum Row::*key, int count) {
  if (static_cast<int>(kRows) != count) return false;
  for (std::size_t i = 0; i < kRows; ++i) {
    if (static_cast<int>(rows[i].*key) != static_cast<int>(i)) return false;
  }
  return true;
}

#endif  // BMCUPDATE_PROCEDURE_ENUM_TABLE_H_
