#pragma once
// Keys as byte strings that compare (memcmp, then length) the way the record manager orders
// them: text as stored or folded, numbers by value. All keys of one key have the same length.

#include <cstdint>
#include <string>
#include <string_view>

#include "recman/KeySpec.h"
#include "recman/Status.h"

namespace upfold::keycodec {

// Success, or the status for definitions that cannot describe a record of this length.
RmStatus Validate(const FileSpec& fileSpec);

// The key as it stands in a record: its segments' bytes in key order.
std::string Extract(const KeySpec& key, std::string_view record);
// A caller's key buffer cut to the key's length, or filled with zero bytes up to it.
std::string FromBuffer(const KeySpec& key, std::string_view buffer);
// The comparable form of a key as Extract or FromBuffer give it.
std::string Encode(const KeySpec& key, std::string_view rawKey);

// An AutoInc key's single segment, or nullptr.
const KeySegment* AutoIncSegment(const KeySpec& key);
// Little-endian unsigned field of 1 to 8 bytes at the segment's place in the record.
std::uint64_t ReadUnsigned(std::string_view record, const KeySegment& segment);
void WriteUnsigned(std::string& record, const KeySegment& segment, std::uint64_t value);
// The value of an AutoInc key from its encoded form.
std::uint64_t DecodeUnsigned(std::string_view encoded);

}  // namespace upfold::keycodec
