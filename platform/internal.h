// What the platform files of one side share with each other; the update
// logic never includes this.
#ifndef BMCUPDATE_PLATFORM_INTERNAL_H_
#define BMCUPDATE_PLATFORM_INTERNAL_H_

// The folder lock LockFolder holds, as the platform's descriptor or handle
// value, for handing to the flash program alone; -1 when the tool holds none.
long long HeldFolderLock();

#endif  // BMCUPDATE_PLATFORM_INTERNAL_H_
