// The reading of today's receivers, in front of the fixed-offset decoder.
//
// Multi-constellation receivers send $GNRMC (or another talker), most send
// decimals of seconds and five or more decimals of minutes: layouts the
// decoder misreads. The normaliser picks the first RMC sentence whose checksum
// holds, rewrites it into the layout the decoder reads ($GPRMC, hhmmss, four
// decimals of minutes) and leaves the decoding itself to the decoder, so what
// reaches the display fields, the journal and the last-position file has the
// same form as with an older receiver.
#pragma once

#include "acquisition/fix_fields.h"

#include <string>
#include <string_view>

namespace acquisition {

struct NormalisedRmc {
  enum class Kind {
    None,      // no RMC sentence that can be taken
    Void,      // status V: the receiver has no fix
    Sentence,  // `sentence` holds it, rewritten
  };
  Kind kind = Kind::None;
  std::string sentence;
  size_t start = std::string_view::npos;  // of the sentence taken, in the text given
};

// The first RMC sentence of `text` from any satellite talker, skipping those
// whose checksum does not match and one cut off by the end of the text.
NormalisedRmc Normaliser_RMC(std::string_view text);

// Normalises, then decodes: none is Trame_invalide, a void sentence is
// Trame_courte and writes no field, a rewritten one goes to Decodage_GPRMC.
int Decodage_RMC_etendu(std::string_view text, FixFields& fields);

}  // namespace acquisition
