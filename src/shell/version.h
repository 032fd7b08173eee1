#pragma once

namespace lexivo {

// The program's version, as the About window shows it (1.00.0037): the project's version in CMakeLists.txt.
constexpr int kVersionMajor = LEXIVO_VERSION_MAJOR;
constexpr int kVersionMinor = LEXIVO_VERSION_MINOR;
constexpr int kVersionRevision = LEXIVO_VERSION_PATCH;

}  // namespace lexivo
