#pragma once

namespace lexivo {

// The program's version, as the About window shows it (1.00.0037). Kept in step with the project's version
// in CMakeLists.txt.
constexpr int kVersionMajor = 1;
constexpr int kVersionMinor = 0;
constexpr int kVersionRevision = 37;

}  // namespace lexivo
