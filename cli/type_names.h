#pragma once
// The type names of the listing and of the type order: the window's, from the type module that
// is built where Qt Core was found, else the engine's default ones.

#include "catalogue/file_record.h"

namespace tidemark::cli {

// The namer to use. Loads the type module on the first call; a build with the module whose
// module cannot be loaded says so once on standard error and names types by default.
catalogue::TypeNamer WindowTypeNamer();

}  // namespace tidemark::cli
