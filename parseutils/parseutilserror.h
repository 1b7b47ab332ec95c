// The exception base of the parseutils folder; the message is the user-visible text, so a
// caller that only reports the failure catches this one type. ERegExpr and EUrlHandle stay
// distinct below it because callers treat them apart: the engine definitions turn a pattern's
// ERegExpr into the message of the field that holds it, while the URL functions catch a failed
// combination and fall back to the address they were given.
#pragma once

#include "text/foldererror.h"

namespace kv::parseutils {

struct ParseUtilsFolder;
using ParseUtilsError = text::FolderError<ParseUtilsFolder>;

}  // namespace kv::parseutils
