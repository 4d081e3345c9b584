// The target model check (Read FRU Data).
#ifndef BMCUPDATE_BMC_MODEL_H_
#define BMCUPDATE_BMC_MODEL_H_

#include "procedure/update.h"

// Stores the sixteen data bytes of a FRU response line found with the FRU
// marker into bytes[0..15]. 0, or -1 when the line is too short to hold them.
int ParseFruLine(const char* line, unsigned char bytes[16]);

// Copies the product name of a FRU image (type/length byte at 73h, the name
// from 74h) into `name` (64 bytes) with a NUL after it.
void ExtractProductName(const unsigned char fru[256], char name[64]);

// kTargetModel when `name` is one of the target models, else kNotTargetModel.
ModelCheckResult MatchTargetModel(const char* name);

#endif  // BMCUPDATE_BMC_MODEL_H_
