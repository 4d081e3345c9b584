// The folder's checks, after image.txt is read and before the first request.
#ifndef BMCUPDATE_PROCEDURE_FOLDER_CHECK_H_
#define BMCUPDATE_PROCEDURE_FOLDER_CHECK_H_

#include "procedure/outcome.h"

// In this order: the image name, the image file, icmd.exe, Yafuflash.exe,
// the folder's write, the BMC's lock (taken here, held to the end). Shows
// the first failure's line and returns its outcome, or kGoOn.
Outcome CheckFolder();

#endif  // BMCUPDATE_PROCEDURE_FOLDER_CHECK_H_
