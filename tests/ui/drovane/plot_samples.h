#pragma once
#include <string>

namespace drovane {

// A closed square of 200 units (5 mm), the smallest drawing that shows both
// corner compensation and overcut.
inline const std::string kSquare = "IN;PU0,0;PD0,200;PD200,200;PD200,0;PD0,0;PU0,0;";

// `count` closed squares of 200 units in rows of 50, as an exporting program
// writes them; about 150 bytes of cutter stream each.
std::string GridOfSquares(int count);

}  // namespace drovane
