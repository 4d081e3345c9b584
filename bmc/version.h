// The firmware revision query (Get Device ID).
#ifndef BMCUPDATE_BMC_VERSION_H_
#define BMCUPDATE_BMC_VERSION_H_

#include "procedure/update.h"

// The VersionClass of the four revision characters M1 M2 m1 m2, compared as
// printed: the revision is never converted to a number.
VersionClass ClassifyRevision(const char revision[4]);

// Takes the four revision characters from a response line found with the
// version marker. 0, or -1 when the line is too short to hold them.
int ExtractRevision(const char* line, char revision[4]);

#endif  // BMCUPDATE_BMC_VERSION_H_
