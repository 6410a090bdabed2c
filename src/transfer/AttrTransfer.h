#pragma once

#include "LoadAttrModel.h"
#include "TransferEnv.h"

namespace kestrava {

// The 1024 load attributes to and from the unit, in 64 blocks at 500..53F.

// Fetches unless in sync; nothing at all in edit mode or without a link.
// Returns whether the attributes are in sync afterwards.
bool FetchLoadAttrs(TransferEnv &env, TLoadAttrModel &attrs);
// Writes every block and commits with "WA\r".
bool WriteLoadAttrs(TransferEnv &env, TLoadAttrModel &attrs);

QString LoadAttrBlockCommand(const TLoadAttrs &attrs, int block);

} // namespace kestrava
