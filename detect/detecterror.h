// The exception base of the detect folder; the message is the user-visible text, so a caller
// that only reports the failure catches this one type. KeywordError and EngineDefinitionError
// stay distinct below it because callers treat them apart: the window and the command-line
// program show a refused keyword and ask again (or skip that line of a list), while a definition
// file that cannot be imported ends the import.
#pragma once

#include "text/foldererror.h"

namespace kv::detect {

struct DetectFolder;
using DetectError = text::FolderError<DetectFolder>;

}  // namespace kv::detect
